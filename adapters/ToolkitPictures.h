#pragma once

#include <QByteArray>
#include <QImage>
#include <string>

#include "ToolkitBitmapView.h"

// The toolkit's bitmap: a Qt image in one of the formats of the depth table
// (24-bit rows Blue, Green, Red; 32-bit rows Blue, Green, Red and a fourth
// byte; 8-bit rows grey levels), rows top first.
class TBitmap : public ToolkitBitmapView {
 public:
  int Width() const override { return image.width(); }
  int Height() const override { return image.height(); }
  ToolkitPixelFormat PixelFormat() const override { return format; }
  const std::uint8_t* ScanLine(int row) const override { return image.constScanLine(row); }
  std::uint8_t* ScanLine(int row) { return image.scanLine(row); }

  QImage image;
  ToolkitPixelFormat format = ToolkitPixelFormat::kDeviceDependent;
};

// A JPEG picture: its compressed data, its decoded image, and the quality
// (IJG scale, 1 to 100) of the next compression.
class TJPEGImage {
 public:
  QByteArray data;
  QImage decoded;
  int quality = 90;
};

// A PNG picture as decoded, with the significant bits its sBIT chunk
// states for 16-bit samples (0 without one).
class TPngImage {
 public:
  QImage decoded;
  int significantBits = 0;
  std::string fileName;  // where it was read from, for the log
};

// A TIFF picture: the first page as decoded, with the significant bits its
// tags state for 16-bit samples (0 when they state none).
class TTiffImage {
 public:
  QImage decoded;
  int significantBits = 0;
  std::string fileName;  // where it was read from, for the log
};
