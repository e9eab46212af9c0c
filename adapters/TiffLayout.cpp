#include "TiffLayout.h"

#include <algorithm>
#include <iterator>
#include <set>

namespace {

using Bytes = std::string_view;

// Reads the file's numbers in its byte order; positions are checked by the
// callers.
struct Reader {
  Bytes b;
  bool bigEndian = false;

  std::uint32_t U8(std::uint64_t at) const {
    return static_cast<unsigned char>(b[static_cast<std::size_t>(at)]);
  }
  std::uint32_t U16(std::uint64_t at) const {
    return bigEndian ? U8(at) << 8 | U8(at + 1) : U8(at) | U8(at + 1) << 8;
  }
  std::uint32_t U32(std::uint64_t at) const {
    return bigEndian ? U16(at) << 16 | U16(at + 2) : U16(at) | U16(at + 2) << 16;
  }
};

std::string CutOff(Bytes b) {
  return "cut off after " + std::to_string(b.size()) + " bytes";
}

// Bytes per value of the field types that hold whole numbers; 0 for others.
std::uint64_t TypeSize(std::uint32_t type) {
  switch (type) {
    case 1:  // BYTE
    case 6:  // SBYTE
    case 7:  // UNDEFINED
      return 1;
    case 3:  // SHORT
    case 8:  // SSHORT
      return 2;
    case 4:  // LONG
    case 9:  // SLONG
      return 4;
    default:
      return 0;
  }
}

// One directory entry: its values as whole numbers.
struct Entry {
  std::uint32_t tag = 0;
  std::vector<std::uint64_t> values;
};

// The tags the layout is made of; the values of any other (metadata, colour
// profiles, which can be tens of megabytes) are never read.
bool IsLayoutTag(std::uint32_t tag) {
  constexpr std::uint32_t kTags[] = {256, 257, 258, 259, 262, 273, 277, 278,
                                     279, 281, 284, 322, 323, 324, 325, 339};
  return std::find(std::begin(kTags), std::end(kTags), tag) != std::end(kTags);
}

std::optional<std::string> ReadEntry(const Reader& r, std::uint64_t at, Entry& entry) {
  entry.tag = r.U16(at);
  if (!IsLayoutTag(entry.tag)) return std::nullopt;
  const std::uint32_t type = r.U16(at + 2);
  const std::uint64_t count = r.U32(at + 4);
  const std::uint64_t size = TypeSize(type);
  if (size == 0) return std::nullopt;  // rationals, text, ...: no tag read here needs them
  std::uint64_t where = at + 8;
  if (count * size > 4) {
    where = r.U32(at + 8);
    if (where + count * size > r.b.size()) return CutOff(r.b);
  }
  entry.values.resize(static_cast<std::size_t>(count));
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t p = where + i * size;
    entry.values[i] = size == 1 ? r.U8(p) : size == 2 ? r.U16(p) : r.U32(p);
  }
  return std::nullopt;
}

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) {
  return (a + b - 1) / b;
}

}  // namespace

bool LooksLikeTiff(std::string_view bytes) {
  return bytes.substr(0, 4) == Bytes("II*\0", 4) || bytes.substr(0, 4) == Bytes("MM\0*", 4) ||
         bytes.substr(0, 4) == Bytes("II+\0", 4) || bytes.substr(0, 4) == Bytes("MM\0+", 4);
}

std::optional<std::string> ReadTiffLayout(std::string_view bytes, TiffLayout& layout) {
  Reader r{bytes, bytes.substr(0, 2) == "MM"};
  if (bytes.size() < 8) return CutOff(bytes);
  if (r.U16(2) == 43) return "a BigTIFF file, which is not read";
  const std::uint64_t first = r.U32(4);
  std::uint64_t ifd = first;
  if (ifd < 8) return "damaged (its first page starts at byte " + std::to_string(ifd) + ")";
  // Follows the chain of pages, reading the tags of the first.
  std::set<std::uint64_t> seen;
  layout.pages = 0;
  while (ifd != 0) {
    if (!seen.insert(ifd).second) break;  // a loop of pages: each counts once
    if (ifd + 2 > bytes.size()) return CutOff(bytes);
    const std::uint64_t count = r.U16(ifd);
    if (ifd + 2 + count * 12 + 4 > bytes.size()) return CutOff(bytes);
    ++layout.pages;
    if (ifd == first) {
      for (std::uint64_t i = 0; i < count; ++i) {
        Entry e;
        if (auto problem = ReadEntry(r, ifd + 2 + i * 12, e)) return problem;
        if (e.values.empty()) continue;
        const std::uint64_t v = e.values[0];
        switch (e.tag) {
          case 256:
            layout.width = static_cast<std::int64_t>(v);
            break;
          case 257:
            layout.height = static_cast<std::int64_t>(v);
            break;
          case 258:
            layout.bitsPerSample = static_cast<std::uint32_t>(v);
            for (std::uint64_t other : e.values) layout.mixedDepths |= other != v;
            break;
          case 259:
            layout.compression = static_cast<std::uint32_t>(v);
            break;
          case 262:
            layout.photometric = static_cast<std::uint32_t>(v);
            break;
          case 273:
          case 324:
            layout.offsets = e.values;
            layout.tiled |= e.tag == 324;
            break;
          case 277:
            layout.samplesPerPixel = static_cast<std::uint32_t>(v);
            break;
          case 278:
            layout.rowsPerStrip = v;
            break;
          case 279:
          case 325:
            layout.byteCounts = e.values;
            break;
          case 281:
            layout.maxSampleValue = v;
            break;
          case 284:
            layout.planar = static_cast<std::uint32_t>(v);
            break;
          case 322:
            layout.tileWidth = v;
            break;
          case 323:
            layout.tileLength = v;
            break;
          case 339:
            layout.sampleFormat = static_cast<std::uint32_t>(v);
            break;
          default:
            break;
        }
      }
    }
    ifd = r.U32(ifd + 2 + count * 12);
  }
  if (layout.width < 0 || layout.height < 0) return "damaged (its first page has no size)";
  return std::nullopt;
}

