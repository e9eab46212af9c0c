#pragma once

#include <string>
#include <vector>

#include "BitmapImage.h"

namespace testing_support {

// A two-level raster drawn as text, first string = row 0: '#' is a set
// pixel (byte 0), anything else background (255).
inline BitmapImageClass Binary(const std::vector<std::string>& rows) {
  const int height = static_cast<int>(rows.size());
  const int width = static_cast<int>(rows[0].size());
  BitmapImageClass image(width, height, 8);
  image.SetAllPixelsToValue(255);
  for (int r = 0; r < height; ++r)
    for (int x = 0; x < width; ++x)
      if (rows[r][x] == '#') image.GetScanLine(r)[x] = 0;
  return image;
}

}  // namespace testing_support
