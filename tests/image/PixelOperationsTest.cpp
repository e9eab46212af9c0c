#include <gtest/gtest.h>

#include <cstring>

#include "BitmapImage.h"
#include "ImageTestUtil.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

std::vector<int> Pixel(const BitmapImageClass& image, int x, int row) {
  const std::uint8_t* p = image.GetScanLine(row) + x * image.BytesPerPixel;
  return std::vector<int>(p, p + image.BytesPerPixel);
}

TEST(ThresholdTest, BandIsInclusiveAndCounted) {
  BitmapImageClass image = GreyImage({{99, 100, 200, 201}});
  ScopedTraceLog log;
  EXPECT_EQ(image.ThresholdGRAY(100, 200), 2);
  EXPECT_EQ(RowBytes(image, 0), (std::vector<int>{255, 0, 0, 255}));
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{
                                "entering BitmapImageClass::ThresholdGRAY(100, 200)...",
                                "exiting  BitmapImageClass::ThresholdGRAY(2)...",
                            }));
}

TEST(ThresholdTest, ColourPixelsUseTheSinglePrecisionGrey) {
  BitmapImageClass image(2, 1, 32);
  std::memcpy(image.GetScanLine(0), "\x96\x96\x96\x07\x10\x10\x10\x09", 8);  // 150 grey, 16 grey
  EXPECT_EQ(image.ThresholdGRAY(150, 200), 1);
  EXPECT_EQ(Pixel(image, 0, 0), (std::vector<int>{0, 0, 0, 7}));
  EXPECT_EQ(Pixel(image, 1, 0), (std::vector<int>{255, 255, 255, 9}));

  BitmapImageClass grey(1, 1, 24);
  std::memset(grey.GetScanLine(0), 150, 3);
  grey.SetBitsPerPixel(8);
  EXPECT_EQ(grey.GetScanLine(0)[0], 149);  // the truncated grey is one lower
}

TEST(ThresholdTest, PercentileCutoff) {
  BitmapImageClass image(100, 100, 8);
  image.SetAllPixelsToValue(100);
  for (int i = 0; i < 5; ++i) image.GetScanLine(i)[i] = 255;
  for (int i = 0; i < 10; ++i) image.GetScanLine(50)[i] = 254;
  EXPECT_EQ(image.GetPercentileGRAY(0.001f), 255);
  EXPECT_EQ(image.ThresholdPercentileGRAY(0.001f), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(image.GetScanLine(i)[i], 0);
  EXPECT_EQ(image.GetScanLine(50)[0], 255);

  BitmapImageClass spread(100, 100, 8);
  spread.SetAllPixelsToValue(0);
  for (int i = 0; i < 20; ++i) spread.GetScanLine(i)[0] = 200;
  EXPECT_EQ(spread.GetPercentileGRAY(0.001f), 201);  // fewer than 11 at or above 201
  EXPECT_EQ(spread.GetPercentileGRAY(0.0f), 255);
  EXPECT_EQ(spread.GetPercentileGRAY(2.0f), 0);  // never reached
}

TEST(RangeTest, StretchCases) {
  struct Case {
    std::vector<int> bytes;
    int low, high;
    bool nonZero;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {{10, 105, 200}, 0, 255, false, {0, 127, 255}},  {{0, 3, 7}, 0, 255, false, {0, 109, 254}},
      {{10, 100, 200}, 50, 150, false, {0, 127, 255}}, {{42, 42, 42}, 0, 255, false, {0, 0, 0}},
      {{0, 0, 0}, 0, 255, true, {255, 255, 255}},      {{0, 20, 220}, 0, 255, true, {0, 0, 255}},
  };
  for (const auto& c : cases) {
    BitmapImageClass image(3, 1, 8);
    for (int x = 0; x < 3; ++x) image.GetScanLine(0)[x] = static_cast<std::uint8_t>(c.bytes[x]);
    if (c.nonZero)
      image.RangeNonZeroGRAY(static_cast<std::uint8_t>(c.low), static_cast<std::uint8_t>(c.high));
    else
      image.RangeGRAY(static_cast<std::uint8_t>(c.low), static_cast<std::uint8_t>(c.high));
    EXPECT_EQ(RowBytes(image, 0), c.expected) << c.bytes[1];
  }
}

TEST(RangeTest, QueriesOnEmptyAndColourImages) {
  BitmapImageClass zeros(4, 2, 8);
  std::uint8_t lo = 1, hi = 1;
  zeros.GetRangeNonZeroGRAY(lo, hi);
  EXPECT_EQ(lo, 255);
  EXPECT_EQ(hi, 0);
  zeros.GetRangeGRAY(lo, hi);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 0);

  BitmapImageClass colour(2, 1, 24);
  std::memcpy(colour.GetScanLine(0), "\x0a\x14\x1e\xff\xff\xff", 6);
  colour.GetRangeNonZeroGRAY(lo, hi);  // colour pixels: zero ones count too
  EXPECT_EQ(lo, 21);
  EXPECT_EQ(hi, 255);  // white held in single precision rounds to 255

  BitmapImageClass deep(2, 2, 16);
  lo = hi = 9;
  deep.GetRangeGRAY(lo, hi);
  EXPECT_EQ(lo, 9);  // not written
  EXPECT_EQ(hi, 9);
}

