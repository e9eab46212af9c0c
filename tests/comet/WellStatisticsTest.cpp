#include <gtest/gtest.h>

#include <cmath>

#include "CometMetrics.h"

namespace {

float F(double v) {
  return static_cast<float>(v);
}

WellRecord DataSet(const std::vector<float>& heights, const std::vector<bool>& deleted = {}) {
  WellRecord well;
  well.DatabaseType = kCometDataSet;
  well.Comets = NewCometArray();
  well.CometCount = static_cast<std::uint32_t>(heights.size());
  for (std::size_t i = 0; i < heights.size(); ++i) {
    CometRecord& c = well.Comets[i];
    c.Included = 1;
    c.Deleted = i < deleted.size() && deleted[i];
    c.CenterX = 10.0f * static_cast<float>(i);
    c.Metrics[kCometHeight] = heights[i];
    c.Metrics[kCometProbability] = 99;  // to be rewritten
  }
  return well;
}

const int kHeight = SlotOfMetric(kCometHeight);
const int kProbability = SlotOfMetric(kCometProbability);

TEST(WellStatisticsTest, ThreeComets) {
  WellRecord well = DataSet({10, 20, 30});
  Zelcor_ComputeWellStatistics(well);
  EXPECT_EQ(well.MinValue[kHeight], 10);
  EXPECT_EQ(well.MaxValue[kHeight], 30);
  EXPECT_EQ(well.RangeValue[kHeight], 20);
  EXPECT_EQ(well.MeanValue[kHeight], 20);
  EXPECT_EQ(well.StdDevValue[kHeight], 10);
  EXPECT_EQ(well.MeanValue[0], 10);  // CenterX 0, 10, 20
  EXPECT_EQ(well.Comets[0].Metrics[kCometProbability], 10);
  EXPECT_EQ(well.Comets[1].Metrics[kCometProbability], 0);
  EXPECT_EQ(well.Comets[2].Metrics[kCometProbability], -10);
  // The probability slot's own statistics see the old values (99) for the
  // extremes and the old mean plus the new values for the mean.
  EXPECT_EQ(well.MinValue[kProbability], 99);
  EXPECT_EQ(well.RangeValue[kProbability], 1);  // constant: range 0 becomes 1
  EXPECT_EQ(well.MeanValue[kProbability], 33);  // (99 + 10 + 0 - 10) / 3
  EXPECT_EQ(well.StdDevValue[kProbability], F(std::sqrt((23.0 * 23 + 33.0 * 33 + 43.0 * 43) / 2)));
}

TEST(WellStatisticsTest, NoneOrOneCometHasNoStatistics) {
  for (std::size_t n : {0u, 1u}) {
    WellRecord well = DataSet(std::vector<float>(n, 42.0f));
    Zelcor_ComputeWellStatistics(well);
    for (int k = 0; k < kStatisticSlots; ++k) {
      EXPECT_EQ(well.MinValue[k], 2147483648.0f);
      EXPECT_EQ(well.MaxValue[k], -2147483648.0f);
      EXPECT_EQ(well.RangeValue[k], -2147483648.0f);
      EXPECT_EQ(well.MeanValue[k], 0);
      EXPECT_EQ(well.StdDevValue[k], 0);
    }
    if (n == 1) {
      EXPECT_EQ(well.Comets[0].Metrics[kCometProbability], 99);
    }
  }
}

TEST(WellStatisticsTest, OneCountedOfTwo) {
  WellRecord well = DataSet({10, 20}, {false, true});
  Zelcor_ComputeWellStatistics(well);
  for (int k = 0; k < kStatisticSlots; ++k) {
    EXPECT_EQ(well.StdDevValue[k], 0) << k;
    EXPECT_EQ(well.RangeValue[k], 1.0f) << k;
  }
  EXPECT_EQ(well.MeanValue[kHeight], 10);
  EXPECT_EQ(well.Comets[1].Metrics[kCometProbability], -10);  // deleted, still given one
}

TEST(WellStatisticsTest, AllDeleted) {
  WellRecord well = DataSet({10, 20, 30}, {true, true, true});
  Zelcor_ComputeWellStatistics(well);
  for (int k = 0; k < kStatisticSlots; ++k) {
    EXPECT_EQ(well.MinValue[k], 2147483648.0f);
    EXPECT_EQ(well.MaxValue[k], -2147483648.0f);
    EXPECT_EQ(well.RangeValue[k], -4294967296.0f);
    EXPECT_EQ(well.StdDevValue[k], 0);
  }
  EXPECT_EQ(well.MeanValue[kHeight], 0);
  EXPECT_EQ(well.Comets[2].Metrics[kCometProbability], -30);
}

TEST(WellStatisticsTest, ExcludedCometsDoNotCount) {
  WellRecord well = DataSet({10, 20, 90});
  well.Comets[2].Included = 0;
  Zelcor_ComputeWellStatistics(well);
  EXPECT_EQ(well.MaxValue[kHeight], 20);
  EXPECT_EQ(well.MeanValue[kHeight], 15);
  EXPECT_EQ(well.StdDevValue[kHeight], F(std::sqrt(50.0)));
}

TEST(WellStatisticsTest, MissingArrayOrOversizedCountIsSafe) {
  WellRecord well;
  well.CometCount = 5;
  Zelcor_ComputeWellStatistics(well);
  EXPECT_EQ(well.MeanValue[0], 0);
  WellRecord big = DataSet({1, 2});
  big.CometCount = 100000;  // never read past the array
  Zelcor_ComputeWellStatistics(big);
  EXPECT_EQ(big.MaxValue[kHeight], 2);
}

}  // namespace
