#include <gtest/gtest.h>

#include <limits>

#include "CometMetrics.h"
#include "MetricHistogram.h"
#include "ReviewTestUtil.h"

using namespace testing_support;

namespace {

constexpr std::uint32_t kBlack = 0x000000, kDarkRed = 0x000080, kOlive = 0x00DDDD,
                        kGreen = 0x008000;

TEST(HistogramTest, MaximumLandsInTheLastBucket) {
  std::vector<float> values;
  for (int v = 0; v <= 10; ++v) values.push_back(static_cast<float>(v));
  WellRecord well = WellOfValues(kTailDNA, values);
  Zelcor_ComputeWellStatistics(well);
  const std::vector<float> counts = ComputeHistogram(well, kTailDNA, 10);
  // 0..8 one each, 9 and the maximum 10 share the last bucket.
  EXPECT_EQ(counts, (std::vector<float>{1, 1, 1, 1, 1, 1, 1, 1, 1, 2}));
}

TEST(HistogramTest, AllEqualValuesGoToBucketZeroAndTheRangeBecomesOne) {
  WellRecord well = WellOfValues(kTailDNA, {3.5f, 3.5f, 3.5f, 3.5f});
  SetStatistics(well, kTailDNA, 3.5f, 3.5f, 3.5f, 0.0f);
  ASSERT_EQ(well.RangeValue[SlotOfMetric(kTailDNA)], 0.0f);
  const std::vector<float> counts = ComputeHistogram(well, kTailDNA, 5);
  EXPECT_EQ(counts, (std::vector<float>{4, 0, 0, 0, 0}));
  EXPECT_EQ(well.RangeValue[SlotOfMetric(kTailDNA)], 1.0f);
}

TEST(HistogramTest, DeletedComets_NotCounted_LeftOutOnesAre) {
  WellRecord well = WellOfValues(kTailDNA, {0.0f, 5.0f, 9.0f, 9.5f});
  SetStatistics(well, kTailDNA, 0.0f, 10.0f, 5.0f, 1.0f);
  well.Comets[2].Deleted = 1;
  well.Comets[3].Included = 0;
  EXPECT_EQ(ComputeHistogram(well, kTailDNA, 2), (std::vector<float>{1, 2}));
}

TEST(HistogramTest, ValuesBelowTheMinimumCountInTheFirstBucket) {
  WellRecord well = WellOfValues(kTailDNA, {-4.0f, 2.0f, 7.0f});
  SetStatistics(well, kTailDNA, 2.0f, 7.0f, 4.5f, 1.0f);
  well.Comets[0].Included = 0;
  EXPECT_EQ(ComputeHistogram(well, kTailDNA, 5), (std::vector<float>{2, 0, 0, 0, 1}));
}

TEST(HistogramTest, BucketCountFromTheTypedText) {
  const struct {
    const char* text;
    std::uint16_t count;
  } cases[] = {{"100", 100}, {" 12x", 12}, {"abc", 0},   {"", 0},
               {"1", 1},     {"65538", 2}, {"-1", 65535}};
  for (const auto& c : cases) EXPECT_EQ(HistogramBucketCount(c.text), c.count) << c.text;
}

TEST(HistogramTest, BucketCountBelowTwo_DrawsNothingAndNamesTheText) {
  WellRecord well = WellOfValues(kTailDNA, {1.0f, 2.0f, 3.0f});
  Zelcor_ComputeWellStatistics(well);
  for (const char* text : {"1", "0", "bins", "65536"}) {
    const HistogramPicture picture = PlanHistogram(well, kTailDNA, text, 105);
    EXPECT_FALSE(picture.drawn) << text;
    EXPECT_EQ(picture.error, std::string("Histogram bucket count = ") + text);
    EXPECT_STREQ(picture.resultWord, "FAILURE");
    EXPECT_TRUE(picture.heights.empty());
  }
  const HistogramPicture two = PlanHistogram(well, kTailDNA, "2", 105);
  EXPECT_TRUE(two.drawn);
  EXPECT_STREQ(two.resultWord, "SUCCESS");
  EXPECT_TRUE(two.error.empty());
}

TEST(HistogramTest, MeanBucketAndSpread) {
  WellRecord well = WellOfValues(kTailDNA, {0.0f, 10.0f});
  SetStatistics(well, kTailDNA, 0.0f, 10.0f, 5.0f, 1.0f);
  HistogramBands b = ComputeHistogramBands(well, kTailDNA, 10);
  EXPECT_EQ(b.mean, 5);
  EXPECT_EQ(b.spread, 1);
  b = ComputeHistogramBands(well, kTailDNA, 100);
  EXPECT_EQ(b.mean, 50);
  EXPECT_EQ(b.spread, 10);
  // Floored, not rounded: 5.75 buckets to the mean, 1.15 per deviation.
  SetStatistics(well, kTailDNA, 0.0f, 10.0f, 5.75f, 1.15f);
  b = ComputeHistogramBands(well, kTailDNA, 10);
  EXPECT_EQ(b.mean, 5);
  EXPECT_EQ(b.spread, 1);
  // A mean below the minimum wraps as a 16-bit unsigned number.
  SetStatistics(well, kTailDNA, 0.0f, 10.0f, -1.0f, 1.0f);
  EXPECT_EQ(ComputeHistogramBands(well, kTailDNA, 10).mean, 65535);
}

TEST(HistogramTest, BarColoursByBandEdges) {
  const HistogramBands bands{20, 3};  // edges at 11, 14, 17, 23, 26, 29
  const struct {
    int bucket;
    std::uint32_t colour;
  } cases[] = {{0, kBlack},  {10, kBlack},   {11, kDarkRed}, {13, kDarkRed}, {14, kOlive},
               {16, kOlive}, {17, kGreen},   {20, kGreen},   {22, kGreen},   {23, kOlive},
               {25, kOlive}, {26, kDarkRed}, {28, kDarkRed}, {29, kBlack},   {99, kBlack}};
  for (const auto& c : cases) EXPECT_EQ(HistogramBarColour(c.bucket, bands), c.colour) << c.bucket;
}

TEST(HistogramTest, ZeroSpread_OnlyBlack) {
  // With D = 0 every band but the outer ones is empty.
  const HistogramBands bands{5, 0};
  for (int i : {0, 4, 5, 6}) EXPECT_EQ(HistogramBarColour(i, bands), kBlack) << i;
}

TEST(HistogramTest, BarHeightsScaleToTheTallestAndTruncate) {
  // Buckets of width 1 over 0..4: counts 1, 3, 0, 2 (the maximum joins the last).
  WellRecord well = WellOfValues(kTailDNA, {0.5f, 1.2f, 1.5f, 1.7f, 3.0f, 4.0f});
  SetStatistics(well, kTailDNA, 0.0f, 4.0f, 2.0f, 1.0f);
  const HistogramPicture picture = PlanHistogram(well, kTailDNA, "4", 100);
  ASSERT_TRUE(picture.drawn);
  EXPECT_EQ(picture.width, 4);
  EXPECT_EQ(picture.height, 100);
  EXPECT_EQ(picture.heights, (std::vector<int>{33, 100, 0, 66}));
  // Mean bucket 2, one bucket per deviation.
  EXPECT_EQ(picture.colours, (std::vector<std::uint32_t>{kOlive, kGreen, kGreen, kOlive}));
}

TEST(HistogramTest, NoCountedComets_AllBarsZero) {
  WellRecord well = WellOfValues(kTailDNA, {1.0f, 2.0f, 3.0f});
  SetStatistics(well, kTailDNA, 0.0f, 4.0f, 2.0f, 1.0f);
  for (std::uint32_t i = 0; i < 3; ++i) well.Comets[i].Deleted = 1;
  const HistogramPicture picture = PlanHistogram(well, kTailDNA, "8", 50);
  ASSERT_TRUE(picture.drawn);
  EXPECT_EQ(picture.heights, std::vector<int>(8, 0));
}

TEST(HistogramTest, DataSetsOfZeroOrOneComet_DrawNoBars) {
  for (std::size_t n : {0u, 1u}) {
    WellRecord well = WellOfValues(kTailDNA, std::vector<float>(n, 2.0f));
    Zelcor_ComputeWellStatistics(well);  // keeps the start values
    const HistogramPicture picture = PlanHistogram(well, kTailDNA, "10", 105);
    ASSERT_TRUE(picture.drawn);
    EXPECT_EQ(picture.heights, std::vector<int>(10, 0)) << n;
  }
}

TEST(HistogramTest, NotANumber_IsNotCounted) {
  WellRecord well = WellOfValues(kTailDNA, {1.0f, std::numeric_limits<float>::quiet_NaN()});
  SetStatistics(well, kTailDNA, 0.0f, 2.0f, 1.0f, 1.0f);
  EXPECT_EQ(ComputeHistogram(well, kTailDNA, 2), (std::vector<float>{0, 1}));
}

}  // namespace
