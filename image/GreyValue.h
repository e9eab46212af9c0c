#pragma once

#include <cstdint>

// The grey value of a colour: trunc(R x 0.299 + G x 0.587 + B x 0.114), with
// the doubles nearest those weights and the sum evaluated exactly. The three
// doubles add up to slightly less than 1, so a neutral grey v >= 1 gives
// v - 1 (white 254, (1, 1, 1) 0).
//
// Exactness without extended precision: each weight is an integer multiple
// of 2^-56, so 2^56 times the sum is an integer below 255 x 2^56 < 2^64, held
// exactly in 64 bits as the sum of three table entries.
namespace grey_detail {

constexpr double kScale = 72057594037927936.0;  // 2^56
constexpr std::uint64_t kRed = static_cast<std::uint64_t>(0.299 * kScale);
constexpr std::uint64_t kGreen = static_cast<std::uint64_t>(0.587 * kScale);
constexpr std::uint64_t kBlue = static_cast<std::uint64_t>(0.114 * kScale);
static_assert(static_cast<double>(kRed) == 0.299 * kScale, "weight not a multiple of 2^-56");
static_assert(static_cast<double>(kGreen) == 0.587 * kScale, "weight not a multiple of 2^-56");
static_assert(static_cast<double>(kBlue) == 0.114 * kScale, "weight not a multiple of 2^-56");

struct Tables {
  std::uint64_t red[256], green[256], blue[256];
};

constexpr Tables MakeTables() {
  Tables t{};
  for (std::uint64_t v = 0; v < 256; ++v) {
    t.red[v] = kRed * v;
    t.green[v] = kGreen * v;
    t.blue[v] = kBlue * v;
  }
  return t;
}

inline constexpr Tables kTables = MakeTables();

// 2^56 times the exact grey value.
constexpr std::uint64_t Scaled(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return kTables.red[r] + kTables.green[g] + kTables.blue[b];
}

}  // namespace grey_detail

// The grey value truncated toward zero. A neutral grey v is v - 1 (0 for
// 0), which the tables give too; it is answered first because grey images
// are made of nothing else.
constexpr std::uint8_t GreyValue(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  if (r == g && g == b) return r == 0 ? 0 : static_cast<std::uint8_t>(r - 1);
  return static_cast<std::uint8_t>(grey_detail::Scaled(r, g, b) >> 56);
}

// The grey value rounded once to single precision.
inline float GreyValueFloat(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  // Converting the 64-bit integer rounds once; the power-of-two scale is exact.
  return static_cast<float>(grey_detail::Scaled(r, g, b)) * 0x1p-56f;
}

// The grey value of a pixel given as its bytes Blue, Green, Red.
constexpr std::uint8_t GreyOfPixel(const std::uint8_t* bgr) {
  return GreyValue(bgr[2], bgr[1], bgr[0]);
}
