#include "WideSamples.h"

#include <algorithm>
#include <vector>

#include "EventLog.h"
#include "SampleScaling.h"

bool HasWideSamples(const QImage& decoded) {
  switch (decoded.format()) {
    case QImage::Format_Grayscale16:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
      return true;
    default:
      return false;
  }
}

QImage EightBitSamples(const QImage& decoded, int fileBits, const std::string& source) {
  const bool grey = decoded.format() == QImage::Format_Grayscale16;
  // Colour as four 16-bit samples a pixel, red first, alpha not applied.
  const QImage wide = grey ? decoded : decoded.convertToFormat(QImage::Format_RGBA64);
  const int width = wide.width(), height = wide.height();
  const int samples = grey ? 1 : 4;
  std::uint16_t largest = 0;
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const std::uint16_t*>(wide.constScanLine(y));
    for (int i = 0; i < width * samples; ++i)
      if (grey || i % 4 != 3) largest = std::max(largest, row[i]);
  }
  const int bits = SignificantBitsOf(largest, fileBits);
  LogNote((source.empty() ? "" : source + ": ") + SampleScalingText(bits, fileBits, largest));
  QImage out(width, height, grey ? QImage::Format_Grayscale8 : QImage::Format_BGR888);
  if (out.isNull()) return out;
  std::vector<std::uint8_t> levels(static_cast<std::size_t>(width) * samples);
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const std::uint16_t*>(wide.constScanLine(y));
    std::uint8_t* dst = out.scanLine(y);
    if (grey) {
      ScaleSamples(row, dst, static_cast<std::size_t>(width), bits);
      continue;
    }
    ScaleSamples(row, levels.data(), levels.size(), bits);
    for (int x = 0; x < width; ++x) {  // red, green, blue, alpha to blue, green, red
      dst[3 * x] = levels[4 * x + 2];
      dst[3 * x + 1] = levels[4 * x + 1];
      dst[3 * x + 2] = levels[4 * x];
    }
  }
  return out;
}

int PngSignificantBits(std::string_view bytes) {
  auto be32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
  };
  if (bytes.size() < 33) return 0;
  const int colourType = static_cast<unsigned char>(bytes[25]);
  // Colour (or grey) entries of the chunk; alpha comes last and is left out.
  const std::size_t colours = (colourType == 2 || colourType == 3 || colourType == 6) ? 3 : 1;
  for (std::size_t pos = 8; pos + 8 <= bytes.size();) {
    const std::uint32_t length = be32(pos);
    const std::string_view type = bytes.substr(pos + 4, 4);
    if (type == "IDAT" || type == "IEND") break;
    if (type == "sBIT" && length >= colours && pos + 8 + length <= bytes.size()) {
      int bits = 0;
      for (std::size_t i = 0; i < colours; ++i)
        bits = std::max(bits, static_cast<int>(static_cast<unsigned char>(bytes[pos + 8 + i])));
      return bits;
    }
    pos += 12 + static_cast<std::size_t>(length);
  }
  return 0;
}
