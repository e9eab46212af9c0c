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
    for (std::int32_t nx = 0; nx < h; ++nx) {
      // The old pixel that lands at (nx, ny).
      const std::int32_t x = turns == 1 ? w - 1 - ny : ny;
      const std::int32_t y = turns == 1 ? nx : h - 1 - nx;
      std::memcpy(out + nx * bytes, image.GetScanLine(h - 1 - y) + x * bytes, bytes);
    }
  }
  std::memcpy(turned.bmInfo.CLUT, image.bmInfo.CLUT, sizeof turned.bmInfo.CLUT);
  std::swap(image.bmInfo, turned.bmInfo);
  std::swap(image.Bitmap, turned.Bitmap);
  return true;
}
