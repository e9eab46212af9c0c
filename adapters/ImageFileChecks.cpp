#include "ImageFileChecks.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "TiffLayout.h"

namespace {

using Bytes = std::string_view;

std::uint32_t U8(Bytes b, std::size_t at) {
  return static_cast<unsigned char>(b[at]);
}
std::uint32_t BE16(Bytes b, std::size_t at) {
  return U8(b, at) << 8 | U8(b, at + 1);
}
std::uint32_t BE32(Bytes b, std::size_t at) {
  return BE16(b, at) << 16 | BE16(b, at + 2);
}
std::uint32_t LE16(Bytes b, std::size_t at) {
  return U8(b, at) | U8(b, at + 1) << 8;
}
std::uint32_t LE32(Bytes b, std::size_t at) {
  return LE16(b, at) | LE16(b, at + 2) << 16;
}

std::string N(std::uint64_t value) {
  return std::to_string(value);
}

std::string CutOff(Bytes b) {
  return "cut off after " + N(b.size()) + " bytes";
}

// What the bytes hold when they are not the kind expected, as far as known.
std::string Content(Bytes b) {
  if (b.substr(0, 3) == Bytes("\xFF\xD8\xFF", 3)) return "a JPEG image";
  if (b.substr(0, 8) == Bytes("\x89PNG\r\n\x1A\n", 8)) return "a PNG image";
  if (b.substr(0, 2) == "BM") return "a BMP image";
  if (b.substr(0, 4) == "GIF8") return "a GIF image";
  if (b.substr(0, 4) == Bytes("II*\0", 4) || b.substr(0, 4) == Bytes("MM\0*", 4))
    return "a TIFF image";
  if (b.substr(0, 5) == "%PDF-") return "a PDF document";
  const Bytes start = b.substr(0, 512);
  for (char c : start)
    if (!std::isprint(static_cast<unsigned char>(c)) &&
        !std::isspace(static_cast<unsigned char>(c)))
      return {};
  return "text";
}

std::string NotA(ImageFileKind kind, Bytes b) {
  const std::string content = Content(b);
  return std::string("not a ") + ImageFileKindName(kind) + " file" +
         (content.empty() ? "" : " (it holds " + content + ")");
}

// The reason a width and height cannot be decoded, or nothing.
std::optional<std::string> CheckSize(std::int64_t width, std::int64_t height,
                                     std::uint64_t bytesPerPixel, std::uint64_t limitBytes) {
  if (width <= 0 || height <= 0)
    return "its size is " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * bytesPerPixel >
      limitBytes)
    return "its " + N(static_cast<std::uint64_t>(width)) + " x " +
           N(static_cast<std::uint64_t>(height)) + " pixels need more than " + N(limitBytes >> 20) +
           " MB";
  return std::nullopt;
}

