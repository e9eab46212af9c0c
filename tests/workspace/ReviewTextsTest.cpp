#include <gtest/gtest.h>

#include "CometMetrics.h"
#include "ReviewModel.h"
#include "ReviewTestUtil.h"
#include "ReviewTexts.h"

using namespace testing_support;

namespace {

TEST(ReviewTextsTest, StatisticsLabels) {
  WellRecord well = WellOfValues(kTailDNA, {1.0f, 2.0f, 3.0f});
  SetStatistics(well, kTailDNA, 1.25f, 3.0f, 2.0f, 0.5f);
  const StatisticsTexts t = StatisticsLabelTexts(well, kTailDNA);
  EXPECT_EQ(t.minimum, " 1.250 (minimum)");
  EXPECT_EQ(t.mean, "\xCE\xBC = 2.000, \xCF\x83 = 0.500");  // mu and sigma in UTF-8
  EXPECT_EQ(t.maximum, "(maximum) 3.000 ");
  SetStatistics(well, kTailDNA, -0.0004f, 1234567.0f, -2.5f, 0.0f);
  const StatisticsTexts u = StatisticsLabelTexts(well, kTailDNA);
  EXPECT_EQ(u.minimum, " -0.000 (minimum)");
  EXPECT_EQ(u.mean, "\xCE\xBC = -2.500, \xCF\x83 = 0.000");
  EXPECT_EQ(u.maximum, "(maximum) 1234567.000 ");
}

TEST(ReviewTextsTest, NoStatistics_DashesInsteadOfTheStoredStartValues) {
  const std::string dash = "\xE2\x80\x94";
  std::vector<WellRecord> cases;
  cases.push_back(WellOfValues(kTailDNA, {}));
  cases.push_back(WellOfValues(kTailDNA, {4.0f}));
  cases.push_back(WellOfValues(kTailDNA, {4.0f, 5.0f}));
  cases.back().Comets[0].Deleted = cases.back().Comets[1].Deleted = 1;
  for (WellRecord& well : cases) {
    Zelcor_ComputeWellStatistics(well);
    EXPECT_EQ(well.MinValue[SlotOfMetric(kTailDNA)], 2147483648.0f);  // kept as stored
    const StatisticsTexts t = StatisticsLabelTexts(well, kTailDNA);
    EXPECT_EQ(t.minimum, " " + dash + " (minimum)");
    EXPECT_EQ(t.mean, "\xCE\xBC = " + dash + ", \xCF\x83 = " + dash);
    EXPECT_EQ(t.maximum, "(maximum) " + dash + " ");
    EXPECT_FALSE(HasStatistics(well, kTailDNA));
  }
  WellRecord two = WellOfValues(kTailDNA, {4.0f, 4.0f});
  Zelcor_ComputeWellStatistics(two);
  EXPECT_TRUE(HasStatistics(two, kTailDNA));
  EXPECT_EQ(StatisticsLabelTexts(two, kTailDNA).minimum, " 4.000 (minimum)");
}

TEST(ReviewTextsTest, DataPointsBothForms) {
  WellRecord well = WellOfValues(kTailDNA, {1, 2, 3, 4, 5, 6, 7});
  well.Comets[0].Deleted = 1;
  well.Comets[1].Included = 0;
  well.Comets[2].Included = 0;
  // 6 kept, 4 shown: 66.66..% to one place.
  EXPECT_EQ(DataPointsText(well), "showing 4 (66.7%) of 6 data points (7 total points acquired)");
  for (std::uint32_t i = 0; i < 7; ++i) well.Comets[i].Deleted = 1;
  EXPECT_EQ(DataPointsText(well), "showing 0 (0.0%) of 0 data points (7 total points acquired)");
  WellRecord empty = WellOfValues(kTailDNA, {});
  EXPECT_EQ(DataPointsText(empty), "showing 0 (0.0%) of 0 data points (0 total points acquired)");
  WellRecord all = WellOfValues(kTailDNA, {1, 2});
  EXPECT_EQ(DataPointsText(all), "showing 2 (100.0%) of 2 data points (2 total points acquired)");
}

TEST(ReviewTextsTest, CellValue) {
  EXPECT_EQ(CellValueText(12.3456f), "12.346");
  EXPECT_EQ(CellValueText(0.0f), "0.000");
  EXPECT_EQ(CellValueText(-1.0005f), "-1.000");  // the float lies just below -1.0005
}

TEST(ReviewTextsTest, WindowBoundsHaveNoZero) {
  const int bounds[] = {-4, -3, -2, -1, 1, 2, 3, 4};
  for (int item = 0; item < 8; ++item) {
    EXPECT_EQ(WindowBoundOfItem(item), bounds[item]);
    EXPECT_EQ(std::to_string(bounds[item]), kWindowBoundItems[item]);
  }
  EXPECT_EQ(WindowBoundOfItem(-1), -4);
  EXPECT_EQ(WindowBoundOfItem(8), 4);
  EXPECT_EQ(WindowBoundOfItem(kDefaultMinBoundItem), -4);
  EXPECT_EQ(WindowBoundOfItem(kDefaultMaxBoundItem), 4);
}

TEST(ReviewTextsTest, OptionRowReadsAsOneSentence) {
  const std::string sentence = std::string(kOptionRowTexts[0]) + kWindowBoundItems[0] +
                               kOptionRowTexts[1] + kWindowBoundItems[7] + kOptionRowTexts[2] +
                               kMetricNames[kTailDNA] + kOptionRowTexts[3] + kSortItems[0] +
                               kOptionRowTexts[4] + kImageModeItems[0];
  EXPECT_EQ(sentence,
            "Display between -4 and 4 standard deviation(s) of Tail %DNA as increasing and "
            "unaltered");
  EXPECT_STREQ(kOptionRowTexts[5], "Cursor Mode:");
  EXPECT_STREQ(kCursorModeItems[2], "Manual Score");
}

TEST(ReviewTextsTest, NoMetricChosen_TailDnaIsChosenForTheUser) {
  const struct {
    int index;
    int metric;
    bool chosenForUser;
  } cases[] = {
      {-1, kTailDNA, true},   {18, kTailDNA, true}, {-7, kTailDNA, true},       {0, 0, false},
      {3, kCometArea, false}, {17, 17, false},      {kTailDNA, kTailDNA, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(MetricOfListIndex(c.index), c.metric) << c.index;
    ReviewModel model;
    EXPECT_EQ(model.ChooseMetricFromList(c.index), c.chosenForUser) << c.index;
    EXPECT_EQ(model.Metric(), c.metric);
  }
  EXPECT_STREQ(kMetricNames[MetricOfListIndex(-1)], "Tail %DNA");
}

}  // namespace

namespace {

TEST(ReviewTextsTest, ModelShowsItsChosenMetric) {
  WellRecord well = WellOfValues(kTailDNA, {10.0f, 20.0f, 30.0f});
  for (std::uint32_t i = 0; i < 3; ++i) well.Comets[i].Metrics[kCometArea] = 100.0f * (i + 1);
  Zelcor_ComputeWellStatistics(well);
  ReviewModel model;
  EXPECT_EQ(model.Labels(well).maximum, "(maximum) 30.000 ");
  model.ChooseMetricFromList(kCometArea);
  EXPECT_EQ(model.Labels(well).minimum, " 100.000 (minimum)");
  const HistogramPicture picture = model.Histogram(well, "3", 30);
  ASSERT_TRUE(picture.drawn);
  EXPECT_EQ(picture.heights, (std::vector<int>{30, 30, 30}));
}

}  // namespace
