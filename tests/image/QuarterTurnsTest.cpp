// Quarter turns of the raster and 16-bit samples made 8-bit.
#include <gtest/gtest.h>

#include <vector>

#include "QuarterTurns.h"
#include "SampleScaling.h"

namespace {

// A 3 x 2 picture (rows from the top) of the given depth, pixel (x, y)
// holding 10 y + x in each of its bytes.
BitmapImageClass Numbered(int bits) {
  BitmapImageClass image(3, 2, static_cast<std::int16_t>(bits));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      for (int k = 0; k < image.BytesPerPixel; ++k)
        image.GetScanLine(1 - y)[x * image.BytesPerPixel + k] =
            static_cast<std::uint8_t>(10 * y + x);
  return image;
}

// The picture's rows from the top, first byte of each pixel.
std::vector<std::vector<int>> Rows(const BitmapImageClass& image) {
  std::vector<std::vector<int>> rows;
  for (int y = 0; y < image.Bitmap.bmHeight; ++y) {
    rows.emplace_back();
    for (int x = 0; x < image.Bitmap.bmWidth; ++x)
      rows.back().push_back(
          image.GetScanLine(image.Bitmap.bmHeight - 1 - y)[x * image.BytesPerPixel]);
  }
  return rows;
}

using Picture = std::vector<std::vector<int>>;

TEST(QuarterTurnsTest, TurnsCounterClockwiseByQuarters) {
  const Picture upright = {{0, 1, 2}, {10, 11, 12}};
  const Picture left = {{2, 12}, {1, 11}, {0, 10}};  // the top row becomes the left column
  const Picture half = {{12, 11, 10}, {2, 1, 0}};
  const Picture right = {{10, 0}, {11, 1}, {12, 2}};
  const struct {
    int degrees;
    Picture picture;
  } cases[] = {{0, upright},   {90, left},   {180, half}, {270, right},
               {360, upright}, {-90, right}, {450, left}};
  for (int bits : {8, 24, 32})
    for (const auto& c : cases) {
      BitmapImageClass image = Numbered(bits);
      image.bmInfo.CLUT[7].rgbRed = 99;
      ASSERT_TRUE(RotateCounterClockwise(image, c.degrees)) << c.degrees;
      EXPECT_EQ(Rows(image), c.picture) << bits << " bits, " << c.degrees;
      EXPECT_EQ(image.Bitmap.bmBitsPixel, bits);
      EXPECT_EQ(image.bmInfo.CLUT[7].rgbRed, 99);  // the colour table stays
    }
  BitmapImageClass image = Numbered(8);
  EXPECT_FALSE(RotateCounterClockwise(image, 45));
  EXPECT_EQ(Rows(image), upright);
  ASSERT_TRUE(RotateCounterClockwise(image, 90));
  ASSERT_TRUE(RotateCounterClockwise(image, 90));
  EXPECT_EQ(Rows(image), half);  // two quarters make the half turn
}

TEST(SampleScalingTest, SignificantBitsFromTheFileOrTheLargestSample) {
  const struct {
    std::uint16_t largest;
    int fileBits;
    int bits;
  } cases[] = {
      {4095, 0, 12},   {4096, 0, 13},  {65535, 0, 16}, {200, 0, 8},
      {0, 0, 8},       {1000, 12, 12},  // a dim 12-bit picture keeps its camera's scale
      {5000, 12, 13},                   // samples beyond the file's figure: it is not believed
      {65535, 12, 16},                  // samples scaled up to 16 bits as PNG asks
      {100, 4, 8},     {100, 17, 8},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SignificantBitsOf(c.largest, c.fileBits), c.bits) << c.largest << " " << c.fileBits;
  const std::uint16_t samples[] = {0, 15, 16, 4095, 65535};
  std::uint8_t levels[5];
  ScaleSamples(samples, levels, 5, 12);
  EXPECT_EQ(std::vector<int>(levels, levels + 5), (std::vector<int>{0, 0, 1, 255, 255}));
  ScaleSamples(samples, levels, 5, 16);
  EXPECT_EQ(std::vector<int>(levels, levels + 5), (std::vector<int>{0, 0, 0, 15, 255}));
  EXPECT_EQ(SampleScalingText(12, 12, 900),
            "16-bit samples scaled by 1/16 (12 significant bits, stated by the file)");
  EXPECT_EQ(SampleScalingText(10, 0, 900),
            "16-bit samples scaled by 1/4 (10 significant bits, from the largest sample 900)");
}

}  // namespace
