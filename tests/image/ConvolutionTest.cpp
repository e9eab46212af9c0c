#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

#include "BitmapImage.h"
#include "ImageTestUtil.h"
#include "KernelTables.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

// The convolution written out plainly: every output byte from the original
// image, neighbours clamped to the border, the sum of exact products rounded
// to single precision after every addition (evaluated in extended precision
// here), divided in single precision, clamped and truncated.
BitmapImageClass Reference(const BitmapImageClass& source, const float* w, int r, bool plusI,
                           bool divide, float divisor) {
  BitmapImageClass out(source);
  const int q = 2 * r + 1, bytes = source.BytesPerPixel;
  const int width = source.Bitmap.bmWidth, height = source.Bitmap.bmHeight;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int ch = 0; ch < bytes; ++ch) {
        float acc = 0;
        for (int o = 0; o < q; ++o) {
          const int row = std::clamp(y - r + o, 0, height - 1);
          for (int i = -r; i <= r; ++i) {
            const int column = std::clamp(plusI ? x + i : x - i, 0, width - 1);
            const int byte = source.GetScanLine(row)[column * bytes + ch];
            acc = static_cast<float>(static_cast<long double>(acc) +
                                     static_cast<long double>(byte) * w[o * q + r + i]);
          }
        }
        if (divide) acc = acc / divisor;
        out.GetScanLine(y)[x * bytes + ch] = acc < 0     ? 0
                                             : acc > 255 ? 255
                                                         : static_cast<std::uint8_t>(acc);
      }
  return out;
}

// The normaliser of a general kernel: a 16-bit integer truncated after
// every addition.
std::int16_t TruncatedSum(const float* w, int q) {
  int sum = 0;
  for (int i = 0; i < q * q; ++i)
    sum = static_cast<int>(std::trunc(sum + static_cast<double>(w[i])));
  return static_cast<std::int16_t>(sum);
}

float SingleSum(const float* w, int q) {
  float sum = 0;
  for (int i = 0; i < q * q; ++i) sum += w[i];
  return sum;
}

struct Shape {
  int width, height, bits;
};
const Shape kShapes[] = {{1, 1, 8},   {1, 6, 8},  {9, 1, 8},  {2, 2, 8},  {7, 3, 8},
                         {37, 23, 8}, {5, 4, 24}, {6, 5, 32}, {13, 9, 24}};

TEST(ConvolutionTest, BlursMatchThePlainFormOnRandomImages) {
  std::mt19937 random(2024);
  struct Blur {
    const char* name;
    int size;
    void (BitmapImageClass::*run)();
  };
  const Blur blurs[] = {{"Blur3x3", 3, &BitmapImageClass::Blur3x3},
                        {"Blur5x5", 5, &BitmapImageClass::Blur5x5},
                        {"Blur7x7", 7, &BitmapImageClass::Blur7x7}};
  for (const auto& shape : kShapes)
    for (const auto& blur : blurs) {
      BitmapImageClass image(shape.width, shape.height, static_cast<std::int16_t>(shape.bits));
      FillRandom(image, random);
      const float* w = KernelTable(blur.size);
      const std::int16_t sum = TruncatedSum(w, blur.size);
      BitmapImageClass expected = Reference(image, w, blur.size / 2, false, sum != 0, sum);
      (image.*blur.run)();
      EXPECT_TRUE(SamePixels(image, expected))
          << blur.name << " " << shape.width << "x" << shape.height << "x" << shape.bits;
    }
}

TEST(ConvolutionTest, ApplyKernelWithEveryTableWithAndWithoutNormalising) {
  std::mt19937 random(99);
  for (int size : {3, 5, 7, 9, 11, 13, 15, 21})
    for (bool normalise : {true, false})
      for (const Shape& shape : {Shape{23, 17, 8}, Shape{4, 3, 24}}) {
        BitmapImageClass image(shape.width, shape.height, static_cast<std::int16_t>(shape.bits));
        FillRandom(image, random);
        // Darker pixels keep the un-normalised sums from all clamping at 255.
        if (!normalise)
          for (int i = 0; i < image.Bitmap.bmWidthBytes * image.Bitmap.bmHeight; ++i)
            image.Bitmap.bmBits[i] = static_cast<std::uint8_t>(image.Bitmap.bmBits[i] / 64);
        const float* w = KernelTable(size);
        const std::int16_t sum = normalise ? TruncatedSum(w, size) : 0;
        BitmapImageClass expected = Reference(image, w, size / 2, false, sum != 0, sum);
        image.ApplyKernel(w, static_cast<std::uint16_t>(size / 2), normalise);
        EXPECT_TRUE(SamePixels(image, expected)) << size << " " << normalise << " " << shape.bits;
      }
}

