#pragma once

// A grey raster written as a one-page TIFF of 8 or 16 bits.

#include "BitmapImage.h"
#include "TiffBytes.h"

namespace testing_support {

// Each grey level v of the picture stored as v x factor + low.
inline std::string GreyTiffBytes(const BitmapImageClass& image, int bits, std::uint32_t factor,
                                 std::uint32_t low = 0) {
  TiffRecipe recipe;
  recipe.width = image.Bitmap.bmWidth;
  recipe.height = image.Bitmap.bmHeight;
  recipe.bits = bits;
  for (int y = 0; y < recipe.height; ++y)
    for (int x = 0; x < recipe.width; ++x)
      recipe.values.push_back(image.GetScanLine(recipe.height - 1 - y)[x] * factor + low);
  return TiffBytes(recipe);
}

}  // namespace testing_support
