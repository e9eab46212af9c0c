#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "BinaryImage.h"
#include "FeatureTestUtil.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

TEST(QueriesTest, IndexErrorsAreLogged) {
  BinaryImageClass empty(Binary({"....", "...."}));
  ScopedTraceLog log;
  EXPECT_EQ(empty.GetFeature(0), nullptr);
  auto messages = log.Messages();
  ASSERT_GE(messages.size(), 4u);
  EXPECT_EQ(messages[messages.size() - 3], "ERROR: Index out of range!!!");
  EXPECT_EQ(messages[messages.size() - 2], "WARNING - No features in this image!!!");
  EXPECT_EQ(messages.back(), "exiting  BinaryImageClass::GetFeature(FAILURE)...");

  BinaryImageClass two(Binary({"##.##"}));
  ScopedTraceLog second;
  EXPECT_NE(two.GetFeature(1), nullptr);
  EXPECT_EQ(second.Messages().back(), "exiting  BinaryImageClass::GetFeature(1 of 2)...");
  EXPECT_EQ(two.GetFeature(2), nullptr);
  EXPECT_EQ(two.GetFeature(-1), nullptr);
  auto lines = second.Messages();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "ERROR: Index out of range!!!"), 2);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "WARNING - No features in this image!!!"), 0);
}

TEST(QueriesTest, FeatureEdgesAreRemoved) {
  struct Case {
    std::vector<std::string> rows;
    int remaining;
  };
  const Case cases[] = {
      {{"......", ".##...", "......", "......"}, 1},  // inside: stays
      {{"##....", "......", "......", "......"}, 0},  // first row and column
      {{"......", "....##", "......", "......"}, 0},  // last column
      {{"......", "......", "......", "..##.."}, 0},  // last row
      {{"......", "##....", "......", "......"}, 0},  // first column
      {{".##...", "......", "......", "......"}, 0},  // first row
  };
  for (const auto& c : cases) {
    BinaryImageClass binary(Binary(c.rows));
    binary.RemoveFeaturesOnEdge();
    EXPECT_EQ(binary.numFeatures, c.remaining) << c.rows[0] << "|" << c.rows[3];
    int set = 0;
    for (int r = 0; r < 4; ++r)
      for (int x = 0; x < 6; ++x) set += binary.image.GetScanLine(r)[x] == 0;
    EXPECT_EQ(set, 2 * c.remaining);
  }
}

TEST(QueriesTest, IsolatedPixelsVanishExceptAtTheBorder) {
  BinaryImageClass binary(Binary({
      "#.....",
      "..#...",
      "....##",
      "......",
      "...#..",
  }));
  binary.RemoveIsolatedPixels();
  EXPECT_EQ(binary.image.GetScanLine(0)[0], 0);    // outer row: kept
  EXPECT_EQ(binary.image.GetScanLine(1)[2], 255);  // isolated: cleared
  EXPECT_EQ(binary.image.GetScanLine(2)[4], 0);    // has a neighbour
  EXPECT_EQ(binary.image.GetScanLine(4)[3], 0);    // outer row: kept
}

TEST(QueriesTest, PixelLookUpFindsTheRunNotTheBox) {
  BitmapImageClass ring = Binary({
      "......",
      ".####.",
      ".#..#.",
      ".####.",
      "......",
  });
  BinaryImageClass binary(ring);
  EXPECT_EQ(binary.GetFeature(2, 2), nullptr);  // the hole
  const FeatureRecord* f = binary.GetFeature(4, 2);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->area, 10);
  EXPECT_EQ(binary.GetFeature(0, 0), nullptr);
}

TEST(QueriesTest, LeftmostTieGoesToTheLowerIndex) {
  BinaryImageClass binary(Binary({
      ".##...",
      "......",
      ".##...",
      "....##",
  }));
  const FeatureRecord* f = binary.GetFeatureLeftmost();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f, binary.GetFeature(0));
  BinaryImageClass none(Binary({"...."}));
  EXPECT_EQ(none.GetFeatureLeftmost(), nullptr);
}

