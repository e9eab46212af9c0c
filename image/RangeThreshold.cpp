// Grey ranges, contrast stretches and thresholds of the raster image.
#include <algorithm>
#include <string>

#include "BitmapImage.h"
#include "EventLog.h"
#include "GreyValue.h"

namespace {

const std::string kClass = "BitmapImageClass::";

// The extremes of an image: 8-bit bytes (optionally skipping zeros) with
// 16-bit start values of which the low bytes are returned; the grey value of
// colour pixels as single-precision numbers, truncated. 16-bit images give
// nothing.
bool Range(const BitmapImageClass& image, bool skipZero, std::uint8_t& minimum,
           std::uint8_t& maximum) {
  const int bytes = image.BytesPerPixel;
  const int width = image.IsEmpty() ? 0 : image.Bitmap.bmWidth;
  const int height = image.IsEmpty() ? 0 : image.Bitmap.bmHeight;
  if (bytes == 1) {
    int lo = 32767, hi = -32768;
    for (int r = 0; r < height; ++r) {
      const std::uint8_t* row = image.GetScanLine(r);
      int rowLo = 256, rowHi = -1;
      if (skipZero) {
        for (int x = 0; x < width; ++x)
          if (row[x] != 0) {
            rowLo = std::min<int>(rowLo, row[x]);
            rowHi = std::max<int>(rowHi, row[x]);
          }
      } else {
        for (int x = 0; x < width; ++x) {
          rowLo = std::min<int>(rowLo, row[x]);
          rowHi = std::max<int>(rowHi, row[x]);
        }
      }
      if (rowHi >= 0) {
        lo = std::min(lo, rowLo);
        hi = std::max(hi, rowHi);
      }
    }
    minimum = static_cast<std::uint8_t>(lo);
    maximum = static_cast<std::uint8_t>(hi);
    return true;
  }
  if (bytes >= 3) {
    float lo = 1.0e9f, hi = -1.0e9f;
    for (int r = 0; r < height; ++r) {
      const std::uint8_t* p = image.GetScanLine(r);
      for (int x = 0; x < width; ++x, p += bytes) {
        const float g = GreyValueFloat(p[2], p[1], p[0]);
        lo = std::min(lo, g);
        hi = std::max(hi, g);
      }
    }
    minimum = static_cast<std::uint8_t>(static_cast<std::int32_t>(lo));
    maximum = static_cast<std::uint8_t>(static_cast<std::int32_t>(hi));
    return true;
  }
  return false;
}

}  // namespace

void BitmapImageClass::GetRangeGRAY(std::uint8_t& minimum, std::uint8_t& maximum) const {
  LogMessage("entering " + kClass + "GetRangeGRAY()...");
  Range(*this, false, minimum, maximum);
  LogMessage("exiting  " + kClass + "GetRangeGRAY()...");
}

void BitmapImageClass::GetRangeNonZeroGRAY(std::uint8_t& minimum, std::uint8_t& maximum) const {
  LogMessage("entering " + kClass + "GetRangeNonZeroGRAY()...");
  // Zero pixels are skipped on grey images only.
  Range(*this, BytesPerPixel == 1, minimum, maximum);
  LogMessage("exiting  " + kClass + "GetRangeNonZeroGRAY()...");
}

void BitmapImageClass::Stretch(const char* name, std::uint8_t low, std::uint8_t high,
                               bool nonZero) {
  LogMessage("entering " + kClass + name + "(" + std::to_string(low) + ", " + std::to_string(high) +
             ")...");
  std::uint8_t lo = 0, hi = 0;
  if (BytesPerPixel != 2 && !IsEmpty()) {
    if (nonZero)
      GetRangeNonZeroGRAY(lo, hi);
    else
      GetRangeGRAY(lo, hi);
    const int from = std::max(lo, low);
    const int to = std::min(hi, high);
    float d = static_cast<float>(to - from);
    if (d == 0) d = 1;
    const float scale = 255.0f / d;
    // Every byte value maps the same way: one table serves the whole image.
    std::uint8_t table[256];
    for (int b = 0; b < 256; ++b) {
      const float v = static_cast<float>(b - from) * scale;
      table[b] = v < 0 ? 0 : v > 255 ? 255 : static_cast<std::uint8_t>(v);
    }
    for (int r = 0; r < Bitmap.bmHeight; ++r) {
      std::uint8_t* row = GetScanLine(r);
      for (int i = 0; i < RowPixelBytes(); ++i) row[i] = table[row[i]];
    }
  }
  LogMessage("exiting  " + kClass + name + "()...");
}

void BitmapImageClass::RangeGRAY(std::uint8_t low, std::uint8_t high) {
  Stretch("RangeGRAY", low, high, false);
}

void BitmapImageClass::RangeNonZeroGRAY(std::uint8_t low, std::uint8_t high) {
  Stretch("RangeNonZeroGRAY", low, high, true);
}

std::int32_t BitmapImageClass::ThresholdGRAY(std::uint8_t low, std::uint8_t high) {
  LogMessage("entering " + kClass + "ThresholdGRAY(" + std::to_string(low) + ", " +
             std::to_string(high) + ")...");
  std::int32_t count = 0;
  const int width = IsEmpty() ? 0 : Bitmap.bmWidth;
  const int height = IsEmpty() ? 0 : Bitmap.bmHeight;
  if (BytesPerPixel == 1) {
    for (int r = 0; r < height; ++r) {
      std::uint8_t* row = GetScanLine(r);
      std::int32_t rowCount = 0;
      for (int x = 0; x < width; ++x) {
        const bool inside = row[x] >= low && row[x] <= high;
        rowCount += inside;
        row[x] = inside ? 0 : 255;
      }
      count += rowCount;
    }
  } else if (BytesPerPixel >= 3) {
    for (int r = 0; r < height; ++r) {
      std::uint8_t* p = GetScanLine(r);
      for (int x = 0; x < width; ++x, p += BytesPerPixel) {
        const float g = GreyValueFloat(p[2], p[1], p[0]);
        const bool inside = g >= low && g <= high;
        count += inside;
        p[0] = p[1] = p[2] = inside ? 0 : 255;
      }
    }
  }
  LogMessage("exiting  " + kClass + "ThresholdGRAY(" + std::to_string(count) + ")...");
  return count;
}

void BitmapImageClass::SuppressOutsideRangeGRAY(std::uint8_t low, std::uint8_t high) {
  BitmapImageClass copy(*this);
  copy.ThresholdGRAY(low, high);
  const std::uint8_t value = (low + high) / 2 < 128 ? 255 : 0;
  SetValueWhereNonZero(copy, value);
}
