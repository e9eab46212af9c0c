#include <gtest/gtest.h>

#include <random>

#include "BinaryImage.h"
#include "FeatureTestUtil.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

// The scan-order procedure written out directly: runs with their own
// labels, each run looking back over the runs of its own and the previous
// row, nearest first, relabelling everything of its region to the touched
// run's label; then one feature per label value in ascending order.
struct DirectFeature {
  std::uint32_t id;
  int left, top, right, bottom;
  std::vector<Chord> chords;
};

std::vector<DirectFeature> Direct(const BitmapImageClass& image) {
  const int width = image.Bitmap.bmWidth, height = image.Bitmap.bmHeight;
  std::vector<Chord> runs;
  for (int r = 0; r < height; ++r) {
    bool inRun = false;
    for (int x = 0; x < width; ++x) {
      const bool set = image.GetScanLine(r)[x] == 0;
      if (!inRun && set) {
        runs.push_back({static_cast<std::uint32_t>(runs.size() + 1), static_cast<std::int16_t>(r),
                        static_cast<std::int16_t>(x), 0});
        inRun = true;
      } else if (inRun && !set) {
        runs.back().colEnd = static_cast<std::int16_t>(x - 1);
        inRun = false;
      }
      if (inRun && x == width - 1) {
        runs.back().colEnd = static_cast<std::int16_t>(x);
        inRun = false;
      }
    }
  }
  for (std::size_t i = 1; i < runs.size(); ++i) {
    for (std::size_t d = i; d-- > 0;) {
      if (runs[d].row < runs[i].row - 1) break;
      const Chord &a = runs[i], &b = runs[d];
      const bool touch = (a.colStart >= b.colStart && a.colStart <= b.colEnd) ||
                         (a.colEnd >= b.colStart && a.colEnd <= b.colEnd) ||
                         (a.colStart < b.colStart && a.colEnd > b.colEnd);
      if (!touch) continue;
      const std::uint32_t from = runs[i].label, to = runs[d].label;
      for (std::size_t k = 0; k < i; ++k)
        if (runs[k].label == from) runs[k].label = to;
      runs[i].label = to;
    }
  }
  std::vector<DirectFeature> features;
  for (std::uint32_t label = 1; label <= runs.size(); ++label) {
    DirectFeature f{label, width, height, 0, 0, {}};
    for (const Chord& c : runs)
      if (c.label == label) {
        f.left = std::min<int>(f.left, c.colStart);
        f.top = std::min<int>(f.top, c.row);
        f.right = std::max<int>(f.right, c.colEnd);
        f.bottom = std::max<int>(f.bottom, c.row);
        f.chords.push_back({0, c.row, c.colStart, c.colEnd});
      }
    if (!f.chords.empty() && f.left < f.right) features.push_back(f);
  }
  return features;
}

void ExpectSameAsDirect(const BitmapImageClass& raster, const std::string& name) {
  const std::vector<DirectFeature> expected = Direct(raster);
  BinaryImageClass binary(raster);
  ASSERT_EQ(binary.ComputeFeatures(), static_cast<std::int32_t>(expected.size())) << name;
  for (std::size_t k = 0; k < expected.size(); ++k) {
    const FeatureRecord& f = (*binary.features)[k];
    const DirectFeature& e = expected[k];
    ASSERT_EQ(f.ID, e.id) << name << " feature " << k;
    EXPECT_EQ(f.left, e.left);
    EXPECT_EQ(f.top, e.top);
    EXPECT_EQ(f.right, e.right);
    EXPECT_EQ(f.bottom, e.bottom);
    ASSERT_EQ(f.chords.size(), e.chords.size()) << name;
    for (std::size_t c = 0; c < e.chords.size(); ++c) {
      EXPECT_EQ(f.chords[c].row, e.chords[c].row);
      EXPECT_EQ(f.chords[c].colStart, e.chords[c].colStart);
      EXPECT_EQ(f.chords[c].colEnd, e.chords[c].colEnd);
      EXPECT_EQ(f.chords[c].label, 0u);
    }
    EXPECT_EQ(f.numChords, static_cast<std::int32_t>(e.chords.size()));
    EXPECT_EQ(f.numBoundaryPoints, 2 * e.chords.size());
  }
}

BitmapImageClass Pattern(int width, int height, auto set) {
  BitmapImageClass image(width, height, 8);
  for (int r = 0; r < height; ++r)
    for (int x = 0; x < width; ++x) image.GetScanLine(r)[x] = set(x, r) ? 0 : 255;
  return image;
}

TEST(LabellingTest, SameFeaturesAsTheScanOrderProcedure) {
  std::mt19937 random(31337);
  for (int trial = 0; trial < 300; ++trial) {
    const int width = 1 + static_cast<int>(random() % 40);
    const int height = 1 + static_cast<int>(random() % 30);
    const int density = 20 + static_cast<int>(random() % 60);
    BitmapImageClass image = Pattern(
        width, height, [&](int, int) { return static_cast<int>(random() % 100) < density; });
    ExpectSameAsDirect(image, "random " + std::to_string(trial));
  }
}

