#include "DisplayColouring.h"

#include <gtest/gtest.h>

#include "ToolkitWrappers.h"

namespace {

std::vector<int> Rgb(const RgbQuad& q) {
  return {q.rgbRed, q.rgbGreen, q.rgbBlue, q.rgbReserved};
}

TEST(DisplayColouringTest, SingleHue) {
  RgbQuad table[256];
  BuildSingleHueTable(table, 0, 0xFFFFFF);
  EXPECT_EQ(Rgb(table[0]), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(Rgb(table[1]), (std::vector<int>{0, 0, 0, 0}));  // trunc(255/256)
  EXPECT_EQ(Rgb(table[128]), (std::vector<int>{127, 127, 127, 0}));
  EXPECT_EQ(Rgb(table[255]), (std::vector<int>{254, 254, 254, 0}));

  BuildSingleHueTable(table, 128, 0xFFFFFF);  // factors limited to 1
  EXPECT_EQ(Rgb(table[128]), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(Rgb(table[129]), (std::vector<int>{129, 129, 129, 0}));
  EXPECT_EQ(Rgb(table[255]), (std::vector<int>{255, 255, 255, 0}));

  BuildSingleHueTable(table, 10, 0x0000FF);  // pure red
  for (int i = 11; i < 256; ++i) {
    EXPECT_GT(table[i].rgbRed, 0) << i;
    EXPECT_EQ(table[i].rgbGreen, 0);
    EXPECT_EQ(table[i].rgbBlue, 0);
  }

  BuildSingleHueTable(table, 255, 0xFFFFFF);  // slider at the bottom: all black
  for (const RgbQuad& q : table) EXPECT_EQ(Rgb(q), (std::vector<int>{0, 0, 0, 0}));
}

TEST(DisplayColouringTest, FullSpectrumBands) {
  RgbQuad table[256];
  BuildFullSpectrumTable(table, 0, 255);  // g = 256 / 6 = 42.67
  EXPECT_EQ(Rgb(table[0]), (std::vector<int>{255, 0, 0, 0}));
  // Band 1 ends at g: entry 42 has s = 42 / g x 255 = 251.02.
  EXPECT_EQ(Rgb(table[42]), (std::vector<int>{255, 251, 0, 0}));
  EXPECT_EQ(table[43].rgbGreen, 255);  // band 2
  EXPECT_EQ(table[43].rgbBlue, 0);
  // 128 lies just below 3g = 128.000004: the end of band 3, s = 254.99998.
  EXPECT_EQ(Rgb(table[128]), (std::vector<int>{0, 255, 254, 0}));
  EXPECT_EQ(table[200].rgbBlue, 255);  // band 5
  EXPECT_EQ(Rgb(table[255]), (std::vector<int>{255, 255, 255, 0}));

  BuildFullSpectrumTable(table, 100, 100);  // e = t: white from t up
  EXPECT_EQ(Rgb(table[99]), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(Rgb(table[100]), (std::vector<int>{255, 255, 255, 0}));
  BuildFullSpectrumTable(table, 100, 40);  // e < t - 1: the width wraps, unused
  EXPECT_EQ(Rgb(table[99]), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(Rgb(table[100]), (std::vector<int>{255, 255, 255, 0}));
}

TEST(DisplayColouringTest, IndicatorAndRotation) {
  EXPECT_EQ(ThresholdIndicatorText(0), "100%");
  EXPECT_EQ(ThresholdIndicatorText(128), "49%");
  EXPECT_EQ(ThresholdIndicatorText(255), "0%");

  BitmapImageClass image(3, 2, 8);
  for (int r = 0; r < 2; ++r)
    for (int x = 0; x < 3; ++x) image.GetScanLine(r)[x] = static_cast<std::uint8_t>(r * 3 + x);
  BitmapImageClass original(image);
  Rotate180(image);
  EXPECT_EQ(image.GetScanLine(0)[0], 5);
  Rotate180(image);
  for (int r = 0; r < 2; ++r)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(image.GetScanLine(r)[x], original.GetScanLine(r)[x]);
}

TEST(DisplayColouringTest, DisplayShowsTheImageUprightThroughItsTable) {
  BitmapImageClass image(2, 2, 8);
  image.GetScanLine(0)[0] = 200;  // bottom left
  image.GetScanLine(1)[1] = 50;   // top right
  TBitmap display;
  ASSERT_TRUE(TBitmap_SetDimensions(&display, 2, 2, ToolkitPixelFormat::k24Bit));
  ApplyDisplayColors(&image, &display, false, 100, 0x00FF00);  // green above 100
  EXPECT_EQ(display.image.pixel(0, 1), qRgb(0, 200, 0));       // bottom row is the last scanline
  EXPECT_EQ(display.image.pixel(1, 0), qRgb(0, 0, 0));         // 50 is below the cutoff
  ApplyDisplayColors(nullptr, &display, true, 0, 0);           // no image: nothing happens
  EXPECT_EQ(display.image.pixel(0, 1), qRgb(0, 200, 0));
}

}  // namespace