bool IsFrameMarker(std::uint32_t m) {
  return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// Segments from the start marker to the first scan; the frame header gives
// the size. A whole file has an end marker after the scan.
std::optional<std::string> CheckJpeg(Bytes b, std::uint64_t limit) {
  if (b.size() < 3 || b.substr(0, 3) != Bytes("\xFF\xD8\xFF", 3))
    return NotA(ImageFileKind::kJpeg, b);
  std::size_t pos = 2;
  std::int64_t width = -1, height = -1;
  std::uint32_t components = 0;
  while (true) {
    if (pos >= b.size()) return CutOff(b);
    if (U8(b, pos) != 0xFF) return "damaged (no marker at byte " + N(pos) + ")";
    while (pos < b.size() && U8(b, pos) == 0xFF) ++pos;
    if (pos >= b.size()) return CutOff(b);
    const std::uint32_t marker = U8(b, pos++);
    if (marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) continue;
    if (marker == 0xD9) return "damaged (it ends before its image data)";
    if (pos + 2 > b.size()) return CutOff(b);
    const std::uint32_t length = BE16(b, pos);
    if (length < 2) return "damaged (a segment of length " + N(length) + " at byte " + N(pos) + ")";
    if (pos + length > b.size()) return CutOff(b);
    if (IsFrameMarker(marker) && length >= 8) {
      height = BE16(b, pos + 3);
      width = BE16(b, pos + 5);
      components = U8(b, pos + 7);
    }
    pos += length;
    if (marker == 0xDA) break;
  }
  if (width < 0) return "damaged (it has no frame header)";
  if (auto problem = CheckSize(width, height, components == 1 ? 1 : 4, limit)) return problem;
  const std::size_t end = b.rfind(Bytes("\xFF\xD9", 2));
  if (end == Bytes::npos || end < pos) return CutOff(b);
  return std::nullopt;
}

bool ValidPngDepth(std::uint32_t colourType, std::uint32_t depth) {
  switch (colourType) {
    case 0:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6:
      return depth == 8 || depth == 16;
    default:
      return false;
  }
}

// The bytes of each row in the image data (a filter byte and the pixels),
// pass by pass for an interlaced image.
std::vector<std::uint64_t> RowSizes(std::uint64_t width, std::uint64_t height,
                                    std::uint64_t bitsPerPixel, bool interlaced) {
  std::vector<std::uint64_t> rows;  // (row bytes, count) pairs
  auto add = [&](std::uint64_t w, std::uint64_t h) {
    if (w == 0 || h == 0) return;
    rows.push_back(1 + (w * bitsPerPixel + 7) / 8);
    rows.push_back(h);
  };
  if (!interlaced) {
    add(width, height);
    return rows;
  }
  static const int kPass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                  {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  for (const auto& p : kPass)
    add((width + p[2] - 1 - p[0]) / p[2], (height + p[3] - 1 - p[1]) / p[3]);
  return rows;
}

// Unpacks the image data, the parts one after the other as one stream, and
// checks that it holds every row, each with a known filter type.
std::optional<std::string> CheckImageData(const std::vector<Bytes>& packed,
                                          const std::vector<std::uint64_t>& rows) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return "its image data cannot be unpacked (out of memory)";
  std::size_t part = 0;
  auto feed = [&] {
    while (z.avail_in == 0 && part < packed.size()) {
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed[part].data()));
      z.avail_in = static_cast<uInt>(packed[part].size());
      ++part;
    }
  };
  std::array<unsigned char, 65536> out;
  std::size_t group = 0;
  std::uint64_t rowsLeft = rows.empty() ? 0 : rows[1], inRow = 0;  // bytes left in this row
  std::optional<std::string> problem;
  int status = Z_OK;
  while (!problem && group < rows.size()) {
    feed();
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    status = inflate(&z, Z_NO_FLUSH);
    const std::size_t got = out.size() - z.avail_out;
    for (std::size_t i = 0; i < got && group < rows.size();) {
      if (inRow == 0) {
        if (out[i] > 4) {
          problem = "damaged (a row of its image data has the unknown filter " + N(out[i]) + ")";
          break;
        }
        inRow = rows[group];
      }
      const std::uint64_t take = std::min<std::uint64_t>(inRow, got - i);
      inRow -= take;
      i += take;
      if (inRow == 0 && --rowsLeft == 0 && (group += 2) < rows.size()) rowsLeft = rows[group + 1];
    }
    if (status == Z_STREAM_END || (status != Z_OK && status != Z_BUF_ERROR)) break;
    if (status == Z_BUF_ERROR && z.avail_in == 0 && part == packed.size()) break;
  }
  inflateEnd(&z);
  if (problem) return problem;
  if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
    return "damaged (its image data cannot be unpacked)";
  if (group < rows.size()) return "damaged (its image data ends early)";
  return std::nullopt;
}

std::string ChunkName(Bytes type) {
  for (char c : type)
    if (!std::isalpha(static_cast<unsigned char>(c))) return "a";
  return "its " + std::string(type);
}

// Every chunk whole and matching its checksum, the header first and valid,
// a palette where one is needed, no unknown essential chunk, the end chunk
// last, and image data that unpacks to every row.
std::optional<std::string> CheckPng(Bytes b, std::uint64_t limit) {
  if (b.size() < 8 || b.substr(0, 8) != Bytes("\x89PNG\r\n\x1A\n", 8))
    return NotA(ImageFileKind::kPng, b);
  std::size_t pos = 8;
  bool header = false, palette = false;
  std::uint32_t width = 0, height = 0, depth = 0, colourType = 0, interlace = 0;
  std::vector<Bytes> packed;  // the image data chunks' contents, in order
  bool anyData = false;
  while (true) {
    if (b.size() - pos < 12) return CutOff(b);
    const std::uint64_t length = BE32(b, pos);
    const Bytes type = b.substr(pos + 4, 4);
    const Bytes data = b.substr(pos + 8, std::min<std::uint64_t>(length, b.size() - pos - 8));
    if (length > 0x7FFFFFFF) return "damaged (" + ChunkName(type) + " chunk is too long)";
    if (b.size() - pos - 12 < length) return CutOff(b);
    if (Crc32(b.substr(pos + 4, 4 + length)) != BE32(b, pos + 8 + length))
      return "damaged (" + ChunkName(type) + " chunk fails its checksum)";
    if (ChunkName(type) == "a") return "damaged (a chunk without a name at byte " + N(pos) + ")";
    if (!header) {
      if (type != "IHDR" || length != 13) return "damaged (it does not start with its header)";
      width = BE32(data, 0);
      height = BE32(data, 4);
      depth = U8(data, 8);
      colourType = U8(data, 9);
      interlace = U8(data, 12);
      if (!ValidPngDepth(colourType, depth) || U8(data, 10) != 0 || U8(data, 11) != 0 ||
          interlace > 1)
        return "damaged (its header holds an unknown pixel layout)";
      if (width > 0x7FFFFFFF || height > 0x7FFFFFFF) return "damaged (its header is invalid)";
      // The PNG decoder takes no side longer than this, however few pixels.
      constexpr std::uint32_t kLongestSide = 1000000;
      if (width > kLongestSide || height > kLongestSide)
        return "its " + N(width) + " x " + N(height) + " pixels have a side longer than " +
               N(kLongestSide) + " pixels, more than PNG files are read with";
      const std::uint64_t bytesPerPixel = colourType == 0   ? (depth == 16 ? 2 : 1)
                                          : colourType == 3 ? 1
                                          : colourType == 4 ? 4
                                                            : (depth == 16 ? 8 : 4);
      if (auto problem = CheckSize(width, height, bytesPerPixel, limit)) return problem;
      header = true;
    } else if (type == "IHDR") {
      return "damaged (it has a second header)";
    } else if (type == "PLTE") {
      if (length == 0 || length % 3 != 0 || length > 768) return "damaged (its palette is invalid)";
      palette = true;
    } else if (type == "IDAT") {
      if (colourType == 3 && !palette) return "damaged (its palette is missing)";
      packed.push_back(data);
      anyData |= !data.empty();
    } else if (type != "IEND" && std::isupper(static_cast<unsigned char>(type[0]))) {
      return "damaged (it holds the unknown essential chunk " + std::string(type) + ")";
    }
    pos += 12 + length;
    if (type == "IEND") break;
  }
  if (!anyData) return "damaged (it holds no image data)";
  static const int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
  return CheckImageData(
      packed,
      RowSizes(width, height, std::uint64_t{depth} * kChannels[colourType], interlace == 1));
}