TEST(QueriesTest, ColouringPaintsTheFeaturesRuns) {
  BinaryImageClass binary(Binary({"##..", ".###"}));
  binary.ColorFeature(0, 0xFFFFFF);
  EXPECT_EQ(binary.image.GetScanLine(0)[0], 254);  // white's grey value
  EXPECT_EQ(binary.image.GetScanLine(1)[3], 254);
  EXPECT_EQ(binary.numFeatures, 1);  // the list stays until recomputed
  binary.ColorFeature(5, 0);         // no such feature: nothing
  EXPECT_EQ(binary.ComputeFeatures(), 0);
}

// Clearing pixel by pixel, left to right and row by row, each pixel seeing
// the ones cleared before it.
void ClearIsolatedOneByOne(BitmapImageClass& image) {
  const int width = image.Bitmap.bmWidth, height = image.Bitmap.bmHeight;
  for (int r = 1; r + 1 < height; ++r)
    for (int x = 1; x + 1 < width; ++x) {
      std::uint8_t& p = image.GetScanLine(r)[x];
      bool surrounded = true;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if (dx != 0 || dy != 0) surrounded &= image.GetScanLine(r + dy)[x + dx] != 0;
      if (p != 255 && surrounded) p = 255;
    }
}

// Two-level rows are cleared at once, others pixel by pixel: both as the
// plain procedure clears them, on sparse and dense rasters, with and without
// levels between 0 and 255.
TEST(QueriesTest, IsolatedPixelsClearAsOneByOne) {
  std::mt19937 random(5);
  for (const int percentSet : {5, 20, 50})
    for (const bool between : {false, true}) {
      BitmapImageClass image(67, 41, 8);
      for (int r = 0; r < 41; ++r)
        for (int x = 0; x < 67; ++x) {
          const bool set = static_cast<int>(random() % 100) < percentSet;
          std::uint8_t v = set ? 0 : 255;
          if (between && random() % 40 == 0) v = static_cast<std::uint8_t>(1 + random() % 254);
          image.GetScanLine(r)[x] = v;
        }
      BitmapImageClass expected(image);
      ClearIsolatedOneByOne(expected);
      BinaryImageClass binary(image);
      binary.RemoveIsolatedPixels();
      for (int r = 0; r < 41; ++r)
        ASSERT_EQ(std::memcmp(binary.image.GetScanLine(r), expected.GetScanLine(r), 67), 0)
            << percentSet << "% set, levels between: " << between << ", row " << r;
    }
}

// Untraced, the runs are painted straight into the rows; traced, point by
// point as the trace shows it: the pixels are the same.
TEST(QueriesTest, ColouringAlikeTracedOrNot) {
  std::mt19937 random(11);
  BitmapImageClass noise(53, 31, 8);
  for (int r = 0; r < 31; ++r)
    for (int x = 0; x < 53; ++x) noise.GetScanLine(r)[x] = random() % 3 == 0 ? 255 : 0;
  for (const std::uint32_t colour : {0xFFFFFFu, 0x3366CCu, 0u}) {
    BinaryImageClass traced(noise), untraced(noise);
    ASSERT_GT(untraced.ComputeFeatures(), 3);
    for (std::int32_t i = 0; i < untraced.numFeatures; i += 2) untraced.ColorFeature(i, colour);
    {
      ScopedTraceLog log;
      traced.ComputeFeatures();
      for (std::int32_t i = 0; i < traced.numFeatures; i += 2) traced.ColorFeature(i, colour);
      const auto lines = log.Messages();
      EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                             [](const std::string& l) {
                               return l.starts_with("entering BitmapImageClass::DrawPoint(");
                             }),
                lines.end());
    }
    for (int r = 0; r < 31; ++r)
      ASSERT_EQ(std::memcmp(traced.image.GetScanLine(r), untraced.image.GetScanLine(r), 53), 0)
          << "colour " << colour << " row " << r;
  }
}

}  // namespace
