#include "CometMetrics.h"

#include <gtest/gtest.h>

#include "CometTestUtil.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

float F(double v) {
  return static_cast<float>(v);
}

struct Measured {
  std::int32_t head;
  CometRecord record;
};

Measured Measure(CometImageClass& comet, std::int32_t head, double sx = 1000, double sy = 1000) {
  Measured m{0, CometRecord{}};
  m.head = Zelcor_ComputeMetrics(comet, m.record, head, sx, sy);
  return m;
}

TEST(CometMetricsTest, SymmetricBlobIsAllHead) {
  CometImageClass comet(8, 3);
  FillColumns(comet, {0, 1, 2, 3, 3, 2, 1, 0}, std::vector<int>(8, 100));
  const Measured m = Measure(comet, 4);
  const float* v = m.record.Metrics;
  EXPECT_EQ(m.head, 4);
  EXPECT_EQ(m.record.HeadCenter, 4);
  EXPECT_EQ(v[kCometProbability], 0);
  EXPECT_EQ(v[kCometLength], 6);
  EXPECT_EQ(v[kCometHeight], 3);
  EXPECT_EQ(v[kCometArea], 12);
  EXPECT_EQ(v[kCometIntensity], 1200);
  EXPECT_EQ(v[kCometMeanIntensity], 100);
  EXPECT_EQ(v[kHeadDiameter], 6);
  EXPECT_EQ(v[kTailLength], 0);
  EXPECT_EQ(v[kTailArea], 1);       // none, replaced by 1
  EXPECT_EQ(v[kTailIntensity], 1);  // none, replaced by 1
  EXPECT_EQ(v[kHeadArea], 11);
  EXPECT_EQ(v[kHeadIntensity], 1199);
  EXPECT_EQ(v[kHeadMeanIntensity], 109);
  EXPECT_EQ(v[kHeadDNA], F(100.0L * F(1199.0 / 1200.0)));
  EXPECT_EQ(v[kTailDNA], F(100.0L * F(1.0 / 1200.0)));
  EXPECT_EQ(v[kTailMoment], 0);
  EXPECT_EQ(v[kTailOliveMoment], 0);
  EXPECT_EQ(v[kTailMeanIntensity], 1);
  EXPECT_EQ(m.record.ImageWidth, 8);
  EXPECT_EQ(m.record.ImageHeight, 3);
}

TEST(CometMetricsTest, UniformTailOfKnownSizeAndLevel) {
  CometImageClass comet(12, 2);
  FillColumns(comet, {0, 1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 0},
              {0, 200, 200, 200, 200, 50, 50, 50, 50, 50, 50, 0});
  const Measured m = Measure(comet, 3);
  const float* v = m.record.Metrics;
  EXPECT_EQ(v[kCometLength], 10);
  EXPECT_EQ(v[kCometHeight], 2);
  EXPECT_EQ(v[kCometArea], 12);
  EXPECT_EQ(v[kCometIntensity], 1500);
  EXPECT_EQ(v[kCometMeanIntensity], 125);
  EXPECT_EQ(v[kHeadDiameter], 4);
  EXPECT_EQ(v[kTailLength], 6);
  EXPECT_EQ(v[kTailArea], 6);
  EXPECT_EQ(v[kTailIntensity], 300);
  EXPECT_EQ(v[kHeadArea], 6);
  EXPECT_EQ(v[kHeadIntensity], 1200);
  EXPECT_EQ(v[kHeadMeanIntensity], 200);
  EXPECT_EQ(v[kHeadDNA], 80);
  EXPECT_EQ(v[kTailDNA], 20);
  EXPECT_EQ(v[kTailMoment], F(static_cast<double>(F(300.0 / 1500.0)) * 6));
  EXPECT_EQ(v[kTailOliveMoment], F(50.0 * (2 + 3 + 4 + 5 + 6 + 7) / 1500.0));
  EXPECT_EQ(v[kTailMeanIntensity], 50);
  for (int spare = 18; spare < 28; ++spare) EXPECT_EQ(v[spare], 0);
}

TEST(CometMetricsTest, MirrorStopsAtTheImageEdge) {
  // Head 3 on five columns: column 0's mirror (5) lies outside; 3 and 4
  // take the mirrors of 2 and 1, never more than they hold.
  CometImageClass comet(5, 4);
  FillColumns(comet, {1, 2, 4, 3, 4}, {10, 10, 10, 10, 10});
  const Measured m = Measure(comet, 3);
  const float* v = m.record.Metrics;
  // Cmin 1, Smin 10: head counts 0,1,3 | min(3,2)=2, min(1,3)=1; tail: 0,0,0,0,2.
  EXPECT_EQ(v[kTailArea], 2);
  EXPECT_EQ(v[kTailIntensity], 20);
  EXPECT_EQ(v[kHeadDiameter], 4);  // columns 1 to 4
  EXPECT_EQ(v[kCometLength], 5);
  EXPECT_EQ(v[kTailOliveMoment], F(20.0 * 1 / 140.0));
}