TEST(FillTest, ValuesColoursInversionAndAddition) {
  BitmapImageClass image(3, 1, 8);  // 4-byte rows: one padding byte
  image.SetAllPixelsToValue(0x1FE);
  EXPECT_EQ(image.GetScanLine(0)[3], 0xFE);
  image.Invert();
  EXPECT_EQ(RowBytes(image, 0), (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(image.GetScanLine(0)[3], 1);  // padding inverted too
  image.SetAllPixelsToColor(kWhite);
  EXPECT_EQ(RowBytes(image, 0), (std::vector<int>{254, 254, 254}));

  BitmapImageClass adds = GreyImage({{10, 250}});
  adds.Add(-20);
  EXPECT_EQ(RowBytes(adds, 0), (std::vector<int>{0, 230}));
  BitmapImageClass more = GreyImage({{10, 250}});
  more.Add(20);
  EXPECT_EQ(RowBytes(more, 0), (std::vector<int>{30, 255}));

  BitmapImageClass colour(1, 1, 32);
  colour.GetScanLine(0)[3] = 9;
  colour.SetAllPixelsToColor(0x0A141E);  // red 1E, green 14, blue 0A
  EXPECT_EQ(Pixel(colour, 0, 0), (std::vector<int>{0x0A, 0x14, 0x1E, 9}));
  colour.Grayscale();
  EXPECT_EQ(Pixel(colour, 0, 0), (std::vector<int>{21, 21, 21, 9}));
}

TEST(DrawTest, LinesFollowTheSinglePrecisionSlope) {
  struct Case {
    int x1, y1, x2, y2;
    std::vector<std::pair<int, int>> points;
  };
  const Case cases[] = {
      {0, 0, 4, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}},
      {0, 0, 1, 3, {{0, 0}, {0, 1}, {0, 2}, {1, 3}}},
      {2, 1, 2, 3, {{2, 1}, {2, 2}, {2, 3}}},
      {5, 2, 3, 2, {{3, 2}, {4, 2}, {5, 2}}},
      {-3, 0, 20, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}}},
  };
  for (const auto& c : cases) {
    BitmapImageClass image(8, 5, 8);
    image.DrawLine(c.x1, c.y1, c.x2, c.y2, kWhite);
    std::vector<std::pair<int, int>> drawn;
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 8; ++x)
        if (image.GetScanLine(y)[x] != 0) drawn.push_back({x, y});
    std::sort(drawn.begin(), drawn.end(), [](auto a, auto b) {
      return std::tie(a.second, a.first) < std::tie(b.second, b.first);
    });
    EXPECT_EQ(drawn, c.points) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
  }
}

TEST(DrawTest, PointsOutsideAreClipped) {
  BitmapImageClass image(3, 4, 24);  // 9 pixel bytes and 3 of padding a row
  image.DrawPoint(-1, 0, kWhite);
  image.DrawPoint(3, 0, kWhite);
  image.DrawPoint(0, 4, kWhite);
  image.DrawLine(-1000000, -5, 2000000000, 3, kWhite);  // steep clipping, no overflow
  image.DrawPoint(1, 2, 0x0000FF);
  EXPECT_EQ(Pixel(image, 1, 2), (std::vector<int>{0, 0, 255}));
  for (int y = 0; y < 4; ++y)
    for (int b = 9; b < 12; ++b) EXPECT_EQ(image.GetScanLine(y)[b], 0);  // padding untouched
}

