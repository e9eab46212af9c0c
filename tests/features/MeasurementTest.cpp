#include <gtest/gtest.h>

#include <cmath>

#include "BinaryImage.h"
#include "FeatureTestUtil.h"

using namespace testing_support;

namespace {

// The central moments as the measurement forms them, for checking.
struct Moments {
  float xx, yy, xy;
};
Moments CentralMoments(const FeatureRecord& f) {
  float sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  for (const Chord& c : f.chords)
    for (int x = c.colStart; x <= c.colEnd; ++x) {
      const int dx = x - f.left, dy = c.row - f.top;
      sx += dx;
      sy += dy;
      sxx += dx * dx;
      syy += dy * dy;
      sxy += dx * dy;
    }
  return {static_cast<float>(sxx - sx * sx / f.area), static_cast<float>(syy - sy * sy / f.area),
          static_cast<float>(sxy - sx * sy / f.area)};
}

const FeatureRecord& Only(BinaryImageClass& binary) {
  EXPECT_EQ(binary.ComputeFeatures(), 1);
  return (*binary.features)[0];
}

TEST(MeasurementTest, StaircaseAndItsMirror) {
  BinaryImageClass stairs(Binary({"##...", ".##..", "..##.", "...##"}));
  const FeatureRecord& f = Only(stairs);
  EXPECT_EQ(f.area, 8);
  EXPECT_EQ(f.width, 5);
  EXPECT_EQ(f.height, 4);
  EXPECT_DOUBLE_EQ(f.centroidX, f.left + 2.0);
  EXPECT_DOUBLE_EQ(f.centroidY, f.top + 1.5);
  const Moments m = CentralMoments(f);
  EXPECT_EQ(m.xx, 12);
  EXPECT_EQ(m.yy, 10);
  EXPECT_EQ(m.xy, 10);
  EXPECT_NEAR(f.orientation, 42.14, 0.005);
  EXPECT_DOUBLE_EQ(f.aspectRatio, 1.25);
  EXPECT_DOUBLE_EQ(f.centerX, 2.0);
  EXPECT_DOUBLE_EQ(f.centerY, 1.5);
  EXPECT_EQ(f.perimeter, 0);

  BinaryImageClass mirror(Binary({"...##", "..##.", ".##..", "##..."}));
  const FeatureRecord& g = Only(mirror);
  EXPECT_EQ(CentralMoments(g).xy, -10);
  EXPECT_NEAR(g.orientation, -42.14, 0.005);
}

TEST(MeasurementTest, BarsAndSquaresLieLevel) {
  struct Case {
    std::vector<std::string> rows;
    double area, aspect, centroidX, centroidY;
  };
  const Case cases[] = {
      {{".......", ".#####."}, 5, 5.0, 3.0, 1.0},
      {{"##", "##", "##", "##", "##"}, 10, 0.4, 0.5, 2.0},
      {{"###", "###", "###"}, 9, 1.0, 1.0, 1.0},
  };
  for (const auto& c : cases) {
    BinaryImageClass binary(Binary(c.rows));
    const FeatureRecord& f = Only(binary);
    EXPECT_EQ(f.area, c.area);
    EXPECT_DOUBLE_EQ(f.aspectRatio, c.aspect);
    EXPECT_DOUBLE_EQ(f.centroidX, c.centroidX);
    EXPECT_DOUBLE_EQ(f.centroidY, c.centroidY);
    EXPECT_EQ(f.orientation, 0.0);
    EXPECT_FALSE(std::signbit(f.orientation));
  }
  BinaryImageClass square(Binary({"###", "###", "###"}));
  const Moments m = CentralMoments(Only(square));
  EXPECT_EQ(m.xx, 6);
  EXPECT_EQ(m.yy, 6);
  EXPECT_EQ(m.xy, 0);
}

TEST(MeasurementTest, VerticalRegionPointsStraightDown) {
  // Mxy = 0 makes the angle 0 whatever the other moments say.
  BinaryImageClass tall(Binary({"##", "##", "##", "##", "##", "##", "##"}));
  EXPECT_EQ(Only(tall).orientation, 0.0);
  // A region leaning the other way: angle above 90 folds back.
  BinaryImageClass lean(Binary({"#...", "##..", ".##.", "..##", "...#"}));
  EXPECT_GT(Only(lean).orientation, 0);
  EXPECT_LT(Only(lean).orientation, 90);
}

TEST(MeasurementTest, LargeRegionsKeepSinglePrecisionSums) {
  // Sums past 2^24 round at every pixel, as single precision does.
  BitmapImageClass big(600, 400, 8);
  big.SetAllPixelsToValue(0);
  BinaryImageClass binary(big);
  const FeatureRecord& f = Only(binary);
  float sx = 0, sxx = 0;
  for (int r = 0; r < 400; ++r)
    for (int x = 0; x < 600; ++x) {
      sx = static_cast<float>(static_cast<double>(sx) + x);
      sxx = static_cast<float>(static_cast<double>(sxx) + static_cast<double>(x) * x);
    }
  EXPECT_EQ(f.area, 240000);
  EXPECT_DOUBLE_EQ(f.centroidX, static_cast<double>(static_cast<long double>(sx) / 240000.0L));
  EXPECT_NE(static_cast<double>(sxx), 400.0 * (599.0 * 600.0 * 1199.0 / 6.0));  // rounding shows
}

TEST(MeasurementTest, BoundaryPointsGoDownTheStartsAndBackUpTheEnds) {
  BinaryImageClass binary(Binary({".###", "##.."}));
  const FeatureRecord& f = Only(binary);
  ASSERT_EQ(f.boundaryPoints.size(), 4u);
  const int expected[4][2] = {{1, 0}, {0, 1}, {1, 1}, {3, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(f.boundaryPoints[i].x, expected[i][0]);
    EXPECT_EQ(f.boundaryPoints[i].y, expected[i][1]);
  }
}

TEST(MeasurementTest, MaskFromAFeatureReproducesItsPixels) {
  BitmapImageClass raster = Binary({
      "..........",
      "..####....",
      "...#####..",
      ".....#..##",
      "........##",
  });
  BinaryImageClass binary(raster);
  ASSERT_EQ(binary.ComputeFeatures(), 2);
  for (const FeatureRecord& f : *binary.features) {
    BinaryImageClass mask(f);
    EXPECT_EQ(mask.image.Bitmap.bmWidth, f.width);
    EXPECT_EQ(mask.image.Bitmap.bmHeight, f.height);
    for (int r = 0; r < f.height; ++r)
      for (int x = 0; x < f.width; ++x) {
        bool inFeature = false;
        for (const Chord& c : f.chords)
          inFeature |= c.row == f.top + r && c.colStart <= f.left + x && f.left + x <= c.colEnd;
        EXPECT_EQ(mask.image.GetScanLine(r)[x], inFeature ? 0 : 255) << x << "," << r;
        if (inFeature) {
          EXPECT_EQ(raster.GetScanLine(f.top + r)[f.left + x], 0);
        }
      }
    BinaryImageClass again(mask.image);
    ASSERT_EQ(again.ComputeFeatures(), 1);
    EXPECT_EQ((*again.features)[0].area, f.area);
  }
}

TEST(MeasurementTest, OversizedRastersYieldNoFeatures) {
  BitmapImageClass wide(40000, 1, 8);
  wide.SetAllPixelsToValue(0);
  BinaryImageClass binary(wide);
  EXPECT_EQ(binary.ComputeFeatures(), 0);
}

}  // namespace
