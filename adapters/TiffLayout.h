#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The first page of a TIFF file as its tags describe it, read from the
// file's bytes before the toolkit decodes them.
struct TiffLayout {
  std::int64_t width = -1, height = -1;
  std::uint32_t bitsPerSample = 1;
  bool mixedDepths = false;  // samples of one pixel differ in depth
  std::uint32_t samplesPerPixel = 1;
  std::uint32_t sampleFormat = 1;  // 1 unsigned, 2 signed, 3 floating point
  std::uint32_t photometric = 1;   // 0 white is zero, 1 black is zero, 2 RGB, 3 palette, ...
  std::uint32_t compression = 1;
  std::uint32_t planar = 1;  // 1 samples of a pixel together, 2 in planes
  bool tiled = false;
  std::uint64_t tileWidth = 0, tileLength = 0;
  std::uint64_t rowsPerStrip = 0xFFFFFFFFu;
  std::vector<std::uint64_t> offsets, byteCounts;  // of the strips or tiles
  std::optional<std::uint64_t> maxSampleValue;     // the file's largest sample value, when set
  std::uint32_t pages = 1;
};

// Whether the bytes begin like a TIFF file (either byte order).
bool LooksLikeTiff(std::string_view bytes);

// Reads the first page's tags and counts the pages. The reason in words
// when the bytes do not hold a readable page ("cut off after 100 bytes",
// "damaged (...)").
std::optional<std::string> ReadTiffLayout(std::string_view bytes, TiffLayout& layout);

// Why the page cannot be decoded even though its tags were read: samples
// of a kind the program does not read (1-bit, floating point, ...), a
// compression the decoder lacks, odd tiles, or strips beyond the file's
// end. Nothing when it can.
std::optional<std::string> TiffLayoutProblem(const TiffLayout& layout, std::uint64_t fileSize);

// The significant bits the file states for its 16-bit samples (from its
// largest sample value), or 0 when it states none (the tag missing, or
// holding its default of 65535).
int TiffSignificantBits(const TiffLayout& layout);
