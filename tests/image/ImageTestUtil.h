#pragma once

#include <cstdint>
#include <initializer_list>
#include <random>
#include <vector>

#include "BitmapImage.h"

namespace testing_support {

// An 8-bit image of one row per list, row 0 first.
inline BitmapImageClass GreyImage(std::initializer_list<std::initializer_list<int>> rows) {
  const int height = static_cast<int>(rows.size());
  const int width = static_cast<int>(rows.begin()->size());
  BitmapImageClass image(width, height, 8);
  int r = 0;
  for (const auto& row : rows) {
    int x = 0;
    for (int v : row) image.GetScanLine(r)[x++] = static_cast<std::uint8_t>(v);
    ++r;
  }
  return image;
}

// The pixel bytes of a row (without padding).
inline std::vector<int> RowBytes(const BitmapImageClass& image, int row) {
  const std::uint8_t* p = image.GetScanLine(row);
  return std::vector<int>(p, p + image.RowPixelBytes());
}

inline void FillRandom(BitmapImageClass& image, std::mt19937& random) {
  const std::size_t n = static_cast<std::size_t>(image.Bitmap.bmWidthBytes) * image.Bitmap.bmHeight;
  for (std::size_t i = 0; i < n; ++i) image.Bitmap.bmBits[i] = static_cast<std::uint8_t>(random());
}

inline bool SamePixels(const BitmapImageClass& a, const BitmapImageClass& b) {
  if (a.Bitmap.bmHeight != b.Bitmap.bmHeight || a.RowPixelBytes() != b.RowPixelBytes())
    return false;
  for (int r = 0; r < a.Bitmap.bmHeight; ++r)
    if (RowBytes(a, r) != RowBytes(b, r)) return false;
  return true;
}

}  // namespace testing_support
