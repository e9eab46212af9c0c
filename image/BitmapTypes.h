#pragma once

#include <cstdint>
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

// The bitmap descriptor with its owned pixel rows.
struct BitmapDescriptor {
  std::int32_t bmType = 0;
  std::int32_t bmWidth = 0;
  std::int32_t bmHeight = 0;
  std::int32_t bmWidthBytes = 0;
  std::uint16_t bmPlanes = 1;
  std::uint16_t bmBitsPixel = 8;
  std::unique_ptr<std::uint8_t[]> bmBits;  // bmWidthBytes x bmHeight bytes, rows bottom-up
};
