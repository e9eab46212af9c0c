#pragma once

// A grey raster written as a one-page TIFF of 8 or 16 bits.

#include "BitmapImage.h"
#include "TiffBytes.h"

namespace testing_support {

// Each grey level v of the picture stored as v x factor + low.
inline std::string GreyTiffBytes(const BitmapImageClass& image, int bits, std::uint32_t factor,
                                 std::uint32_t low = 0) {
  TiffSpec spec;
  spec.width = image.Bitmap.bmWidth;
  spec.height = image.Bitmap.bmHeight;
  spec.bits = bits;
  for (int y = 0; y < spec.height; ++y)
    for (int x = 0; x < spec.width; ++x)
      spec.values.push_back(image.GetScanLine(spec.height - 1 - y)[x] * factor + low);
  return TiffBytes(spec);
}

}  // namespace testing_support