TEST(ConvolutionTest, KernelsWithNegativeWeightsClampAtBothEnds) {
  const float sharpen[9] = {0, -1, 0, -1, 5, -1, 0, -1, 0};
  std::mt19937 random(3);
  BitmapImageClass image(16, 11, 24);
  FillRandom(image, random);
  BitmapImageClass expected = Reference(image, sharpen, 1, false, true, 1);
  image.ApplyKernel(sharpen, 1, true);
  EXPECT_TRUE(SamePixels(image, expected));
  int zeros = 0, full = 0;
  for (int r = 0; r < 11; ++r)
    for (int v : RowBytes(image, r)) {
      zeros += v == 0;
      full += v == 255;
    }
  EXPECT_GT(zeros, 0);
  EXPECT_GT(full, 0);
}

TEST(ConvolutionTest, BlurGreyMatchesThePlainFormForEveryRadius) {
  std::mt19937 random(7);
  for (int radius : {1, 2, 3, 4, 5, 6, 7, 10})
    for (const Shape& shape : {Shape{41, 29, 8}, Shape{1, 1, 8}, Shape{3, 30, 8}}) {
      BitmapImageClass image(shape.width, shape.height, 8);
      FillRandom(image, random);
      const int q = 2 * radius + 1;
      const float* w = KernelTable(q);
      BitmapImageClass expected = Reference(image, w, radius, true, true, SingleSum(w, q));
      image.BlurGRAY(static_cast<std::int16_t>(radius));
      EXPECT_TRUE(SamePixels(image, expected)) << radius << " " << shape.width;
    }
}

TEST(ConvolutionTest, ImpulseThroughBlur3x3) {
  BitmapImageClass image = GreyImage(
      {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 255, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}});
  image.Blur3x3();
  EXPECT_EQ(RowBytes(image, 1), (std::vector<int>{0, 7, 31, 7, 0}));
  EXPECT_EQ(RowBytes(image, 2), (std::vector<int>{0, 31, 95, 31, 0}));
  EXPECT_EQ(RowBytes(image, 3), (std::vector<int>{0, 7, 31, 7, 0}));
  EXPECT_EQ(RowBytes(image, 0), (std::vector<int>{0, 0, 0, 0, 0}));
}

TEST(ConvolutionTest, ConstantImagesStayConstant) {
  struct Case {
    const char* name;
    std::function<void(BitmapImageClass&)> blur;
    int value;
  };
  const Case cases[] = {
      {"Blur3x3", [](BitmapImageClass& i) { i.Blur3x3(); }, 100},
      {"Blur3x3", [](BitmapImageClass& i) { i.Blur3x3(); }, 255},
      {"Blur5x5", [](BitmapImageClass& i) { i.Blur5x5(); }, 100},
      {"Blur5x5", [](BitmapImageClass& i) { i.Blur5x5(); }, 255},
      {"BlurGRAY(7)", [](BitmapImageClass& i) { i.BlurGRAY(7); }, 100},
      {"BlurGRAY(7)", [](BitmapImageClass& i) { i.BlurGRAY(7); }, 255},
      {"Blur7x7", [](BitmapImageClass& i) { i.Blur7x7(); }, 100},
      {"Blur7x7", [](BitmapImageClass& i) { i.Blur7x7(); }, 255},
  };
  for (const auto& c : cases) {
    for (const Shape& shape : {Shape{20, 15, 8}, Shape{1, 1, 8}}) {
      BitmapImageClass image(shape.width, shape.height, 8);
      image.SetAllPixelsToValue(c.value);
      c.blur(image);
      for (int r = 0; r < shape.height; ++r)
        EXPECT_EQ(RowBytes(image, r),
                  std::vector<int>(static_cast<std::size_t>(shape.width), c.value))
            << c.name << " " << c.value;
    }
  }
}

