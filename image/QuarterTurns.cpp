#include "QuarterTurns.h"

#include <cstring>
#include <utility>

bool IsQuarterTurn(int degrees) {
  return degrees % 90 == 0;
}

bool RotateCounterClockwise(BitmapImageClass& image, int degrees) {
  if (!IsQuarterTurn(degrees)) return false;
  const int turns = ((degrees / 90) % 4 + 4) % 4;
  if (turns == 0 || image.IsEmpty()) return true;
  if (turns == 2) {
    image.MirrorHorizontal();
    image.FlipVertical();
    return true;
  }
  // Rows are stored bottom-up: the picture's pixel (x, y from the top) is
  // row h - 1 - y, column x. Turned counter-clockwise, old (x, y) lands at
  // (y, w - 1 - x); turned clockwise at (h - 1 - y, x).
  const std::int32_t w = image.Bitmap.bmWidth, h = image.Bitmap.bmHeight;
  BitmapImageClass turned(h, w, image.Bitmap.bmBitsPixel);
  if (turned.IsEmpty()) return false;
  const std::size_t bytes = static_cast<std::size_t>(image.BytesPerPixel);
  for (std::int32_t ny = 0; ny < w; ++ny) {  // rows of the turned picture, from the top
    std::uint8_t* out = turned.GetScanLine(w - 1 - ny);
    // Old column x feeds the whole row; its rows are taken from the top
    // (counter-clockwise) or from the bottom (clockwise).
    const std::int32_t x = turns == 1 ? w - 1 - ny : ny;
    const std::uint8_t* first = image.GetScanLine(turns == 1 ? h - 1 : 0) + x * bytes;
    const std::ptrdiff_t step =
        (turns == 1 ? -1 : 1) * static_cast<std::ptrdiff_t>(image.Bitmap.bmWidthBytes);
    if (bytes == 1) {
      for (std::int32_t nx = 0; nx < h; ++nx) out[nx] = first[nx * step];
    } else {
      for (std::int32_t nx = 0; nx < h; ++nx)
        std::memcpy(out + nx * bytes, first + nx * step, bytes);
    }
  }
  std::memcpy(turned.bmInfo.CLUT, image.bmInfo.CLUT, sizeof turned.bmInfo.CLUT);
  std::swap(image.bmInfo, turned.bmInfo);
  std::swap(image.Bitmap, turned.Bitmap);
  return true;
}
