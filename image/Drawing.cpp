// Points and lines drawn into the raster image, clipped to it.
#include <algorithm>
#include <cmath>
#include <string>

#include "BitmapImage.h"
#include "EventLog.h"
#include "PixelAccess.h"

namespace {

const std::string kClass = "BitmapImageClass::";

std::string Args(std::initializer_list<long long> values) {
  std::string text;
  for (long long v : values) text += (text.empty() ? "" : ", ") + std::to_string(v);
  return text;
}

// trunc(floor(q)) kept inside a range where every later step stays defined;
// the clipping that follows treats all values beyond the image alike.
std::int64_t FloorColumn(double q) {
  if (!(q > -4.0e9)) return -4000000000LL;
  if (q > 4.0e9) return 4000000000LL;
  return static_cast<std::int64_t>(std::floor(q));
}

std::int32_t ClipColumn(std::int64_t x, std::int32_t width) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(x, -1, width));
}

}  // namespace

void BitmapImageClass::DrawPoint(std::int32_t x, std::int32_t y, std::uint32_t colour) {
  const bool traced = EventLogEnabled();  // points are drawn by the thousand
  if (traced) LogMessage("entering " + kClass + "DrawPoint(" + Args({x, y, colour}) + ")...");
  if (!IsEmpty() && x >= 0 && x < Bitmap.bmWidth && y >= 0 && y < Bitmap.bmHeight)
    pixel::Set(GetScanLine(y), BytesPerPixel, x, colour);
  if (traced) LogMessage("exiting  " + kClass + "DrawPoint()...");
}

void BitmapImageClass::DrawLineHorizontal(std::int32_t x1, std::int32_t x2, std::int32_t y,
                                          std::uint32_t colour) {
  const bool traced = EventLogEnabled();
  if (traced)
    LogMessage("entering " + kClass + "DrawLineHorizontal(" + Args({x1, x2, y, colour}) + ")...");
  const std::int32_t from = std::max(std::min(x1, x2), 0);
  const std::int32_t to = std::min(std::max(x1, x2), Bitmap.bmWidth - 1);
  if (!IsEmpty() && y >= 0 && y < Bitmap.bmHeight) {
    std::uint8_t* row = GetScanLine(y);
    for (std::int32_t x = from; x <= to; ++x) pixel::Set(row, BytesPerPixel, x, colour);
  }
  if (traced) LogMessage("exiting  " + kClass + "DrawLineHorizontal()...");
}

void BitmapImageClass::DrawLineVertical(std::int32_t x, std::int32_t y1, std::int32_t y2,
                                        std::uint32_t colour) {
  LogMessage("entering " + kClass + "DrawLineVertical(" + Args({x, y1, y2, colour}) + ")...");
  const std::int32_t from = std::max(std::min(y1, y2), 0);
  const std::int32_t to = std::min(std::max(y1, y2), Bitmap.bmHeight - 1);
  if (!IsEmpty() && x >= 0 && x < Bitmap.bmWidth) {
    for (std::int32_t y = from; y <= to; ++y) pixel::Set(GetScanLine(y), BytesPerPixel, x, colour);
  }
  LogMessage("exiting  " + kClass + "DrawLineVertical()...");
}

void BitmapImageClass::DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                                std::uint32_t colour) {
  LogMessage("entering " + kClass + "DrawLine(" + Args({x1, y1, x2, y2, colour}) + ")...");
  if (x1 == x2) {
    DrawLineVertical(x1, y1, y2, colour);
  } else if (y1 == y2) {
    DrawLineHorizontal(x1, x2, y1, colour);
  } else {
    // Slope and intercept are single precision; the quotients are formed
    // from them, rounded to double, then floored.
    const float m = static_cast<float>(static_cast<long double>(std::int64_t{y2} - y1) /
                                       static_cast<long double>(std::int64_t{x2} - x1));
    const float c = static_cast<float>(static_cast<long double>(y1) -
                                       static_cast<long double>(x1) * static_cast<long double>(m));
    const std::int32_t from = std::max(std::min(y1, y2), 0);
    const std::int32_t to = std::min(std::max(y1, y2), Bitmap.bmHeight - 1);
    for (std::int32_t y = from; y <= to; ++y) {
      const std::int64_t xa =
          FloorColumn(static_cast<double>((static_cast<long double>(y) - c) / m));
      const std::int64_t xb =
          FloorColumn(static_cast<double>((static_cast<long double>(y) + 1 - c) / m));
      if (std::llabs(xb - xa) < 2)
        DrawPoint(ClipColumn(xa, Bitmap.bmWidth), y, colour);
      else
        DrawLineHorizontal(ClipColumn(xa, Bitmap.bmWidth), ClipColumn(xb - 1, Bitmap.bmWidth), y,
                           colour);
    }
  }
  LogMessage("exiting  " + kClass + "DrawLine()...");
}