TEST(ConvolutionTest, OnePixelImagesAreUnchanged) {
  BitmapImageClass colour(1, 1, 24);
  colour.GetScanLine(0)[0] = 10;
  colour.GetScanLine(0)[1] = 200;
  colour.GetScanLine(0)[2] = 77;
  colour.Blur3x3();
  colour.Blur5x5();
  EXPECT_EQ(RowBytes(colour, 0), (std::vector<int>{10, 200, 77}));
}

TEST(ConvolutionTest, UnsupportedRadiiAndDepthsLeaveTheImage) {
  ScopedTraceLog log;
  std::mt19937 random(5);
  BitmapImageClass image(9, 9, 8);
  FillRandom(image, random);
  BitmapImageClass before(image);
  for (int radius : {0, -1, 8, 9, 11, 100}) image.BlurGRAY(static_cast<std::int16_t>(radius));
  EXPECT_TRUE(SamePixels(image, before));
  image.ApplyKernel(KernelTable(3), 33, true);
  EXPECT_TRUE(SamePixels(image, before));
  int errors = 0;
  for (const auto& m : log.Messages()) errors += m.starts_with("ERROR: ");
  EXPECT_EQ(errors, 7);

  BitmapImageClass colour(4, 4, 24);
  FillRandom(colour, random);
  BitmapImageClass colourBefore(colour);
  colour.BlurGRAY(2);  // grey images only
  EXPECT_TRUE(SamePixels(colour, colourBefore));
}

TEST(ConvolutionTest, BlursAreTraced) {
  BitmapImageClass image(3, 3, 8);
  ScopedTraceLog log;
  image.Blur3x3();
  image.BlurGRAY(7);
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{
                                "entering BitmapImageClass::Blur3x3()...",
                                "entering BitmapImageClass::ApplyKernel(1, 1)...",
                                "exiting  BitmapImageClass::ApplyKernel()...",
                                "exiting  BitmapImageClass::Blur3x3()...",
                                "entering BitmapImageClass::BlurGRAY(7)...",
                                "exiting  BitmapImageClass::BlurGRAY()...",
                            }));
}

TEST(KernelTablesTest, SumsAndSymmetry) {
  struct Case {
    int size;
    double sum;
    bool diagonal;
  };
  const Case cases[] = {{3, 32, true},     {5, 121, true},  {7, 1.000007, true},
                        {9, 256, true},    {11, 512, true}, {13, 1.00185, true},
                        {15, 2044, false}, {21, 8194, true}};
  for (const auto& c : cases) {
    const float* w = KernelTable(c.size);
    ASSERT_NE(w, nullptr);
    const int n = c.size;
    double sum = 0;
    bool diagonal = true;
    for (int o = 0; o < n; ++o)
      for (int col = 0; col < n; ++col) {
        sum += w[o * n + col];
        EXPECT_EQ(w[o * n + col], w[(n - 1 - o) * n + col]) << n;
        EXPECT_EQ(w[o * n + col], w[o * n + (n - 1 - col)]) << n;
        diagonal = diagonal && w[o * n + col] == w[col * n + o];
      }
    EXPECT_NEAR(sum, c.sum, 1e-5) << n;
    EXPECT_EQ(diagonal, c.diagonal) << n;
  }
  const float* w21 = KernelTable(21);
  const float firstRow[21] = {5,  6,  7,  8,  9,  10, 11, 12, 13, 13, 13,
                              13, 13, 12, 11, 10, 9,  8,  7,  6,  5};
  for (int c = 0; c < 21; ++c) EXPECT_EQ(w21[c], firstRow[c]);
  EXPECT_EQ(w21[10 * 21 + 10], 34);
  EXPECT_EQ(*std::max_element(w21, w21 + 441), 34);
  EXPECT_EQ(w21[440], 5);
  EXPECT_EQ(KernelTable(17), nullptr);
  EXPECT_EQ(KernelTable(7)[3], 0.001616f);
  EXPECT_EQ(KernelTable(13)[12 * 13 + 3], 0.001855f);  // last row repeats the first
}

}  // namespace
