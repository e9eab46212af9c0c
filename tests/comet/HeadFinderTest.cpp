#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <random>

#include "BinaryImage.h"
#include "CometMetrics.h"
#include "CometTestUtil.h"

using namespace testing_support;

namespace {

// The descending search as written: every level labelled afresh.
std::int32_t PlainDescending(const BitmapImageClass& blurred, std::int32_t start,
                             std::int32_t half) {
  std::int32_t head = start;
  for (int level = 254; level >= 1; --level) {
    BinaryImageClass binary(blurred);
    binary.image.ThresholdGRAY(static_cast<std::uint8_t>(level), 255);
    if (binary.ComputeFeatures() > 0)
      head = static_cast<std::int32_t>(binary.GetFeatureLeftmost()->centroidX);
    if (head <= half) break;
  }
  return head;
}

std::optional<std::int32_t> Leftmost(BinaryImageClass& binary) {
  if (binary.ComputeFeatures() == 0) return std::nullopt;
  return static_cast<std::int32_t>(binary.GetFeatureLeftmost()->centroidX);
}

// The whole head finder as written, from a grey comet image.
std::int32_t PlainHeadFinder(const BitmapImageClass& image) {
  const int width = image.Bitmap.bmWidth, height = image.Bitmap.bmHeight;
  std::vector<std::uint32_t> sums(static_cast<std::size_t>(width), 0);
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c) sums[c] += image.GetScanLine(r)[c];
  const std::int32_t start =
      static_cast<std::int32_t>(std::max_element(sums.begin(), sums.end()) - sums.begin());
  BitmapImageClass blurred(image);
  for (int i = 0; i < 5; ++i) blurred.Blur5x5();
  std::int32_t head = start;
  if (static_cast<float>(width) / static_cast<float>(height) < 1.1) {
    BinaryImageClass binary(blurred);
    binary.image.ThresholdGRAY(127, 255);
    head = Leftmost(binary).value_or(start);
  } else if (start > static_cast<std::int32_t>(width * 0.5)) {
    head = PlainDescending(blurred, start, static_cast<std::int32_t>(width * 0.5));
  } else {
    BinaryImageClass binary(blurred);
    binary.image.ThresholdPercentileGRAY(0.001f);
    const std::int32_t candidate = Leftmost(binary).value_or(start);
    if (std::abs(candidate - start) > 2) head = candidate;
  }
  return std::max(head, 2);
}

std::int32_t FindHead(CometImageClass& comet) {
  CometRecord record;
  return Zelcor_ComputeMetrics(comet, record, -1, 1000, 1000);
}

// A smooth field of a few bright blobs, as a blurred comet looks.
BitmapImageClass SmoothField(int width, int height, std::mt19937& random) {
  BitmapImageClass image(width, height, 8);
  std::vector<std::array<double, 4>> blobs;
  const int n = 1 + static_cast<int>(random() % 4);
  for (int b = 0; b < n; ++b)
    blobs.push_back({static_cast<double>(random() % width), static_cast<double>(random() % height),
                     3.0 + random() % 12, 60.0 + random() % 196});
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      double v = 0;
      for (const auto& b : blobs) {
        const double d2 = ((x - b[0]) * (x - b[0]) + (y - b[1]) * (y - b[1])) / (b[2] * b[2]);
        v = std::max(v, b[3] * std::exp(-d2));
      }
      image.GetScanLine(y)[x] = static_cast<std::uint8_t>(std::min(v, 255.0));
    }
  return image;
}

TEST(HeadFinderTest, DescendingSearchMatchesLabellingEveryLevel) {
  std::mt19937 random(77);
  for (int trial = 0; trial < 60; ++trial) {
    const int width = 20 + static_cast<int>(random() % 60);
    const int height = 8 + static_cast<int>(random() % 30);
    BitmapImageClass field = SmoothField(width, height, random);
    const std::int32_t half = width / 2;
    const std::int32_t start = half + 1 + static_cast<std::int32_t>(random() % (width - half - 1));
    EXPECT_EQ(DescendingHeadSearch(field, start, half), PlainDescending(field, start, half))
        << "trial " << trial;
  }
}

