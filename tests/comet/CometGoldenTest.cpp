// One realistic comet measured end to end against values derived outside
// this code base.
#include <gtest/gtest.h>

#include <cstdlib>

#include "CometMetrics.h"

namespace {

// Derived by tests/comet/golden_comet.py, an independent transcription in
// Python of the same image, the five blurs, the head search (here the
// percentile branch: brightest column 30, leftmost bright region's centroid
// column 34), the mirrored split and single-precision rounding.
constexpr std::int32_t kHead = 34;
constexpr float kMetrics[18] = {0.0f,        92.0f,       39.0f,      2152.0f,   190186.0f,
                                88.3763962f, 46.0f,       1323.0f,    164643.0f, 124.446709f,
                                86.5694656f, 46.0f,       829.0f,     25543.0f,  30.811821f,
                                13.4305363f, 6.17804623f, 5.20858002f};

// A 120 x 70 comet from integers only: a round head at column 30, a tail
// to column 110 that widens and fades, a little fixed noise, and the dark
// background cut to 0.
int Pixel(int x, int y) {
  int v = 0;
  const int d2 = (x - 30) * (x - 30) + (y - 35) * (y - 35);
  if (d2 < 400) v += 230 - d2 * 230 / 400;
  if (x >= 30 && x <= 110) {
    const int t = (110 - x) * 120 / 80;
    const int s = 8 + (x - 30) / 8;
    const int dy = std::abs(y - 35);
    if (dy <= s) v += t * (s - dy) / s;
  }
  const long long noise =
      ((static_cast<long long>(x) * 73856093) ^ (static_cast<long long>(y) * 19349663)) % 7;
  v += static_cast<int>(noise) - 3;
  v = std::max(0, std::min(255, v));
  return v < 12 ? 0 : v;
}

TEST(CometGoldenTest, RealisticCometMeasuresAsDerived) {
  CometImageClass comet(120, 70);
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 120; ++x)
      comet.Image->GetScanLine(y)[x] = static_cast<std::uint8_t>(Pixel(x, y));
  CometRecord record;
  EXPECT_EQ(Zelcor_ComputeMetrics(comet, record, -1, 1000.0, 1000.0), kHead);
  EXPECT_EQ(record.HeadCenter, kHead);
  for (int k = 0; k < kMetricCount; ++k)
    EXPECT_EQ(record.Metrics[k], kMetrics[k]) << kMetricNames[k];
}

}  // namespace
