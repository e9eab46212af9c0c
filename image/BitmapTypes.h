#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

// The 40-byte info header of a BMP file, field for field.
struct BitmapInfoHeader {
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 8;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

// One colour-table entry in file order.
struct RgbQuad {
  std::uint8_t rgbBlue = 0;
  std::uint8_t rgbGreen = 0;
  std::uint8_t rgbRed = 0;
  std::uint8_t rgbReserved = 0;
};
static_assert(sizeof(RgbQuad) == 4);

// The info block as a BMP file holds it: header, then the colour table.
struct BitmapInfo {
  BitmapInfoHeader bmiHeader;
  RgbQuad CLUT[256];
};
static_assert(sizeof(BitmapInfo) == 40 + 1024);

// Pixel storage from the C allocator: large zeroed blocks come straight
// from the system as zero pages, with no separate clearing pass.
struct PixelFree {
  void operator()(std::uint8_t* p) const { std::free(p); }
};
using PixelStorage = std::unique_ptr<std::uint8_t[], PixelFree>;

// A block of `bytes` (at least one byte is allocated), zeroed when asked;
// empty when the system has no memory for it.
inline PixelStorage AllocatePixels(std::size_t bytes, bool zeroed) {
  void* p = zeroed ? std::calloc(bytes == 0 ? 1 : bytes, 1) : std::malloc(bytes == 0 ? 1 : bytes);
  return PixelStorage(static_cast<std::uint8_t*>(p));
}

// The bitmap descriptor with its owned pixel rows.
struct BitmapDescriptor {
  std::int32_t bmType = 0;
  std::int32_t bmWidth = 0;
  std::int32_t bmHeight = 0;
  std::int32_t bmWidthBytes = 0;
  std::uint16_t bmPlanes = 1;
  std::uint16_t bmBitsPixel = 8;
  PixelStorage bmBits;  // bmWidthBytes x bmHeight bytes, rows bottom-up
};
