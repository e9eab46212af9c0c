#include "BitmapImage.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "EventLog.h"
#include "GreyValue.h"
#include "MessageBox.h"

namespace {

const char* const kCreateCaption = "BitmapImageClass::CreateThis()";

int BytesPerPixelFor(int bits) {
  switch (bits) {
    case 8:
      return 1;
    case 16:
      return 2;
    case 24:
      return 3;
    case 32:
      return 4;
    default:
      return 0;
  }
}

// Bytes per pixel a toolkit bitmap's rows are read with; 0 for formats whose
// pixels do not fill whole bytes (or are unknown).
int ToolkitBytesPerPixel(ToolkitPixelFormat format) {
  switch (format) {
    case ToolkitPixelFormat::k8Bit:
      return 1;
    case ToolkitPixelFormat::k15Bit:
    case ToolkitPixelFormat::k16Bit:
      return 2;
    case ToolkitPixelFormat::k24Bit:
      return 3;
    case ToolkitPixelFormat::k32Bit:
      return 4;
    default:
      return 0;
  }
}

std::string Result(bool ok) {
  return ok ? "SUCCESS" : "FAILURE";
}

}  // namespace

std::int64_t RowStride(std::int64_t width, int bytesPerPixel, bool padRows) {
  std::int64_t stride = width * bytesPerPixel;
  if (padRows && stride % 4 != 0) stride += 4 - stride % 4;
  return stride > INT32_MAX ? -1 : stride;
}

BitmapImageClass::BitmapImageClass() {
  MakeEmpty();
  FillGreyRamp();
}

BitmapImageClass::BitmapImageClass(std::int32_t width, std::int32_t height, std::int16_t bits)
    : BitmapImageClass() {
  LogMessage("entering BitmapImageClass::BitmapImageClass(" + std::to_string(width) + ", " +
             std::to_string(height) + ", " + std::to_string(bits) + ")...");
  const bool ok = CreateThis(width, height, bits, true);
  LogMessage("exiting  BitmapImageClass::BitmapImageClass(" + Result(ok) + ")...");
}

BitmapImageClass::BitmapImageClass(const ToolkitBitmapView& bitmap) : BitmapImageClass() {
  LogMessage("entering BitmapImageClass::BitmapImageClass()...");
  const int bits = TBitmap_GetDepthInBits(bitmap);
  const bool ok =
      CreateThis(bitmap.Width(), bitmap.Height(), static_cast<std::int16_t>(bits), false);
  if (ok) Copy(bitmap);
  LogMessage("exiting  BitmapImageClass::BitmapImageClass(" + Result(ok) + ")...");
}

BitmapImageClass::BitmapImageClass(const BitmapImageClass& source) : BitmapImageClass() {
  LogMessage("entering BitmapImageClass::BitmapImageClass()...");
  const bool ok = CreateThis(source.Bitmap.bmWidth, source.Bitmap.bmHeight,
                             static_cast<std::int16_t>(source.Bitmap.bmBitsPixel), true);
  const std::uint32_t entries = std::min<std::uint32_t>(source.bmInfo.bmiHeader.biClrUsed, 256);
  std::copy_n(source.bmInfo.CLUT, entries, bmInfo.CLUT);
  if (ok) Copy(source);
  LogMessage("exiting  BitmapImageClass::BitmapImageClass(" + Result(ok) + ")...");
}

BitmapImageClass::BitmapImageClass(const std::string& fileName) : BitmapImageClass() {
  LogMessage("entering BitmapImageClass::BitmapImageClass(" + fileName + ")...");
  const bool ok = LoadFromFile(fileName);
  LogMessage("exiting  BitmapImageClass::BitmapImageClass(" + Result(ok) + ")...");
}

BitmapImageClass::~BitmapImageClass() {
  LogMessage("entering ~BitmapImageClass::BitmapImageClass()...");
  Bitmap.bmBits.reset();
  LogMessage("exiting  ~BitmapImageClass::BitmapImageClass()...");
}