TEST(OverlayTest, OverlayFitsOrDoesNothing) {
  BitmapImageClass target(100, 3, 8);
  BitmapImageClass source(10, 3, 8);
  source.SetAllPixelsToValue(9);
  target.OverlayNonZero(source, 95, 0);
  EXPECT_EQ(target.GetScanLine(0)[99], 0);

  source.GetScanLine(1)[2] = 0;
  target.SetAllPixelsToValue(4);
  target.OverlayNonZero(source, 90, 0);
  EXPECT_EQ(target.GetScanLine(1)[92], 4);  // zero bytes leave the target
  EXPECT_EQ(target.GetScanLine(1)[93], 9);
  EXPECT_EQ(target.GetScanLine(1)[89], 4);

  BitmapImageClass colour(1, 1, 24);
  std::memcpy(colour.GetScanLine(0), "\x0a\x14\x1e", 3);
  BitmapImageClass grey(2, 1, 8);
  grey.OverlayNonZero(colour, 1, 0);
  EXPECT_EQ(RowBytes(grey, 0), (std::vector<int>{0, 21}));
  BitmapImageClass wide(2, 1, 32);
  wide.OverlayNonZero(grey, 0, 0);
  EXPECT_EQ(Pixel(wide, 1, 0), (std::vector<int>{21, 21, 21, 0}));
}

TEST(OverlayTest, MergeAddsWithSaturationAndClips) {
  BitmapImageClass target = GreyImage({{100, 0, 50}});
  BitmapImageClass source = GreyImage({{200, 200, 0, 7}});
  target.OverlayNonZeroMerge(source, 0, 0);
  EXPECT_EQ(RowBytes(target, 0), (std::vector<int>{255, 200, 50}));
  target.OverlayNonZeroMerge(source, -3, 0);  // only the last source byte lands
  EXPECT_EQ(RowBytes(target, 0), (std::vector<int>{255, 200, 50}));
  target.OverlayNonZeroMerge(GreyImage({{1, 1}}), -1, 0);
  EXPECT_EQ(RowBytes(target, 0), (std::vector<int>{255, 200, 50}));
  target.OverlayNonZeroMerge(GreyImage({{1, 1}}), 2, 0);
  EXPECT_EQ(RowBytes(target, 0), (std::vector<int>{255, 200, 51}));
  target.OverlayNonZeroMerge(GreyImage({{1}}), 0, 5);
  EXPECT_EQ(RowBytes(target, 0), (std::vector<int>{255, 200, 51}));
}

TEST(OverlayTest, SuppressOutsideRange) {
  BitmapImageClass image = GreyImage({{0, 59, 60, 200}});
  image.SuppressOutsideRangeGRAY(0, 255);
  EXPECT_EQ(RowBytes(image, 0), (std::vector<int>{0, 59, 60, 200}));
  image.SuppressOutsideRangeGRAY(60, 255);
  EXPECT_EQ(RowBytes(image, 0), (std::vector<int>{0, 0, 60, 200}));
  BitmapImageClass dark = GreyImage({{10, 50, 90}});
  dark.SuppressOutsideRangeGRAY(0, 40);  // a dark band: outside becomes white
  EXPECT_EQ(RowBytes(dark, 0), (std::vector<int>{10, 255, 255}));

  BitmapImageClass mismatched(3, 2, 8);
  BitmapImageClass before(mismatched);
  mismatched.SetValueWhereNonZero(GreyImage({{1, 1, 1}}), 9);  // wrong height: refused
  EXPECT_TRUE(SamePixels(mismatched, before));
}

TEST(HistogramTest, CountsPixelsNotPadding) {
  BitmapImageClass image(5, 1, 24);
  std::memset(image.GetScanLine(0), 255, 16);
  image.ComputeHistogram();
  for (const std::int32_t* histogram :
       {image.HistogramGray, image.HistogramRed, image.HistogramGreen, image.HistogramBlue}) {
    int total = 0;
    for (int v = 0; v < 256; ++v) total += histogram[v];
    EXPECT_EQ(total, 5);
  }
  EXPECT_EQ(image.HistogramGray[254], 5);
  EXPECT_EQ(image.HistogramRed[255], 5);

  BitmapImageClass grey = GreyImage({{1, 2, 2, 3, 3, 3, 7}});
  grey.ComputeHistogram();
  EXPECT_EQ(grey.HistogramGray[3], 3);
  EXPECT_EQ(grey.HistogramBlue[2], 2);
  EXPECT_EQ(grey.HistogramRed[7], 1);
}

TEST(DepthTest, SixteenBitImagesAreLeftByGreyOperations) {
  BitmapImageClass image(3, 2, 16);
  image.SetAllPixelsToValue(77);
  BitmapImageClass before(image);
  image.Grayscale();
  image.SetAllPixelsToColor(kWhite);
  image.DrawLine(0, 0, 2, 1, kWhite);
  image.RangeGRAY(0, 255);
  EXPECT_EQ(image.ThresholdGRAY(0, 255), 0);
  image.BlurGRAY(1);
  image.ComputeHistogram();
  EXPECT_EQ(image.HistogramGray[77], 0);
  EXPECT_TRUE(SamePixels(image, before));
}

}  // namespace
