// Histograms and the percentile cutoff of the raster image.
#include <cmath>
#include <cstring>
#include <string>

#include "BitmapImage.h"
#include "EventLog.h"
#include "GreyValue.h"

void BitmapImageClass::ComputeHistogram() {
  LogMessage("entering BitmapImageClass::ComputeHistogram()...");
  std::memset(HistogramGray, 0, sizeof HistogramGray);
  std::memset(HistogramRed, 0, sizeof HistogramRed);
  std::memset(HistogramGreen, 0, sizeof HistogramGreen);
  std::memset(HistogramBlue, 0, sizeof HistogramBlue);
  const int width = IsEmpty() ? 0 : Bitmap.bmWidth;
  const int height = IsEmpty() ? 0 : Bitmap.bmHeight;
  if (BytesPerPixel == 1) {
    // Four partial counts per level keep successive equal bytes from
    // waiting on one another.
    std::int32_t partial[4][256] = {};
    for (int r = 0; r < height; ++r) {
      const std::uint8_t* row = GetScanLine(r);
      int x = 0;
      for (; x + 4 <= width; x += 4) {
        ++partial[0][row[x]];
        ++partial[1][row[x + 1]];
        ++partial[2][row[x + 2]];
        ++partial[3][row[x + 3]];
      }
      for (; x < width; ++x) ++partial[0][row[x]];
    }
    for (int v = 0; v < 256; ++v) {
      const std::int32_t n = partial[0][v] + partial[1][v] + partial[2][v] + partial[3][v];
      HistogramGray[v] = HistogramRed[v] = HistogramGreen[v] = HistogramBlue[v] = n;
    }
  } else if (BytesPerPixel >= 3) {
    for (int r = 0; r < height; ++r) {
      const std::uint8_t* p = GetScanLine(r);
      for (int x = 0; x < width; ++x, p += BytesPerPixel) {
        ++HistogramBlue[p[0]];
        ++HistogramGreen[p[1]];
        ++HistogramRed[p[2]];
        ++HistogramGray[GreyOfPixel(p)];
      }
    }
  }
  LogMessage("exiting  BitmapImageClass::ComputeHistogram()...");
}

std::uint8_t BitmapImageClass::GetPercentileGRAY(float fraction) {
  ComputeHistogram();
  const std::int64_t pixels =
      std::int64_t{IsEmpty() ? 0 : Bitmap.bmWidth} * std::int64_t{IsEmpty() ? 0 : Bitmap.bmHeight};
  // The pixel count times the single-precision fraction, rounded to double,
  // then the ceiling; compared without sign like the running sum.
  double product = static_cast<double>(static_cast<long double>(pixels) * fraction);
  if (std::isnan(product)) product = 0;
  product = std::fmin(std::fmax(product, -4.0e18), 4.0e18);
  const auto target = static_cast<std::uint32_t>(static_cast<std::int64_t>(std::ceil(product)));
  std::uint32_t sum = 0;
  for (int n = 255; n >= 0; --n) {
    sum += static_cast<std::uint32_t>(HistogramGray[n]);
    if (sum >= target) return static_cast<std::uint8_t>(n == 255 ? 255 : n + 1);
  }
  return 0;
}

std::int32_t BitmapImageClass::ThresholdPercentileGRAY(float fraction) {
  return ThresholdGRAY(GetPercentileGRAY(fraction), 255);
}
