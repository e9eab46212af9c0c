#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "CometGridLayout.h"
#include "CometMetrics.h"
#include "DisplayWindow.h"
#include "ReviewTestUtil.h"
#include "ReviewTexts.h"
#include "WellSort.h"

using namespace testing_support;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(DisplayWindowTest, BandsAndTheirEdges) {
  const struct {
    float value;
    int band;
  } cases[] = {{-3.5f, 1},
               {-3.0f, 2},
               {-2.5f, 2},
               {-2.0f, 3},
               {-1.5f, 3},
               {-1.0f, 4},
               {-0.5f, 4},
               {0.0f, 5},
               {0.5f, 5},
               {1.0f, 6},
               {1.5f, 6},
               {2.0f, 7},
               {2.5f, 7},
               {3.0f, 8},
               {9.0f, 8},
               {kNaN, 8},
               {-std::numeric_limits<float>::infinity(), 1},
               {std::numeric_limits<float>::infinity(), 8}};
  for (const auto& c : cases) EXPECT_EQ(ValueBand(c.value, 0.0f, 1.0f), c.band) << c.value;
  // Around a mean of 10 with a deviation of 2.
  EXPECT_EQ(ValueBand(4.0f, 10.0f, 2.0f), 2);
  EXPECT_EQ(ValueBand(15.999f, 10.0f, 2.0f), 7);
  EXPECT_EQ(ValueBand(16.0f, 10.0f, 2.0f), 8);
}

TEST(DisplayWindowTest, ZeroDeviation_EveryValueOutside) {
  // All bands between the outer two are empty: below the mean is band 1,
  // the mean and above band 8.
  EXPECT_EQ(ValueBand(4.0f, 5.0f, 0.0f), 1);
  EXPECT_EQ(ValueBand(5.0f, 5.0f, 0.0f), 8);
  EXPECT_EQ(ValueBand(6.0f, 5.0f, 0.0f), 8);
}

TEST(DisplayWindowTest, LimitsBeyondSinglePrecision) {
  // a + s = 16777217 has no float; rounded to one it would be 16777216 and
  // put the mean itself in band 6.
  EXPECT_EQ(ValueBand(16777216.0f, 16777216.0f, 1.0f), 5);
  EXPECT_EQ(ValueBand(16777218.0f, 16777216.0f, 1.0f), 7);
}

// Which bands the window lo..hi shows.
std::set<int> Shown(int lo, int hi) {
  std::set<int> bands;
  for (int band = 1; band <= 8; ++band)
    if (BandInWindow(band, lo, hi)) bands.insert(band);
  return bands;
}

TEST(DisplayWindowTest, WindowsShowTheirBands) {
  const struct {
    int lo, hi;
    std::set<int> bands;
  } cases[] = {
      {-4, 4, {1, 2, 3, 4, 5, 6, 7, 8}},
      {-4, 3, {2, 3, 4, 5, 6, 7}},
      {-3, 4, {2, 3, 4, 5, 6, 7, 8}},
      {3, 4, {7}},
      {2, 4, {6, 7, 8}},
      {2, -2, {}},
      {-1, 1, {4, 5}},
      {-4, -4, {}},
      {4, 4, {}},
      {1, 1, {5}},
      {-2, -1, {3, 4}},
  };
  for (const auto& c : cases) EXPECT_EQ(Shown(c.lo, c.hi), c.bands) << c.lo << ".." << c.hi;
}

// One comet per band (and a NaN) around mean 0, deviation 1.
WellRecord OnePerBand() {
  WellRecord well =
      WellOfValues(kTailDNA, {-3.5f, -2.5f, -1.5f, -0.5f, 0.5f, 1.5f, 2.5f, 3.5f, kNaN});
  SetStatistics(well, kTailDNA, -3.5f, 3.5f, 0.0f, 1.0f);
  return well;
}

std::vector<int> IncludedPositions(const WellRecord& well) {
  std::vector<int> shown;
  for (std::uint32_t i = 0; i < well.CometCount; ++i)
    if (well.Comets[i].Included) shown.push_back(static_cast<int>(i));
  return shown;
}