TEST(HeadFinderTest, DescendingSearchBreaksTiesAsLabellingDoes) {
  // Two regions begin in the same column: which is leftmost depends on
  // their labels. A third, brighter one on the right keeps the search going.
  for (int lower : {0, 1}) {
    BitmapImageClass field(40, 12, 8);
    field.SetAllPixelsToValue(0);
    for (int y = 1; y < 4; ++y)
      for (int x = 5; x < 9 + 4 * lower; ++x) field.GetScanLine(y)[x] = 150;
    for (int y = 7; y < 11; ++y)
      for (int x = 5; x < 13 - 4 * lower; ++x) field.GetScanLine(y)[x] = 150;
    for (int y = 4; y < 8; ++y)
      for (int x = 30; x < 36; ++x) field.GetScanLine(y)[x] = 250;
    EXPECT_EQ(DescendingHeadSearch(field, 33, 20), PlainDescending(field, 33, 20));
  }
}

TEST(HeadFinderTest, LargeRegionsUseTheRoundedSum) {
  // The bright region on the right keeps the search going until the whole
  // background joins it as one region, whose offsets sum far past 2^24 so
  // that its single-precision running sum rounds.
  BitmapImageClass field(400, 250, 8);
  for (int y = 0; y < 250; ++y)
    for (int x = 0; x < 400; ++x)
      field.GetScanLine(y)[x] = static_cast<std::uint8_t>(x > 150 ? 250 : 40);
  BinaryImageClass all(field);
  all.image.ThresholdGRAY(40, 255);
  ASSERT_EQ(all.ComputeFeatures(), 1);
  const FeatureRecord& f = (*all.features)[0];
  double exact = 0;
  for (int x = 0; x < 400; ++x) exact += 250.0 * x;
  ASSERT_GT(exact, 16777216.0);
  EXPECT_NE(f.centroidX, exact / f.area);  // the rounding shows
  EXPECT_EQ(DescendingHeadSearch(field, 350, 120), PlainDescending(field, 350, 120));
  EXPECT_EQ(DescendingHeadSearch(field, 350, 120), static_cast<std::int32_t>(f.centroidX));
}

TEST(HeadFinderTest, EveryBranchMatchesTheWrittenProcedure) {
  struct Case {
    const char* name;
    int width, height;
    double headX, radius, tail, headLevel, tailLevel;
  };
  const Case cases[] = {
      {"round", 40, 40, 14, 7, 15, 230, 80},
      {"round, dim", 36, 34, 10, 6, 12, 120, 60},
      {"percentile", 120, 60, 25, 9, 80, 240, 120},
      {"bright tail", 140, 50, 20, 6, 110, 150, 230},
      {"bright tail, long", 200, 60, 30, 8, 160, 160, 250},
      {"head at the edge", 80, 30, 0, 5, 60, 250, 100},
  };
  for (const auto& c : cases) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
      CometImageClass comet(c.width, c.height);
      PaintComet(*comet.Image, c.headX, c.radius, c.tail, c.headLevel, c.tailLevel, seed);
      BitmapImageClass original(*comet.Image);
      EXPECT_EQ(FindHead(comet), PlainHeadFinder(original)) << c.name << " " << seed;
    }
  }
}

TEST(HeadFinderTest, BrightTailStillFindsTheHead) {
  CometImageClass comet(140, 50);
  PaintComet(*comet.Image, 20, 6, 110, 150, 230, 9);
  const std::int32_t head = FindHead(comet);
  EXPECT_LE(head, 70);
  EXPECT_NEAR(head, 20, 6);
}

TEST(HeadFinderTest, HeadIsAtLeastColumnTwo) {
  CometImageClass comet(60, 20);
  PaintComet(*comet.Image, 0, 4, 40, 250, 60, 2);
  EXPECT_EQ(FindHead(comet), 2);
}

TEST(HeadFinderTest, PercentileCandidateCloseToTheBrightestColumnKeepsIt) {
  // A single bright column pair: the candidate lies within 2 of the start.
  CometImageClass comet(60, 20);
  comet.Image->SetAllPixelsToValue(0);
  for (int y = 5; y < 15; ++y)
    for (int x = 10; x < 40; ++x)
      comet.Image->GetScanLine(y)[x] = static_cast<std::uint8_t>(x == 12 ? 250 : 60);
  BitmapImageClass original(*comet.Image);
  EXPECT_EQ(FindHead(comet), PlainHeadFinder(original));
  EXPECT_EQ(comet.ColumnSum[12], 2500u);
}

}  // namespace