void BitmapImageClass::MakeEmpty() {
  Bitmap.bmBits.reset();
  Bitmap.bmType = 0;
  Bitmap.bmWidth = 0;
  Bitmap.bmHeight = 0;
  Bitmap.bmWidthBytes = 0;
  Bitmap.bmPlanes = 1;
  if (BytesPerPixelFor(Bitmap.bmBitsPixel) == 0) Bitmap.bmBitsPixel = 8;
  BytesPerPixel = static_cast<std::int16_t>(BytesPerPixelFor(Bitmap.bmBitsPixel));
  FillHeader();
}

void BitmapImageClass::FillHeader() {
  BitmapInfoHeader& h = bmInfo.bmiHeader;
  h.biSize = 40;
  h.biWidth = Bitmap.bmWidth;
  h.biHeight = Bitmap.bmHeight;
  h.biPlanes = Bitmap.bmPlanes;
  h.biBitCount = Bitmap.bmBitsPixel;
  h.biCompression = 0;
  h.biSizeImage =
      static_cast<std::uint32_t>(Bitmap.bmWidthBytes) * static_cast<std::uint32_t>(Bitmap.bmHeight);
  h.biXPelsPerMeter = 0;
  h.biYPelsPerMeter = 0;
  h.biClrUsed = Bitmap.bmBitsPixel == 8 ? 256 : 0;
  h.biClrImportant = 0;
}

void BitmapImageClass::FillGreyRamp() {
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    bmInfo.CLUT[i] = RgbQuad{v, v, v, 0};
  }
}

bool BitmapImageClass::CreateThis(std::int32_t width, std::int32_t height, std::int16_t bits,
                                  bool padRows) {
  LogMessage("entering BitmapImageClass::CreateThis(" + std::to_string(width) + ", " +
             std::to_string(height) + ", " + std::to_string(bits) + ")...");
  const int bytesPerPixel = BytesPerPixelFor(bits);
  if (bytesPerPixel == 0) {
    LogMessage("exiting  BitmapImageClass::CreateThis()...");
    ShowErrorBox("Unsupported bit depth (" + std::to_string(bits) + ")", kCreateCaption);
    return false;
  }

  const std::int64_t stride = width < 0 ? -1 : RowStride(width, bytesPerPixel, padRows);
  const std::int64_t size = stride < 0 || height < 0 ? -1 : stride * height;
  PixelStorage storage;
  if (size >= 0 && static_cast<std::uint64_t>(size) <= kMaxStorageBytes)
    storage = AllocatePixels(static_cast<std::size_t>(size), true);

  Bitmap.bmType = 0;
  Bitmap.bmPlanes = 1;
  Bitmap.bmBitsPixel = static_cast<std::uint16_t>(bits);
  BytesPerPixel = static_cast<std::int16_t>(bytesPerPixel);
  if (storage == nullptr) {
    MakeEmpty();
    FillGreyRamp();
    LogMessage("ERROR: unable to allocate storage for BITMAP->bmBits!!!");
    LogMessage("exiting  BitmapImageClass::CreateThis(FAILURE)...");
    ShowErrorBox("unable to allocate storage for BITMAP->bmBits", kCreateCaption);
    return false;
  }
  Bitmap.bmWidth = width;
  Bitmap.bmHeight = height;
  Bitmap.bmWidthBytes = static_cast<std::int32_t>(stride);
  Bitmap.bmBits = std::move(storage);
  FillHeader();
  FillGreyRamp();
  LogMessage("exiting  BitmapImageClass::CreateThis(SUCCESS)...");
  return true;
}

void BitmapImageClass::CopyScanLine(std::uint8_t* buffer, std::int32_t row) const {
  std::memcpy(buffer, GetScanLine(row), static_cast<std::size_t>(RowPixelBytes()));
}

