#pragma once

#include <cstdint>

#include "GreyValue.h"

// Shared by the pixel operations: colours are 0x00BBGGRR.
namespace pixel {

constexpr std::uint8_t Red(std::uint32_t colour) {
  return static_cast<std::uint8_t>(colour);
}
constexpr std::uint8_t Green(std::uint32_t colour) {
  return static_cast<std::uint8_t>(colour >> 8);
}
constexpr std::uint8_t Blue(std::uint32_t colour) {
  return static_cast<std::uint8_t>(colour >> 16);
}

constexpr std::uint8_t GreyOfColour(std::uint32_t colour) {
  return GreyValue(Red(colour), Green(colour), Blue(colour));
}

// Sets pixel x of a row to the colour: the grey value on 8-bit rows, Blue,
// Green, Red on 24- and 32-bit rows (the fourth byte left), nothing else.
inline void Set(std::uint8_t* row, int bytesPerPixel, int x, std::uint32_t colour) {
  if (bytesPerPixel == 1) {
    row[x] = GreyOfColour(colour);
  } else if (bytesPerPixel >= 3) {
    std::uint8_t* p = row + x * bytesPerPixel;
    p[0] = Blue(colour);
    p[1] = Green(colour);
    p[2] = Red(colour);
  }
}

}  // namespace pixel
