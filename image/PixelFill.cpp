// Fills and per-pixel operations of the raster image.
#include <algorithm>
#include <cstring>
#include <string>

#include "BitmapImage.h"
#include "EventLog.h"
#include "PixelAccess.h"

namespace {
const std::string kClass = "BitmapImageClass::";
}

void BitmapImageClass::SetAllPixelsToValue(std::int32_t value) {
  LogMessage("entering " + kClass + "SetAllPixelsToValue()...");
  if (!IsEmpty())
    std::memset(Bitmap.bmBits.get(), static_cast<std::uint8_t>(value),
                static_cast<std::size_t>(Bitmap.bmWidthBytes) * Bitmap.bmHeight);
  LogMessage("exiting  " + kClass + "SetAllPixelsToValue()...");
}

void BitmapImageClass::SetAllPixelsToColor(std::uint32_t colour) {
  LogMessage("entering " + kClass + "SetAllPixelsToColor(" + std::to_string(colour) + ")...");
  if (!IsEmpty() && BytesPerPixel != 2) {
    for (int r = 0; r < Bitmap.bmHeight; ++r) {
      std::uint8_t* row = GetScanLine(r);
      for (int x = 0; x < Bitmap.bmWidth; ++x) pixel::Set(row, BytesPerPixel, x, colour);
    }
  }
  LogMessage("exiting  " + kClass + "SetAllPixelsToColor()...");
}

void BitmapImageClass::Invert() {
  LogMessage("entering " + kClass + "Invert()...");
  if (!IsEmpty()) {
    std::uint8_t* p = Bitmap.bmBits.get();
    const std::size_t n = static_cast<std::size_t>(Bitmap.bmWidthBytes) * Bitmap.bmHeight;
    for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<std::uint8_t>(~p[i]);
  }
  LogMessage("exiting  " + kClass + "Invert()...");
}

void BitmapImageClass::Add(std::int16_t offset) {
  LogMessage("entering " + kClass + "Add(" + std::to_string(offset) + ")...");
  if (!IsEmpty()) {
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v)
      table[v] = static_cast<std::uint8_t>(std::clamp(v + offset, 0, 255));
    for (int r = 0; r < Bitmap.bmHeight; ++r) {
      std::uint8_t* row = GetScanLine(r);
      for (int i = 0; i < RowPixelBytes(); ++i) row[i] = table[row[i]];
    }
  }
  LogMessage("exiting  " + kClass + "Add()...");
}

void BitmapImageClass::Grayscale() {
  LogMessage("entering " + kClass + "Grayscale()...");
  if (!IsEmpty() && BytesPerPixel >= 3) {
    for (int r = 0; r < Bitmap.bmHeight; ++r) {
      std::uint8_t* p = GetScanLine(r);
      for (int x = 0; x < Bitmap.bmWidth; ++x, p += BytesPerPixel)
        p[0] = p[1] = p[2] = GreyOfPixel(p);
    }
  }
  LogMessage("exiting  " + kClass + "Grayscale()...");
}
