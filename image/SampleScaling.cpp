#include "SampleScaling.h"

#include <algorithm>

int SignificantBitsOf(std::uint16_t largestSample, int fileBits) {
  int needed = 8;
  while (needed < 16 && (largestSample >> needed) != 0) ++needed;
  if (fileBits >= needed && fileBits <= 16) return fileBits;
  return needed;
}

void ScaleSamples(const std::uint16_t* samples, std::uint8_t* levels, std::size_t count, int bits) {
  const int shift = std::clamp(bits, 8, 16) - 8;
  for (std::size_t i = 0; i < count; ++i)
    levels[i] = static_cast<std::uint8_t>(std::min<unsigned>(samples[i] >> shift, 255u));
}

std::string SampleScalingText(int bits, int fileBits, std::uint16_t largestSample) {
  const std::string how = bits == fileBits
                              ? "stated by the file"
                              : "from the largest sample " + std::to_string(largestSample);
  return "16-bit samples scaled by 1/" + std::to_string(1 << (bits - 8)) + " (" +
         std::to_string(bits) + " significant bits, " + how + ")";
}
