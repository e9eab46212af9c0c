#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "CometImage.h"

namespace testing_support {

// A comet image from its columns: column c holds counts[c] lit pixels of
// value values[c], stacked from row 0.
inline void FillColumns(CometImageClass& comet, const std::vector<int>& counts,
                        const std::vector<int>& values) {
  BitmapImageClass& image = *comet.Image;
  image.SetAllPixelsToValue(0);
  for (std::size_t c = 0; c < counts.size(); ++c)
    for (int r = 0; r < counts[c]; ++r)
      image.GetScanLine(r)[c] = static_cast<std::uint8_t>(values[c]);
}

// A synthetic comet: a bright round head at (headX, middle row) and a tail
// fading to the right; pixels outside the comet are 0. Noise makes it real.
inline void PaintComet(BitmapImageClass& image, double headX, double headRadius, double tailLength,
                       double headLevel, double tailLevel, unsigned seed) {
  std::mt19937 random(seed);
  const int width = image.Bitmap.bmWidth, height = image.Bitmap.bmHeight;
  const double cy = (height - 1) / 2.0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double dx = x - headX, dy = y - cy;
      const double r2 = (dx * dx + dy * dy) / (headRadius * headRadius);
      double v = headLevel * std::exp(-2.0 * r2);
      if (dx > 0 && dx < tailLength) {
        const double spread = headRadius * (1.0 + 0.6 * dx / tailLength);
        v += tailLevel * (1.0 - dx / tailLength) * std::exp(-(dy * dy) / (spread * spread));
      }
      v += static_cast<double>(random() % 9) - 4.0;
      const int level = v < 12 ? 0 : static_cast<int>(std::min(v, 255.0));
      image.GetScanLine(y)[x] = static_cast<std::uint8_t>(level);
    }
}

}  // namespace testing_support
