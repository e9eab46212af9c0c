#include "DisplayColouring.h"

#include <algorithm>

#include "QuarterTurns.h"

namespace {

std::uint8_t LowByte(long double value) {
  return static_cast<std::uint8_t>(static_cast<std::int64_t>(value));  // truncated toward zero
}

}  // namespace

void BuildSingleHueTable(RgbQuad (&table)[256], int cutoff, std::uint32_t colour) {
  const int d = 256 - cutoff;
  auto factor = [d](std::uint32_t component) {
    return std::min(static_cast<float>(component & 0xFF) / static_cast<float>(d), 1.0f);
  };
  const float fr = factor(colour), fg = factor(colour >> 8), fb = factor(colour >> 16);
  for (int i = 0; i < 256; ++i) {
    if (i <= cutoff) {
      table[i] = RgbQuad{0, 0, 0, 0};
      continue;
    }
    table[i] = RgbQuad{LowByte(static_cast<long double>(i) * fb),
                       LowByte(static_cast<long double>(i) * fg),
                       LowByte(static_cast<long double>(i) * fr), 0};
  }
}

void BuildFullSpectrumTable(RgbQuad (&table)[256], int cutoff, int brightest) {
  const auto span = static_cast<std::uint16_t>(brightest - cutoff + 1);
  const float g = static_cast<float>(static_cast<long double>(span) * (1.0 / 6.0));
  for (int i = 0; i < 256; ++i) {
    std::uint8_t r = 0, gr = 0, b = 0;
    if (i < cutoff) {
      // black
    } else if (i >= brightest) {
      r = gr = b = 255;
    } else {
      int band = 6;
      for (int k = 1; k <= 5; ++k)
        if (i < cutoff + static_cast<long double>(k) * g) {
          band = k;
          break;
        }
      const long double x = i - cutoff;
      const float s = static_cast<float>((x - static_cast<long double>(band - 1) * g) / g * 255);
      switch (band) {
        case 1:
          r = 255, gr = LowByte(s), b = 0;
          break;
        case 2:
          r = LowByte(255.0L - s), gr = 255, b = 0;
          break;
        case 3:
          r = 0, gr = 255, b = LowByte(s);
          break;
        case 4:
          r = 0, gr = LowByte(255.0L - s), b = 255;
          break;
        case 5:
          r = LowByte(s), gr = 0, b = 255;
          break;
        default:
          r = 255, gr = 0, b = LowByte(255.0L - s);
          break;
      }
    }
    table[i] = RgbQuad{b, gr, r, 0};
  }
}

void ApplyDisplayColors(BitmapImageClass* image, TBitmap* display, bool fullSpectrum, int cutoff,
                        std::uint32_t colour) {
  if (image == nullptr || image->IsEmpty()) return;
  if (fullSpectrum) {
    std::uint8_t lowest = 0, highest = 0;
    if (image->Bitmap.bmWidth > 0 && image->Bitmap.bmHeight > 0)
      image->GetRangeGRAY(lowest, highest);
    BuildFullSpectrumTable(image->bmInfo.CLUT, cutoff, highest);
  } else {
    BuildSingleHueTable(image->bmInfo.CLUT, cutoff, colour);
  }
  if (display != nullptr) DrawImageToDisplay(*display, *image);
}

void DrawImageToDisplay(TBitmap& display, const BitmapImageClass& image) {
  if (image.IsEmpty() || image.BytesPerPixel != 1 || display.image.isNull()) return;
  if (display.image.format() != QImage::Format_BGR888) return;
  const int rows = std::min(display.Height(), image.Bitmap.bmHeight);
  const int columns = std::min(display.Width(), image.Bitmap.bmWidth);
  for (int r = 0; r < rows; ++r) {
    const std::uint8_t* src = image.GetScanLine(r);
    std::uint8_t* dst = display.ScanLine(display.Height() - 1 - r);
    for (int c = 0; c < columns; ++c, dst += 3) {
      const RgbQuad& q = image.bmInfo.CLUT[src[c]];
      dst[0] = q.rgbBlue;
      dst[1] = q.rgbGreen;
      dst[2] = q.rgbRed;
    }
  }
}

std::string ThresholdIndicatorText(int position) {
  const float share = static_cast<float>((255 - position) * 100) / 255.0f;
  return std::to_string(static_cast<int>(share)) + "%";
}

void Rotate180(BitmapImageClass& image) {
  RotateCounterClockwise(image, 180);
}
