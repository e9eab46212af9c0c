#pragma once

#include <cstdint>

// The pixel formats a toolkit bitmap can have.
enum class ToolkitPixelFormat {
  kDeviceDependent,
  k1Bit,
  k4Bit,
  k8Bit,
  k15Bit,
  k16Bit,
  k24Bit,  // Blue, Green, Red per pixel
  k32Bit,  // Blue, Green, Red and a fourth byte
  kCustom,
};

// What the raster image reads from a toolkit bitmap: its size, pixel format
// and rows, row 0 at the top. A scanline holds at least as many bytes as the
// width takes in the bitmap's format.
class ToolkitBitmapView {
 public:
  virtual ~ToolkitBitmapView() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual ToolkitPixelFormat PixelFormat() const = 0;
  virtual const std::uint8_t* ScanLine(int row) const = 0;
};

// Bits per pixel of the bitmap's format (1, 4, 8, 15, 16, 24 or 32); 0 with
// the box "unknown PixelFormat!!!" for a device-dependent or custom format.
int TBitmap_GetDepthInBits(const ToolkitBitmapView& bitmap);

// Bytes per pixel of the bitmap's format (1 for 1, 4 and 8 bits, 2 for 15
// and 16, 3, 4); 0 with the box "unknown PixelFormat!!!" for an unknown one.
int TBitmap_GetDepthInBytes(const ToolkitBitmapView& bitmap);

// The format of a bit count (1, 4, 8, 15, 16, 24, 32); any other count gives
// the custom format with the box "unknown PixelFormat!!!".
ToolkitPixelFormat Bitmap_GetPixelFormat(int bits);

// Bits per pixel of a format, 0 when it has none.
int DepthInBits(ToolkitPixelFormat format);
