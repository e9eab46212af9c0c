#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// 16-bit samples to 8-bit grey levels by their significant bits: a sample
// with b significant bits (values 0 to 2^b - 1) becomes sample / 2^(b - 8),
// truncated, so the scale is linear without an offset and the 8-bit level
// of a b-bit camera's full range is 0 to 255 (12 bits: divided by 16; 16
// bits: divided by 256).
//
// The significant bits are the file's own figure when it states one and
// every sample fits in it; otherwise the fewest bits, at least 8, that hold
// the image's largest sample. A file whose samples were scaled up to the
// full 16 bits as its format asks (a PNG with an sBIT chunk) then takes 16.
int SignificantBitsOf(std::uint16_t largestSample, int fileBits);

// `count` samples with `bits` (8 to 16) significant bits as 8-bit levels.
void ScaleSamples(const std::uint16_t* samples, std::uint8_t* levels, std::size_t count, int bits);

// Words for the log: "16-bit samples scaled by 1/16 (12 significant bits,
// stated by the file)" or "... (12 significant bits, from the largest
// sample 4080)".
std::string SampleScalingText(int bits, int fileBits, std::uint16_t largestSample);