TEST(DisplayWindowTest, PassSetsIncludedByWindow) {
  const struct {
    int lo, hi;
    std::vector<int> shown;
  } cases[] = {
      {-4, 4, {0, 1, 2, 3, 4, 5, 6, 7, 8}}, {-4, 3, {1, 2, 3, 4, 5, 6}}, {3, 4, {6}}, {2, -2, {}}};
  for (const auto& c : cases) {
    WellRecord well = OnePerBand();
    const DisplayWindowResult r = RunDisplayWindowPass(well, kTailDNA, c.lo, c.hi);
    EXPECT_EQ(IncludedPositions(well), c.shown) << c.lo << ".." << c.hi;
    EXPECT_EQ(r.shown, c.shown.size());
  }
}

TEST(DisplayWindowTest, PassReincludesWhatAWiderWindowShows) {
  WellRecord well = OnePerBand();
  RunDisplayWindowPass(well, kTailDNA, 3, 4);
  RunDisplayWindowPass(well, kTailDNA, -4, 4);
  EXPECT_EQ(IncludedPositions(well).size(), 9u);
}

TEST(DisplayWindowTest, DeletedAndOutOfLimitComets_NotShown) {
  WellRecord well = WellOfValues(kTailDNA, {0, 0, 0, 0, 0, 0, 0, 0});
  SetStatistics(well, kTailDNA, 0, 0, 0, 1);
  well.MinCometArea = 50;
  well.MaxCometArea = 150;
  well.MinCometHeight = 5;
  well.MaxCometHeight = 20;
  well.Comets[1].Deleted = 1;
  well.Comets[2].Metrics[kCometArea] = 50;  // ends inclusive
  well.Comets[3].Metrics[kCometArea] = 150;
  well.Comets[4].Metrics[kCometArea] = 150.01f;
  well.Comets[5].Metrics[kCometHeight] = 4.99f;
  well.Comets[6].Metrics[kCometHeight] = kNaN;
  well.Comets[7].Metrics[kCometArea] = kNaN;
  const DisplayWindowResult r = RunDisplayWindowPass(well, kTailDNA, -4, 4);
  EXPECT_EQ(IncludedPositions(well), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(r.shown, 3u);
}

TEST(DisplayWindowTest, LargestThumbnailAmongShownOnly) {
  WellRecord well = WellOfValues(kTailDNA, {0.0f, 0.5f, 9.0f});
  SetStatistics(well, kTailDNA, 0, 9, 0, 1);
  well.Comets[0].ImageWidth = 70;
  well.Comets[1].ImageHeight = 90;
  well.Comets[2].ImageWidth = 500;  // band 8, hidden by -4..3
  well.Comets[2].ImageHeight = 500;
  const DisplayWindowResult r = RunDisplayWindowPass(well, kTailDNA, -4, 3);
  EXPECT_EQ(r.shown, 2u);
  EXPECT_EQ(r.maxWidth, 70);
  EXPECT_EQ(r.maxHeight, 90);
}

TEST(DisplayWindowTest, EmptyDataSet_NothingShown) {
  WellRecord well = WellOfValues(kTailDNA, {});
  const DisplayWindowResult r = RunDisplayWindowPass(well, kTailDNA, -4, 4);
  EXPECT_EQ(r.shown, 0u);
  EXPECT_EQ(r.maxWidth, 0);
  WellRecord none;
  EXPECT_EQ(RunDisplayWindowPass(none, kTailDNA, -4, 4).shown, 0u);
}

}  // namespace

namespace {

// A count beyond the array (a damaged data set in memory) is walked no
// further than the array.
TEST(DisplayWindowTest, CountBeyondTheArray_WalksTheArrayOnly) {
  WellRecord well = WellOfValues(kTailDNA, std::vector<float>(WellRecord::kMaxComets, 1.0f));
  SetStatistics(well, kTailDNA, 0, 2, 1, 1);
  well.CometCount = WellRecord::kMaxComets + 500;
  EXPECT_EQ(RunDisplayWindowPass(well, kTailDNA, -4, 4).shown, WellRecord::kMaxComets);
  std::int32_t undo = static_cast<std::int32_t>(WellRecord::kMaxComets) + 10;
  SortThisWell(well, kTailDNA, true, undo);
  EXPECT_EQ(undo, static_cast<std::int32_t>(WellRecord::kMaxComets) + 10);
  GridLayout g = ComputeGridLayout({WellRecord::kMaxComets, 30, 20}, 0, 8 * 50 + 20);
  FillCellMap(g, well);
  EXPECT_EQ(g.cells.back(), static_cast<std::int32_t>(WellRecord::kMaxComets) - 1);
  EXPECT_EQ(DataPointsText(well),
            "showing 8192 (100.0%) of 8192 data points (8692 total points acquired)");
}

}  // namespace
