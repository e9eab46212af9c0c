#include "GreyValue.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace {

TEST(GreyValueTest, NeutralGreysLoseOneLevel) {
  EXPECT_EQ(GreyValue(0, 0, 0), 0);
  for (int v = 1; v < 256; ++v) {
    const auto b = static_cast<std::uint8_t>(v);
    EXPECT_EQ(GreyValue(b, b, b), v - 1) << v;
    EXPECT_EQ(grey_detail::Scaled(b, b, b) >> 56, static_cast<std::uint64_t>(v - 1)) << v;
  }
}

TEST(GreyValueTest, KnownColours) {
  struct Case {
    std::uint8_t r, g, b, grey;
  };
  const Case cases[] = {{30, 20, 10, 21}, {255, 255, 255, 254}, {1, 1, 1, 0},
                        {255, 0, 0, 76},  {0, 255, 0, 149},     {0, 0, 255, 29}};
  for (const auto& c : cases) EXPECT_EQ(GreyValue(c.r, c.g, c.b), c.grey);
  const std::uint8_t pixel[3] = {10, 20, 30};  // Blue, Green, Red
  EXPECT_EQ(GreyOfPixel(pixel), 21);
}

// Where long double has a 64-bit mantissa the weights' products and sum are
// exact, which is the rule's definition: the integer form must agree.
TEST(GreyValueTest, AgreesWithExtendedPrecision) {
  if (std::numeric_limits<long double>::digits < 64)
    GTEST_SKIP() << "long double is not extended precision here";
  auto extended = [](int r, int g, int b) {
    volatile long double wr = 0.299, wg = 0.587, wb = 0.114;
    return static_cast<long double>(r) * wr + static_cast<long double>(g) * wg +
           static_cast<long double>(b) * wb;
  };
  std::mt19937 random(12345);
  for (int i = 0; i < 200000; ++i) {
    const int r = random() & 255, g = random() & 255, b = random() & 255;
    const long double exact = extended(r, g, b);
    const auto ur = static_cast<std::uint8_t>(r), ug = static_cast<std::uint8_t>(g),
               ub = static_cast<std::uint8_t>(b);
    ASSERT_EQ(GreyValue(ur, ug, ub), static_cast<int>(exact)) << r << "," << g << "," << b;
    ASSERT_EQ(GreyValueFloat(ur, ug, ub), static_cast<float>(exact)) << r << "," << g << "," << b;
  }
  for (int v = 0; v < 256; ++v) {
    const auto u = static_cast<std::uint8_t>(v);
    EXPECT_EQ(GreyValueFloat(u, u, u), static_cast<float>(extended(v, v, v)));
  }
}

}  // namespace