void BitmapImageClass::SetBitsPerPixel(std::int16_t bits) {
  LogMessage("entering BitmapImageClass::SetBitsPerPixel(" + std::to_string(bits) + ")...");
  if (bits == Bitmap.bmBitsPixel) {
    LogMessage("exiting  BitmapImageClass::SetBitsPerPixel(ABORTED)...");
    return;
  }
  // Keep the old image whole so that a refused depth leaves it as it was.
  const BitmapInfo oldInfo = bmInfo;
  const int oldBytes = BytesPerPixel;
  BitmapDescriptor old;
  old.bmType = Bitmap.bmType;
  old.bmWidth = Bitmap.bmWidth;
  old.bmHeight = Bitmap.bmHeight;
  old.bmWidthBytes = Bitmap.bmWidthBytes;
  old.bmPlanes = Bitmap.bmPlanes;
  old.bmBitsPixel = Bitmap.bmBitsPixel;
  old.bmBits = std::move(Bitmap.bmBits);

  if (!CreateThis(old.bmWidth, old.bmHeight, bits, true)) {
    bmInfo = oldInfo;
    Bitmap = std::move(old);
    BytesPerPixel = static_cast<std::int16_t>(oldBytes);
    LogMessage("exiting  BitmapImageClass::SetBitsPerPixel(FAILURE)...");
    return;
  }

  const int newBytes = BytesPerPixel;
  const int width = Bitmap.bmWidth;
  if (old.bmBits != nullptr && oldBytes != 2 && newBytes != 2) {
    for (int r = 0; r < Bitmap.bmHeight; ++r) {
      const std::uint8_t* src =
          old.bmBits.get() + static_cast<std::ptrdiff_t>(r) * old.bmWidthBytes;
      std::uint8_t* dst = GetScanLine(r);
      if (oldBytes == 1) {
        for (int j = 0; j < width; ++j, dst += newBytes) {
          const RgbQuad& c = bmInfo.CLUT[src[j]];
          dst[0] = c.rgbBlue;
          dst[1] = c.rgbGreen;
          dst[2] = c.rgbRed;
        }
      } else if (newBytes == 1) {
        for (int j = 0; j < width; ++j, src += oldBytes) dst[j] = GreyOfPixel(src);
      } else {
        for (int j = 0; j < width; ++j, src += oldBytes, dst += newBytes) std::memcpy(dst, src, 3);
      }
    }
  }
  LogMessage("exiting  BitmapImageClass::SetBitsPerPixel()...");
}

void BitmapImageClass::Copy(const BitmapImageClass& source) {
  LogMessage("entering BitmapImageClass::Copy()...");
  // Only the common area is copied, so images of different sizes stay safe.
  const int rows = std::min(Bitmap.bmHeight, source.Bitmap.bmHeight);
  if (source.BytesPerPixel == 1 && BytesPerPixel == 3) {
    const int columns = std::min(Bitmap.bmWidth, source.Bitmap.bmWidth);
    for (int r = 0; r < rows; ++r) {
      const std::uint8_t* src = source.GetScanLine(r);
      std::uint8_t* dst = GetScanLine(r);
      for (int j = 0; j < columns; ++j, dst += 3) {
        const RgbQuad& c = bmInfo.CLUT[src[j]];
        dst[0] = c.rgbBlue;
        dst[1] = c.rgbGreen;
        dst[2] = c.rgbRed;
      }
    }
  } else {
    if (BytesPerPixel != source.BytesPerPixel)
      SetBitsPerPixel(static_cast<std::int16_t>(source.Bitmap.bmBitsPixel));
    if (BytesPerPixel == source.BytesPerPixel) {
      std::memcpy(MetaData, source.MetaData, kMetaDataSize);
      const int bytes = std::min(RowPixelBytes(), source.RowPixelBytes());
      for (int r = 0; r < rows; ++r)
        std::memcpy(GetScanLine(r), source.GetScanLine(r), static_cast<std::size_t>(bytes));
    }
  }
  LogMessage("exiting  BitmapImageClass::Copy()...");
}