std::optional<std::string> TiffLayoutProblem(const TiffLayout& layout, std::uint64_t fileSize) {
  const std::string readable = "; grey or RGB samples of 8 or 16 bits are read";
  if (layout.sampleFormat == 3) return "its samples are floating-point numbers" + readable;
  if (layout.sampleFormat == 2) return "its samples are signed numbers" + readable;
  if (layout.sampleFormat != 1)
    return "its samples are of an unknown kind (" + std::to_string(layout.sampleFormat) + ")";
  if (layout.mixedDepths) return "its samples differ in depth" + readable;
  if (layout.bitsPerSample != 8 && layout.bitsPerSample != 16)
    return "its samples are " + std::to_string(layout.bitsPerSample) + "-bit" + readable;
  const std::uint32_t spp = layout.samplesPerPixel;
  const bool grey = layout.photometric <= 1 && (spp == 1 || spp == 2);
  const bool rgb = layout.photometric == 2 && (spp == 3 || spp == 4);
  const bool palette = layout.photometric == 3 && spp == 1 && layout.bitsPerSample == 8;
  const bool ycbcr = layout.photometric == 6 && spp == 3 && layout.bitsPerSample == 8;
  if (!grey && !rgb && !palette && !ycbcr)
    return "its colour model (" + std::to_string(layout.photometric) + ", " + std::to_string(spp) +
           " samples a pixel) is not read" + readable;
  if (layout.planar == 2 && spp > 1)
    return "its colours are stored in separate planes, which is not read";
  switch (layout.compression) {
    case 1:      // none
    case 5:      // LZW
    case 7:      // JPEG
    case 8:      // Deflate
    case 32773:  // PackBits
    case 32946:  // Deflate (old code)
      break;
    default:
      return "it is compressed in a way that cannot be read (scheme " +
             std::to_string(layout.compression) + ")";
  }
  std::uint64_t parts;
  if (layout.tiled) {
    if (layout.tileWidth == 0 || layout.tileLength == 0 || layout.tileWidth % 16 != 0 ||
        layout.tileLength % 16 != 0 || layout.tileWidth > 65536 || layout.tileLength > 65536)
      return "it is tiled oddly (tiles of " + std::to_string(layout.tileWidth) + " x " +
             std::to_string(layout.tileLength) + " pixels)";
    // The decoder fails on a single row of tiles taller than the image, and
    // on 8-bit RGB in tiles.
    if (static_cast<std::uint64_t>(layout.height) < layout.tileLength ||
        (layout.bitsPerSample == 8 && spp == 3))
      return "it is tiled in a way that is not read (tiles of " + std::to_string(layout.tileWidth) +
             " x " + std::to_string(layout.tileLength) + " pixels" +
             (spp == 3 ? " with 8-bit RGB" : " over " + std::to_string(layout.height) + " rows") +
             "); save it in strips";
    parts = CeilDiv(static_cast<std::uint64_t>(layout.width), layout.tileWidth) *
            CeilDiv(static_cast<std::uint64_t>(layout.height), layout.tileLength);
  } else {
    const std::uint64_t rows = layout.rowsPerStrip == 0 ? 1 : layout.rowsPerStrip;
    parts = CeilDiv(static_cast<std::uint64_t>(layout.height), rows);
  }
  if (layout.offsets.size() < parts || layout.byteCounts.size() < parts)
    return "damaged (" + std::to_string(std::min(layout.offsets.size(), layout.byteCounts.size())) +
           " of its " + std::to_string(parts) + " " + (layout.tiled ? "tiles" : "strips") +
           " are listed)";
  std::uint64_t end = 0;
  for (std::uint64_t i = 0; i < parts; ++i)
    end = std::max(end, layout.offsets[i] + layout.byteCounts[i]);
  if (end > fileSize)
    return "cut off after " + std::to_string(fileSize) + " of " + std::to_string(end) + " bytes";
  return std::nullopt;
}

int TiffSignificantBits(const TiffLayout& layout) {
  // 65535 is the tag's default, which many writers store whatever the
  // camera's bits: it states nothing.
  if (layout.bitsPerSample != 16 || !layout.maxSampleValue || *layout.maxSampleValue == 0 ||
      *layout.maxSampleValue >= 0xFFFF)
    return 0;
  int bits = 0;
  for (std::uint64_t v = *layout.maxSampleValue; v != 0 && bits < 16; v >>= 1) ++bits;
  return bits;
}
