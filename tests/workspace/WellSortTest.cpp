#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>
#include <utility>

#include "CometMetrics.h"
#include "ReviewTestUtil.h"
#include "WellSort.h"

using namespace testing_support;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// The bubble sort as the order is defined: passes over neighbours, swapping
// whole records when strictly out of order, the undo index following its
// comet, ending after a pass without a swap.
void BubbleSort(WellRecord& well, int m, bool descending, std::int32_t& undo) {
  std::int64_t last = static_cast<std::int64_t>(well.CometCount) - 1;
  while (last > 0) {
    bool swapped = false;
    for (std::int64_t i = 0; i < last; ++i) {
      const float a = well.Comets[i].Metrics[m];
      const float b = well.Comets[i + 1].Metrics[m];
      if (descending ? a < b : a > b) {
        std::swap(well.Comets[i], well.Comets[i + 1]);
        if (undo == i)
          undo = static_cast<std::int32_t>(i + 1);
        else if (undo == i + 1)
          undo = static_cast<std::int32_t>(i);
        swapped = true;
      }
    }
    if (!swapped) break;
    --last;
  }
}

TEST(WellSortTest, DecreasingKeepsTiesInOrder) {
  WellRecord well = WellOfValues(kTailDNA, {1, 3, 3, 2});
  std::int32_t undo = -1;
  SortThisWell(well, kTailDNA, true, undo);
  EXPECT_EQ(Order(well), (std::vector<int>{1, 2, 3, 0}));
  SortThisWell(well, kTailDNA, false, undo);
  EXPECT_EQ(Order(well), (std::vector<int>{0, 3, 1, 2}));
}

TEST(WellSortTest, NotANumberStaysAndSplitsTheRuns) {
  WellRecord well = WellOfValues(kTailDNA, {5, 4, kNaN, 3, 1, 2, kNaN, 0});
  std::int32_t undo = -1;
  SortThisWell(well, kTailDNA, false, undo);
  EXPECT_EQ(Order(well), (std::vector<int>{1, 0, 2, 4, 5, 3, 6, 7}));
}

TEST(WellSortTest, UndoIndexFollowsItsComet) {
  WellRecord well = WellOfValues(kTailDNA, {4, 1, 3, 2});
  std::int32_t undo = 0;  // the comet of value 4
  SortThisWell(well, kTailDNA, false, undo);
  EXPECT_EQ(undo, 3);
  EXPECT_EQ(well.Comets[undo].Metrics[kTailDNA], 4.0f);
  // An index naming no record is left alone.
  for (std::int32_t outside : {-1, 4, 9000}) {
    WellRecord w = WellOfValues(kTailDNA, {4, 1, 3, 2});
    std::int32_t u = outside;
    SortThisWell(w, kTailDNA, true, u);
    EXPECT_EQ(u, outside);
  }
}

TEST(WellSortTest, DeletedAndLeftOutRecordsMoveWholeToo) {
  WellRecord well = WellOfValues(kTailDNA, {2, 1});
  well.Comets[0].Deleted = 1;
  well.Comets[1].Included = 0;
  std::int32_t undo = -1;
  SortThisWell(well, kTailDNA, false, undo);
  EXPECT_EQ(Order(well), (std::vector<int>{1, 0}));
  EXPECT_EQ(well.Comets[1].Deleted, 1);
  EXPECT_EQ(well.Comets[0].Included, 0);
  EXPECT_EQ(ImageNameOf(well.Comets[0]), "comet1");
}

TEST(WellSortTest, SmallAndEmptyDataSets) {
  std::int32_t undo = 0;
  WellRecord none;
  SortThisWell(none, kTailDNA, false, undo);
  WellRecord empty = WellOfValues(kTailDNA, {});
  SortThisWell(empty, kTailDNA, false, undo);
  WellRecord one = WellOfValues(kTailDNA, {kNaN});
  SortThisWell(one, kTailDNA, true, undo);
  EXPECT_EQ(undo, 0);
}

// Random data sets full of ties, signed zeros, infinities and NaNs give the
// bubble sort's order and undo index, record for record.
TEST(WellSortTest, SameOrderAsTheBubbleSortOnRandomData) {
  const float pool[] = {0.0f,
                        -0.0f,
                        1.0f,
                        1.0f,
                        2.5f,
                        -3.0f,
                        7.0f,
                        kNaN,
                        std::numeric_limits<float>::infinity(),
                        -std::numeric_limits<float>::infinity()};
  std::mt19937 random(16);
  for (int trial = 0; trial < 400; ++trial) {
    const int n = static_cast<int>(random() % (trial < 300 ? 40 : 600));
    const int nanShare = static_cast<int>(random() % 4);  // sometimes none
    std::vector<float> values(n);
    for (float& v : values) {
      v = pool[random() % std::size(pool)];
      if (std::isnan(v) && random() % 4 >= static_cast<unsigned>(nanShare)) v = 1.0f;
      if (random() % 3 == 0) v = static_cast<float>(random() % 1000) / 8.0f;
    }
    const bool descending = random() % 2 == 1;
    const std::int32_t undo = n == 0 ? -1 : static_cast<std::int32_t>(random() % (n + 1)) - 1;
    WellRecord expected = WellOfValues(kTailDNA, values);
    WellRecord actual = WellOfValues(kTailDNA, values);
    std::int32_t expectedUndo = undo, actualUndo = undo;
    BubbleSort(expected, kTailDNA, descending, expectedUndo);
    SortThisWell(actual, kTailDNA, descending, actualUndo);
    ASSERT_EQ(Order(actual), Order(expected)) << "trial " << trial;
    ASSERT_EQ(actualUndo, expectedUndo) << "trial " << trial;
    ASSERT_EQ(std::memcmp(actual.Comets.get(), expected.Comets.get(), sizeof(CometRecord) * n), 0);
  }
}

TEST(WellSortTest, FullDataSetMatchesTheBubbleSort) {
  std::mt19937 random(8192);
  std::vector<float> values(WellRecord::kMaxComets);
  for (float& v : values) v = random() % 50 == 0 ? kNaN : static_cast<float>(random() % 300);
  WellRecord expected = WellOfValues(kTailDNA, values);
  WellRecord actual = WellOfValues(kTailDNA, values);
  std::int32_t expectedUndo = 4000, actualUndo = 4000;
  BubbleSort(expected, kTailDNA, true, expectedUndo);
  SortThisWell(actual, kTailDNA, true, actualUndo);
  EXPECT_EQ(Order(actual), Order(expected));
  EXPECT_EQ(actualUndo, expectedUndo);
}

}  // namespace