void BitmapImageClass::Copy(const ToolkitBitmapView& bitmap) {
  LogMessage("entering BitmapImageClass::Copy()...");
  const int bitmapBytes = ToolkitBytesPerPixel(bitmap.PixelFormat());
  if (bitmap.Width() != Bitmap.bmWidth || bitmap.Height() != Bitmap.bmHeight) {
    LogMessage("exiting  BitmapImageClass::Copy(ABORTED)...");
    return;
  }
  const int bytes = BytesPerPixel;
  const int width = Bitmap.bmWidth;
  // Which rule moves a pixel: grey of a colour pixel, a grey byte spread over
  // a colour pixel, or the bytes as they are.
  enum { kNone, kToGrey, kFromGrey, kSame } rule = kNone;
  if (bitmapBytes == bytes)
    rule = kSame;
  else if (bytes < bitmapBytes && bitmapBytes >= 3)
    rule = kToGrey;
  else if (bytes >= 3 && bitmapBytes == 1)
    rule = kFromGrey;
  if (rule == kNone) {
    LogMessage("ERROR: pixel format of the toolkit bitmap cannot be copied into " +
               std::to_string(Bitmap.bmBitsPixel) + "-bit image!!!");
    LogMessage("exiting  BitmapImageClass::Copy(FAILURE)...");
    return;
  }
  for (int r = 0; r < Bitmap.bmHeight; ++r) {
    const std::uint8_t* src = bitmap.ScanLine(Bitmap.bmHeight - 1 - r);
    std::uint8_t* dst = GetScanLine(r);
    switch (rule) {
      case kSame:
        std::memcpy(dst, src, static_cast<std::size_t>(width) * bytes);
        break;
      case kToGrey:
        for (int j = 0; j < width; ++j, src += bitmapBytes, dst += bytes)
          std::memset(dst, GreyOfPixel(src), static_cast<std::size_t>(bytes));
        break;
      case kFromGrey:
        for (int j = 0; j < width; ++j, dst += bytes) dst[0] = dst[1] = dst[2] = src[j];
        break;
      case kNone:
        break;
    }
  }
  LogMessage("exiting  BitmapImageClass::Copy()...");
}

void BitmapImageClass::Copy(const BitmapImageClass& source, std::int32_t x0, std::int32_t y0) {
  LogMessage("entering BitmapImageClass::Copy(" + std::to_string(x0) + ", " + std::to_string(y0) +
             ")...");
  std::memcpy(MetaData, source.MetaData, kMetaDataSize);
  if (x0 < 0 || y0 < 0 || source.BytesPerPixel != BytesPerPixel) {
    LogMessage("ERROR: sub-image outside the source or of another depth!!!");
    LogMessage("exiting  BitmapImageClass::Copy(FAILURE)...");
    return;
  }
  const std::int64_t rows =
      std::min<std::int64_t>(Bitmap.bmHeight, std::int64_t{source.Bitmap.bmHeight} - y0);
  const std::int64_t columns =
      std::min<std::int64_t>(Bitmap.bmWidth, std::int64_t{source.Bitmap.bmWidth} - x0);
  if (rows > 0 && columns > 0) {
    const std::size_t bytes = static_cast<std::size_t>(columns) * BytesPerPixel;
    const std::size_t offset = static_cast<std::size_t>(x0) * BytesPerPixel;
    for (std::int64_t i = 0; i < rows; ++i)
      std::memcpy(GetScanLine(static_cast<std::int32_t>(i)),
                  source.GetScanLine(static_cast<std::int32_t>(y0 + i)) + offset, bytes);
  }
  LogMessage("exiting  BitmapImageClass::Copy()...");
}

void BitmapImageClass::MirrorHorizontal() {
  if (IsEmpty()) return;
  const int bytes = BytesPerPixel;
  const int width = Bitmap.bmWidth;
  std::vector<std::uint8_t> scratch(static_cast<std::size_t>(Bitmap.bmWidthBytes));
  for (int r = 0; r < Bitmap.bmHeight; ++r) {
    std::uint8_t* row = GetScanLine(r);
    std::memcpy(scratch.data(), row, scratch.size());
    for (int j = 0; j < width; ++j)
      std::memcpy(row + j * bytes, scratch.data() + (width - 1 - j) * bytes,
                  static_cast<std::size_t>(bytes));
  }
}

void BitmapImageClass::FlipVertical() {
  if (IsEmpty()) return;
  const std::size_t stride = static_cast<std::size_t>(Bitmap.bmWidthBytes);
  std::vector<std::uint8_t> scratch(stride);
  for (int top = 0, bottom = Bitmap.bmHeight - 1; top < bottom; ++top, --bottom) {
    std::memcpy(scratch.data(), GetScanLine(top), stride);
    std::memcpy(GetScanLine(top), GetScanLine(bottom), stride);
    std::memcpy(GetScanLine(bottom), scratch.data(), stride);
  }
}
