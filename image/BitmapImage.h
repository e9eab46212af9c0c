#pragma once

#include <cstdint>
#include <string>

#include "BitmapTypes.h"
#include "ToolkitBitmapView.h"

// The system's raster image: a device-independent bitmap in memory with its
// BMP info block, owned pixel rows stored bottom-up (row 0 is the bottom row
// of the picture), four histograms and a 4096-byte block of meta data.
//
// Depths are 8 (grey level), 16 (two opaque bytes), 24 (Blue, Green, Red)
// and 32 bits (Blue, Green, Red and an unused byte). Rows are padded to a
// multiple of 4 bytes except in images built from a toolkit bitmap.
//
// An image whose creation or loading failed is empty: no storage, zero width
// and height. Every operation accepts an empty image and does nothing to it.
class BitmapImageClass {
 public:
  static constexpr int kMetaDataSize = 4096;
  // The most pixel storage one image may hold (1 GiB).
  static constexpr std::uint64_t kMaxStorageBytes = std::uint64_t{1} << 30;

  BitmapImageClass(std::int32_t width, std::int32_t height, std::int16_t bits);
  explicit BitmapImageClass(const ToolkitBitmapView& bitmap);
  BitmapImageClass(const BitmapImageClass& source);
  explicit BitmapImageClass(const std::string& fileName);
  ~BitmapImageClass();
  BitmapImageClass& operator=(const BitmapImageClass&) = delete;

  bool CreateThis(std::int32_t width, std::int32_t height, std::int16_t bits, bool padRows);

  // Row r's first byte; no bounds check (0 <= r < bmHeight).
  std::uint8_t* GetScanLine(std::int32_t row) {
    return Bitmap.bmBits.get() + static_cast<std::ptrdiff_t>(row) * Bitmap.bmWidthBytes;
  }
  const std::uint8_t* GetScanLine(std::int32_t row) const {
    return Bitmap.bmBits.get() + static_cast<std::ptrdiff_t>(row) * Bitmap.bmWidthBytes;
  }
  // Copies the pixel bytes of row r (bmWidth x BytesPerPixel) into buffer.
  void CopyScanLine(std::uint8_t* buffer, std::int32_t row) const;

  void SetBitsPerPixel(std::int16_t bits);

  void Copy(const BitmapImageClass& source);
  void Copy(const ToolkitBitmapView& bitmap);
  void Copy(const BitmapImageClass& source, std::int32_t x0, std::int32_t y0);

  void MirrorHorizontal();
  void FlipVertical();

  // Fills and per-pixel operations.
  void SetAllPixelsToValue(std::int32_t value);
  void SetAllPixelsToColor(std::uint32_t colour);
  void Invert();
  void Add(std::int16_t offset);
  void Grayscale();

  // Drawing; colours are 0x00BBGGRR, rows count from the bottom.
  void DrawPoint(std::int32_t x, std::int32_t y, std::uint32_t colour);
  void DrawLineHorizontal(std::int32_t x1, std::int32_t x2, std::int32_t y, std::uint32_t colour);
  void DrawLineVertical(std::int32_t x, std::int32_t y1, std::int32_t y2, std::uint32_t colour);
  void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                std::uint32_t colour);

  // Overlays of another image placed with its row 0, column 0 at (x, y).
  void OverlayNonZero(const BitmapImageClass& source, std::int32_t x, std::int32_t y);
  void OverlayNonZeroMerge(const BitmapImageClass& source, std::int32_t x, std::int32_t y);
  void SetValueWhereNonZero(const BitmapImageClass& mask, std::uint8_t value);

  // Grey ranges, contrast stretches and thresholds.
  void GetRangeGRAY(std::uint8_t& minimum, std::uint8_t& maximum) const;
  void GetRangeNonZeroGRAY(std::uint8_t& minimum, std::uint8_t& maximum) const;
  void RangeGRAY(std::uint8_t low, std::uint8_t high);
  void RangeNonZeroGRAY(std::uint8_t low, std::uint8_t high);
  std::int32_t ThresholdGRAY(std::uint8_t low, std::uint8_t high);
  void SuppressOutsideRangeGRAY(std::uint8_t low, std::uint8_t high);

  // Histograms and the percentile cutoff.
  void ComputeHistogram();
  std::uint8_t GetPercentileGRAY(float fraction);
  std::int32_t ThresholdPercentileGRAY(float fraction);

  // Convolutions with edge replication, in place.
  void ApplyKernel(const float* weights, std::uint16_t radius, bool normalise);
  void Blur3x3();
  void Blur5x5();
  void Blur7x7();
  void BlurGRAY(std::int16_t radius);

  bool LoadFromFile(const std::string& fileName);
  bool SaveToFile(const std::string& fileName, bool withMetaData);
  bool SaveToFile(const std::string& fileName) { return SaveToFile(fileName, false); }

  bool IsEmpty() const { return Bitmap.bmBits == nullptr; }
  // Bytes of pixels in a row, without padding.
  std::int32_t RowPixelBytes() const { return Bitmap.bmWidth * BytesPerPixel; }

  BitmapInfo bmInfo;
  BitmapDescriptor Bitmap;
  std::int16_t BytesPerPixel = 1;
  std::int32_t HistogramGray[256] = {};
  std::int32_t HistogramRed[256] = {};
  std::int32_t HistogramGreen[256] = {};
  std::int32_t HistogramBlue[256] = {};
  std::uint8_t MetaData[kMetaDataSize] = {};

 private:
  BitmapImageClass();  // empty, with a grey-ramp colour table
  void FillHeader();
  void Stretch(const char* name, std::uint8_t low, std::uint8_t high, bool nonZero);
  void FillGreyRamp();
  void MakeEmpty();
};

// Row stride for a width and depth: the pixel bytes, rounded up to a
// multiple of 4 when padded; negative when it does not fit 32 bits.
std::int64_t RowStride(std::int64_t width, int bytesPerPixel, bool padRows);
