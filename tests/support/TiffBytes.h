#pragma once

// TIFF files made byte by byte for tests and fuzz seeds: uncompressed,
// one strip (or square tiles) a page, any depth and sample format the
// tags can state, either byte order.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

struct TiffRecipe {
  int width = 0, height = 0;
  int bits = 8;                       // per sample: 1, 8, 16 or 32 (32 with format 3: floats)
  int samples = 1;                    // per pixel
  int photometric = 1;                // 1 grey (black is zero), 2 RGB
  int sampleFormat = 1;               // 1 unsigned, 3 floating point
  int compression = 1;                // stated only; the data are always uncompressed
  std::vector<std::uint32_t> values;  // width x height x samples, rows from the top;
                                      // none: no pixel data at all
  std::optional<std::uint32_t> maxSampleValue;
  int pages = 1;  // further pages repeat the first
  bool bigEndian = false;
  int tile = 0;  // 0: one strip; else square tiles of this side
  // A metadata tag (ImageJ's) claiming this many bytes that lie past the
  // end of the file; 0: none.
  std::uint32_t metadataBytes = 0;
};

inline std::string TiffBytes(const TiffRecipe& s) {
  std::string out;
  auto put = [&](std::string& to, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
      const int shift = s.bigEndian ? 8 * (bytes - 1 - i) : 8 * i;
      to.push_back(static_cast<char>((v >> shift) & 0xFF));
    }
  };
  auto patch32 = [&](std::size_t at, std::uint32_t v) {
    std::string b;
    put(b, v, 4);
    out.replace(at, 4, b);
  };
  // The pixel bytes of the rectangle (x0, y0, w, h), rows padded to bytes.
  auto pixels = [&](int x0, int y0, int w, int h) {
    std::string data;
    if (s.values.empty()) return data;
    for (int y = y0; y < y0 + h; ++y) {
      std::uint32_t bitsBuffer = 0;
      int bitCount = 0;
      for (int x = x0; x < x0 + w; ++x)
        for (int k = 0; k < s.samples; ++k) {
          const bool inside = x < s.width && y < s.height;
          const std::uint32_t v =
              inside ? s.values[(static_cast<std::size_t>(y) * s.width + x) * s.samples + k] : 0;
          if (s.bits == 1) {
            bitsBuffer = bitsBuffer << 1 | (v & 1);
            if (++bitCount == 8) data.push_back(static_cast<char>(bitsBuffer)), bitCount = 0;
          } else if (s.bits == 32 && s.sampleFormat == 3) {
            const float f = static_cast<float>(v);
            std::uint32_t raw;
            std::memcpy(&raw, &f, 4);
            put(data, raw, 4);
          } else {
            put(data, v, s.bits / 8);
          }
        }
      if (bitCount != 0) data.push_back(static_cast<char>(bitsBuffer << (8 - bitCount)));
    }
    return data;
  };
  out = s.bigEndian ? std::string("MM\0*", 4) : std::string("II*\0", 4);
  put(out, 0, 4);  // first page offset, patched
  std::size_t link = 4;
  for (int page = 0; page < s.pages; ++page) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> parts;  // offset, bytes
    const int side = s.tile;
    const int across = side ? (s.width + side - 1) / side : 1;
    const int down = side ? (s.height + side - 1) / side : 1;
    for (int ty = 0; ty < down; ++ty)
      for (int tx = 0; tx < across; ++tx) {
        const std::string data =
            side ? pixels(tx * side, ty * side, side, side) : pixels(0, 0, s.width, s.height);
        parts.emplace_back(out.size(), data.size());
        out += data;
        if (out.size() % 2) out.push_back('\0');
      }
    struct Entry {
      std::uint16_t tag, type;
      std::vector<std::uint32_t> values;
    };
    std::vector<std::uint32_t> offsets, counts;
    for (const auto& [offset, bytes] : parts) {
      offsets.push_back(static_cast<std::uint32_t>(offset));
      counts.push_back(static_cast<std::uint32_t>(bytes));
    }
    std::vector<Entry> entries = {
        {256, 4, {static_cast<std::uint32_t>(s.width)}},
        {257, 4, {static_cast<std::uint32_t>(s.height)}},
        {258, 3, std::vector<std::uint32_t>(static_cast<std::size_t>(s.samples), s.bits)},
        {259, 3, {static_cast<std::uint32_t>(s.compression)}},
        {262, 3, {static_cast<std::uint32_t>(s.photometric)}},
        {static_cast<std::uint16_t>(side ? 324 : 273), 4, offsets},
        {277, 3, {static_cast<std::uint32_t>(s.samples)}},
    };
    if (!side) entries.push_back({278, 4, {static_cast<std::uint32_t>(s.height)}});
    entries.push_back({static_cast<std::uint16_t>(side ? 325 : 279), 4, counts});
    if (s.maxSampleValue) entries.push_back({281, 3, {*s.maxSampleValue}});
    if (side) {
      entries.push_back({322, 3, {static_cast<std::uint32_t>(side)}});
      entries.push_back({323, 3, {static_cast<std::uint32_t>(side)}});
    }
    entries.push_back({339, 3, {static_cast<std::uint32_t>(s.sampleFormat)}});
    if (s.metadataBytes != 0) entries.push_back({50839, 1, {}});
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    const std::size_t ifd = out.size();
    patch32(link, static_cast<std::uint32_t>(ifd));
    std::string extra;
    const std::size_t extraAt = ifd + 2 + entries.size() * 12 + 4;
    put(out, entries.size(), 2);
    for (const Entry& e : entries) {
      const int size = e.type == 3 ? 2 : 4;
      put(out, e.tag, 2);
      put(out, e.type, 2);
      if (e.tag == 50839) {
        put(out, s.metadataBytes, 4);
        put(out, 0x7FFFFFF0u, 4);
        continue;
      }
      put(out, e.values.size(), 4);
      std::string values;
      for (std::uint32_t v : e.values) put(values, v, size);
      if (values.size() <= 4) {
        values.resize(4, '\0');
        out += values;
      } else {
        put(out, extraAt + extra.size(), 4);
        extra += values;
      }
    }
    link = out.size();
    put(out, 0, 4);  // next page, patched by the next page
    out += extra;
    if (out.size() % 2) out.push_back('\0');
  }
  return out;
}

}  // namespace testing_support
