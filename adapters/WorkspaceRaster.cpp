// A decoded bitmap to the 8-bit grey workspace raster.
#include "WorkspaceRaster.h"

#include "EventLog.h"
#include "GreyValue.h"

namespace {

// Greying a colour pixel and then taking the grey value of that neutral
// grey again, as the raster's two conversions do: grey g becomes g - 1. The
// tables give neutral greys too, so no pixel needs a branch.
template <int kBytes>
void GreyRows(const TBitmap& bitmap, BitmapImageClass& raster) {
  const auto& t = grey_detail::kTables;
  const int width = raster.Bitmap.bmWidth, height = raster.Bitmap.bmHeight;
  for (int r = 0; r < height; ++r) {
    const std::uint8_t* src = bitmap.ScanLine(height - 1 - r);
    std::uint8_t* dst = raster.GetScanLine(r);
    for (int x = 0; x < width; ++x, src += kBytes) {
      const auto g =
          static_cast<std::uint32_t>((t.blue[src[0]] + t.green[src[1]] + t.red[src[2]]) >> 56);
      dst[x] = static_cast<std::uint8_t>(g - (g != 0));
    }
  }
}

}  // namespace

std::unique_ptr<BitmapImageClass> WorkspaceRasterOf(const TBitmap& bitmap) {
  const ToolkitPixelFormat format = bitmap.PixelFormat();
  std::unique_ptr<BitmapImageClass> raster;
  if (!EventLogEnabled() &&
      (format == ToolkitPixelFormat::k24Bit || format == ToolkitPixelFormat::k32Bit)) {
    raster = std::make_unique<BitmapImageClass>(bitmap.Width(), bitmap.Height(), 8);
    if (raster->IsEmpty()) return raster;
    if (format == ToolkitPixelFormat::k24Bit)
      GreyRows<3>(bitmap, *raster);
    else
      GreyRows<4>(bitmap, *raster);
    return raster;
  }
  raster = std::make_unique<BitmapImageClass>(bitmap);
  if (raster->IsEmpty()) return raster;
  raster->Grayscale();
  raster->SetBitsPerPixel(8);
  return raster;
}