TEST(LabellingTest, ShapesThatMergeLate) {
  // Combs joined at the bottom or top, nested U shapes, a spiral and
  // checkerboards make the look-back merge regions in every order.
  ExpectSameAsDirect(Pattern(31, 12, [](int x, int r) { return r == 11 || x % 2 == 0; }),
                     "comb joined last");
  ExpectSameAsDirect(Pattern(31, 12, [](int x, int r) { return r == 0 || x % 3 == 0; }),
                     "comb joined first");
  ExpectSameAsDirect(Pattern(20, 20, [](int x, int r) { return (x + r) % 2 == 0; }), "checker");
  ExpectSameAsDirect(Pattern(21, 20, [](int x, int r) { return (x / 2 + r / 2) % 2 == 0; }),
                     "checker 2x2");
  ExpectSameAsDirect(Pattern(30, 16,
                             [](int x, int r) {
                               const int ring = std::min({x, r, 29 - x, 15 - r});
                               return ring % 2 == 0 && !(r == 15 - ring && x > 14);
                             }),
                     "nested U");
  ExpectSameAsDirect(Binary({
                         "##########",
                         "#........#",
                         "#.######.#",
                         "#.#....#.#",
                         "#.#.##.#.#",
                         "#.#..#.#.#",
                         "#.####.#.#",
                         "#......#.#",
                         "########.#",
                         ".........#",
                     }),
                     "spiral");
  ExpectSameAsDirect(Pattern(1, 1, [](int, int) { return true; }), "one pixel");
}

TEST(LabellingTest, RunsFollowTheScan) {
  BinaryImageClass binary(Binary({"##.#", "...#", "####"}));
  const std::vector<Chord> runs = binary.FindChords();
  ASSERT_EQ(runs.size(), 4u);
  const int expected[4][4] = {{1, 0, 0, 1}, {2, 0, 3, 3}, {3, 1, 3, 3}, {4, 2, 0, 3}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(runs[i].label, static_cast<std::uint32_t>(expected[i][0]));
    EXPECT_EQ(runs[i].row, expected[i][1]);
    EXPECT_EQ(runs[i].colStart, expected[i][2]);
    EXPECT_EQ(runs[i].colEnd, expected[i][3]);
  }
}

TEST(LabellingTest, UShapeTakesTheLabelOfTheLastMerge) {
  // The right arm starts first (run 1); the left arm's run 2 starts a row
  // lower. The bottom run meets the right arm (label 1) first, nearest
  // first, then the left arm (label 2): the region ends with label 2.
  BitmapImageClass u = Binary({"...#", "#..#", "####"});
  BinaryImageClass binary(u);
  ASSERT_EQ(binary.ComputeFeatures(), 1);
  EXPECT_EQ((*binary.features)[0].ID, 2u);
  EXPECT_EQ((*binary.features)[0].numChords, 4);
  EXPECT_EQ(Direct(u)[0].id, 2u);
}

TEST(LabellingTest, TinyRegions) {
  struct Case {
    std::vector<std::string> rows;
    int features;
  };
  const Case cases[] = {
      {{"....", "...."}, 0},
      {{"....", ".#..", "...."}, 0},  // isolated pixel
      {{".#.", ".#.", ".#."}, 0},     // one column wide
      {{"##"}, 1},                    // a pair
      {{"#.", ".#"}, 0},              // diagonal singles
      {{"##.", "..#", "..#"}, 1},     // diagonal touch does not join
      {{"..#"}, 0},                   // last-column run of its own
      {{"...##"}, 1},
  };
  for (const auto& c : cases) {
    BinaryImageClass binary(Binary(c.rows));
    EXPECT_EQ(binary.ComputeFeatures(), c.features) << c.rows[0];
  }
  BinaryImageClass last(Binary({"#.#", "..#"}));
  const std::vector<Chord> runs = last.FindChords();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[1].colStart, 2);
  EXPECT_EQ(runs[1].colEnd, 2);
}

TEST(LabellingTest, ComputeFeaturesIsTracedWithItsCount) {
  BinaryImageClass binary(Binary({"##..##"}));
  ScopedTraceLog log;
  binary.ComputeFeatures();
  auto messages = log.Messages();
  ASSERT_GE(messages.size(), 2u);
  EXPECT_EQ(messages.front(), "entering BinaryImageClass::ComputeFeatures()...");
  EXPECT_EQ(messages.back(), "exiting  BinaryImageClass::ComputeFeatures(2)...");
}

TEST(LabellingTest, WorstCaseRunCountsAreHeld) {
  // Odd width, alternating pixels: ceil(w / 2) runs in every row, more than
  // w x h / 2 in all.
  BitmapImageClass stripes = Pattern(101, 7, [](int x, int) { return x % 2 == 0; });
  BinaryImageClass binary(stripes);
  EXPECT_EQ(binary.FindChords().size(), 51u * 7u);
  EXPECT_EQ(binary.ComputeFeatures(), 0);  // every column is one pixel wide
}

}  // namespace