TEST(CometMetricsTest, HeadBeyondTheImageIsClampedButReportedAsGiven) {
  CometImageClass a(12, 2), b(12, 2);
  const std::vector<int> counts = {0, 1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 0};
  const std::vector<int> values = {0, 200, 200, 200, 200, 50, 50, 50, 50, 50, 50, 0};
  FillColumns(a, counts, values);
  FillColumns(b, counts, values);
  const Measured far = Measure(a, 100);
  const Measured last = Measure(b, 11);
  EXPECT_EQ(far.head, 100);
  EXPECT_EQ(far.record.HeadCenter, 100);
  for (int k = 0; k < kMetricCount; ++k)
    EXPECT_EQ(far.record.Metrics[k], last.record.Metrics[k]) << k;
}

TEST(CometMetricsTest, CalibrationScalesLengthsAndAreasOnly) {
  CometImageClass plain(30, 11), scaled(30, 11);
  PaintComet(*plain.Image, 8, 4, 18, 220, 90, 5);
  PaintComet(*scaled.Image, 8, 4, 18, 220, 90, 5);
  const Measured p = Measure(plain, 8);
  const Measured s = Measure(scaled, 8, 500, 2000);
  const float* a = p.record.Metrics;
  const float* b = s.record.Metrics;
  EXPECT_EQ(b[kCometLength], a[kCometLength] / 2);
  EXPECT_EQ(b[kCometHeight], a[kCometHeight] * 2);
  EXPECT_EQ(b[kHeadDiameter], a[kHeadDiameter] / 2);
  EXPECT_EQ(b[kTailLength], a[kTailLength] / 2);
  for (int k : {kCometArea, kHeadArea, kTailArea, kCometIntensity, kTailMoment, kTailOliveMoment,
                kHeadDNA, kTailDNA, kCometMeanIntensity})
    EXPECT_EQ(b[k], a[k]) << kMetricNames[k];
  EXPECT_NEAR(a[kHeadDNA] + a[kTailDNA], 100.0f, 1e-4f);
  EXPECT_GT(a[kTailDNA], 5.0f);
}

TEST(CometMetricsTest, ProfilePlotIsDrawnIntoAColourImage) {
  CometImageClass comet(12, 2);
  FillColumns(comet, {0, 1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 0},
              {0, 200, 200, 200, 200, 50, 50, 50, 50, 50, 50, 0});
  Measure(comet, 3);
  ASSERT_EQ(comet.Image->Bitmap.bmBitsPixel, 24);
  // The tail line (cyan) runs along row trunc(2 / 400 x 50) = 0 over the tail.
  const std::uint8_t* row0 = comet.Image->GetScanLine(0);
  EXPECT_EQ(row0[3 * 8 + 0], 0xFF);  // blue
  EXPECT_EQ(row0[3 * 8 + 1], 0xFF);  // green
  // Column 2's sum (400, the largest) reaches row 2, just past the raster:
  // nothing is drawn there and the picture keeps its size.
  EXPECT_EQ(comet.Image->Bitmap.bmHeight, 2);
}

TEST(CometMetricsTest, EmptyCometImagesGiveFiniteValues) {
  for (auto size : {std::pair{0, 0}, std::pair{6, 4}}) {
    CometImageClass comet(size.first, size.second);
    if (!comet.Image->IsEmpty()) comet.Image->SetAllPixelsToValue(0);
    CometRecord record;
    const std::int32_t head = Zelcor_ComputeMetrics(comet, record, -1, 1000, 1000);
    EXPECT_EQ(head, 2);
    for (int k = 0; k < kMetricCount; ++k) EXPECT_TRUE(std::isfinite(record.Metrics[k])) << k;
    EXPECT_EQ(record.Metrics[kCometArea], 1);
    EXPECT_EQ(record.Metrics[kCometLength], size.first == 0 ? 1 : 1);
    EXPECT_EQ(record.Metrics[kTailLength], 0);
  }
}

TEST(CometMetricsTest, ProbabilityIsDisabled) {
  ScopedTraceLog log;
  CometRecord record;
  record.Metrics[0] = 3;
  WellRecord well;
  Zelcor_ComputeCometProbability(record, FeatureRecord{}, well);
  EXPECT_EQ(record.Metrics[0], 3);
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{
                                "entering Zelcor_ComputeCometProbability(DISABLED)...",
                                "exiting  Zelcor_ComputeCometProbability(DISABLED)...",
                            }));
}

}  // namespace
