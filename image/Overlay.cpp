// Placing one raster image onto another.
#include <algorithm>
#include <string>

#include "BitmapImage.h"
#include "EventLog.h"
#include "GreyValue.h"

namespace {
const std::string kClass = "BitmapImageClass::";
}

void BitmapImageClass::OverlayNonZero(const BitmapImageClass& source, std::int32_t x,
                                      std::int32_t y) {
  LogMessage("entering " + kClass + "OverlayNonZero(" + std::to_string(x) + ", " +
             std::to_string(y) + ")...");
  const bool fits = x >= 0 && y >= 0 && std::int64_t{x} + source.Bitmap.bmWidth <= Bitmap.bmWidth &&
                    std::int64_t{y} + source.Bitmap.bmHeight <= Bitmap.bmHeight;
  if (fits && !IsEmpty() && !source.IsEmpty()) {
    const int sb = source.BytesPerPixel;
    const int db = BytesPerPixel;
    const int width = source.Bitmap.bmWidth;
    for (int i = 0; i < source.Bitmap.bmHeight; ++i) {
      const std::uint8_t* src = source.GetScanLine(i);
      std::uint8_t* dst = GetScanLine(y + i) + x * db;
      if (sb == db && db != 2) {
        // Non-zero bytes are copied, zero bytes leave the destination.
        for (int j = 0; j < width * db; ++j)
          if (src[j] != 0) dst[j] = src[j];
      } else if (db == 1 && sb == 3) {
        for (int j = 0; j < width; ++j, src += 3) dst[j] = GreyOfPixel(src);
      } else if (db >= 3 && sb == 1) {
        for (int j = 0; j < width; ++j, dst += db) dst[0] = dst[1] = dst[2] = src[j];
      }
    }
  }
  LogMessage("exiting  " + kClass + "OverlayNonZero()...");
}

void BitmapImageClass::OverlayNonZeroMerge(const BitmapImageClass& source, std::int32_t x,
                                           std::int32_t y) {
  LogMessage("entering " + kClass + "OverlayNonZeroMerge(" + std::to_string(x) + ", " +
             std::to_string(y) + ")...");
  if (BytesPerPixel == 1 && source.BytesPerPixel == 1 && !IsEmpty() && !source.IsEmpty()) {
    const std::int64_t firstRow = std::max<std::int64_t>(0, -std::int64_t{y});
    const std::int64_t lastRow =
        std::min<std::int64_t>(source.Bitmap.bmHeight, std::int64_t{Bitmap.bmHeight} - y);
    const std::int64_t firstByte = std::max<std::int64_t>(0, -std::int64_t{x});
    const std::int64_t lastByte =
        std::min<std::int64_t>(source.Bitmap.bmWidth, std::int64_t{Bitmap.bmWidth} - x);
    for (std::int64_t i = firstRow; i < lastRow; ++i) {
      const std::uint8_t* src = source.GetScanLine(static_cast<std::int32_t>(i));
      std::uint8_t* dst = GetScanLine(static_cast<std::int32_t>(y + i));
      for (std::int64_t j = firstByte; j < lastByte; ++j) {
        const int s = src[j];
        if (s == 0) continue;
        std::uint8_t& d = dst[x + j];
        d = static_cast<std::uint8_t>(std::min(s + d, 255));
      }
    }
  }
  LogMessage("exiting  " + kClass + "OverlayNonZeroMerge()...");
}

void BitmapImageClass::SetValueWhereNonZero(const BitmapImageClass& mask, std::uint8_t value) {
  if (mask.Bitmap.bmHeight != Bitmap.bmHeight || mask.Bitmap.bmWidthBytes != Bitmap.bmWidthBytes ||
      mask.IsEmpty() || IsEmpty()) {
    LogMessage("ERROR: mask does not match the image in height and row size!!!");
    return;
  }
  const std::uint8_t* m = mask.Bitmap.bmBits.get();
  std::uint8_t* p = Bitmap.bmBits.get();
  const std::size_t n = static_cast<std::size_t>(Bitmap.bmWidthBytes) * Bitmap.bmHeight;
  for (std::size_t i = 0; i < n; ++i)
    if (m[i] != 0) p[i] = value;
}