// The headers, the size, and uncompressed rows that fit in the file.
std::optional<std::string> CheckBmp(Bytes b, std::uint64_t limit) {
  if (b.size() < 2 || b.substr(0, 2) != "BM") return NotA(ImageFileKind::kBmp, b);
  if (b.size() < 18) return CutOff(b);
  const std::uint32_t infoSize = LE32(b, 14);
  if (infoSize < 12) return "damaged (its info header is " + N(infoSize) + " bytes long)";
  const bool core = infoSize < 40;
  if (b.size() < 14 + (core ? 12u : 40u)) return CutOff(b);
  std::int64_t width, height;
  std::uint32_t bits, compression = 0;
  if (core) {
    width = LE16(b, 18);
    height = LE16(b, 20);
    bits = LE16(b, 24);
  } else {
    width = static_cast<std::int32_t>(LE32(b, 18));
    height = static_cast<std::int32_t>(LE32(b, 22));
    bits = LE16(b, 28);
    compression = LE32(b, 30);
  }
  if (auto problem = CheckSize(width, std::llabs(height), bits <= 8 ? 1 : 4, limit)) return problem;
  std::uint64_t need = LE32(b, 10);
  if (compression == 0 || compression == 3)
    need += static_cast<std::uint64_t>((width * bits + 31) / 32 * 4) *
            static_cast<std::uint64_t>(std::llabs(height));
  if (need > b.size()) return "cut off after " + N(b.size()) + " of " + N(need) + " bytes";
  return std::nullopt;
}

// The first page's tags, its size, and samples, compression and strips the
// decoder reads.
std::optional<std::string> CheckTiff(Bytes b, std::uint64_t limit) {
  if (!LooksLikeTiff(b)) return NotA(ImageFileKind::kTiff, b);
  TiffLayout layout;
  if (auto problem = ReadTiffLayout(b, layout)) return problem;
  // Decoded: 8-bit grey 1 byte a pixel, 16-bit grey 2, colour 4 or 8.
  const std::uint64_t bytesPerPixel =
      std::max(1u, layout.bitsPerSample / 8) * (layout.samplesPerPixel > 2 ? 4 : 1);
  if (auto problem = CheckSize(layout.width, layout.height, bytesPerPixel, limit)) return problem;
  return TiffLayoutProblem(layout, b.size());
}

}  // namespace

const char* ImageFileKindName(ImageFileKind kind) {
  switch (kind) {
    case ImageFileKind::kJpeg:
      return "JPEG";
    case ImageFileKind::kPng:
      return "PNG";
    case ImageFileKind::kTiff:
      return "TIFF";
    default:
      return "BMP";
  }
}

std::optional<std::string> CheckImageFile(std::string_view bytes, ImageFileKind kind,
                                          std::uint64_t limitBytes) {
  if (bytes.empty()) return "the file is empty";
  switch (kind) {
    case ImageFileKind::kJpeg:
      return CheckJpeg(bytes, limitBytes);
    case ImageFileKind::kPng:
      return CheckPng(bytes, limitBytes);
    case ImageFileKind::kTiff:
      return CheckTiff(bytes, limitBytes);
    default:
      return CheckBmp(bytes, limitBytes);
  }
}

// zlib's CRC-32 is the one of PNG chunks, and works on several bytes at a
// time; lengths beyond its 32-bit count are fed in parts.
std::uint32_t Crc32(std::string_view bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  while (!bytes.empty()) {
    const auto part = static_cast<uInt>(std::min<std::size_t>(bytes.size(), 1u << 30));
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), part);
    bytes.remove_prefix(part);
  }
  return static_cast<std::uint32_t>(crc);
}
