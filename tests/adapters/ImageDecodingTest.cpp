// Field-of-view images from disk to the 8-bit workspace image.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <filesystem>

#include "FieldImageLoader.h"
#include "ImageFileChecks.h"
#include "LittleEndian.h"
#include "TestSupport.h"
#include "ToolkitWrappers.h"

using namespace testing_support;

namespace {

void PutBE32(std::string& bytes, std::size_t at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<char>(v >> (24 - 8 * k));
}

std::string BE32(std::uint32_t v) {
  std::string bytes(4, '\0');
  PutBE32(bytes, 0, v);
  return bytes;
}

// A PNG chunk with its length and checksum.
std::string Chunk(const std::string& type, const std::string& data) {
  return BE32(static_cast<std::uint32_t>(data.size())) + type + data + BE32(Crc32(type + data));
}

// A zlib stream of stored (uncompressed) blocks.
std::string Stored(const std::string& raw) {
  std::string out = "\x78\x01";
  std::size_t at = 0;
  do {
    const std::size_t n = std::min<std::size_t>(raw.size() - at, 65535);
    out += static_cast<char>(at + n == raw.size() ? 1 : 0);
    out += static_cast<char>(n & 0xFF);
    out += static_cast<char>(n >> 8);
    out += static_cast<char>(~n & 0xFF);
    out += static_cast<char>((~n >> 8) & 0xFF);
    out += raw.substr(at, n);
    at += n;
  } while (at < raw.size());
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  return out + BE32(b << 16 | a);
}

// A PNG of the given header fields and packed image data, with extra
// chunks before the data; the data is cut into `parts` image data chunks of
// about equal size, with an empty one after the first when there are more.
std::string PngOfData(std::uint32_t width, std::uint32_t height, int depth, int colourType,
                      int interlace, const std::string& packed, const std::string& before = "",
                      std::size_t parts = 1) {
  std::string header = BE32(width) + BE32(height);
  header += static_cast<char>(depth);
  header += static_cast<char>(colourType);
  header += std::string(2, '\0');
  header += static_cast<char>(interlace);
  std::string data;
  const std::size_t step = (packed.size() + parts - 1) / parts;
  for (std::size_t at = 0, n = 0; at < packed.size(); at += step, ++n) {
    data += Chunk("IDAT", packed.substr(at, step));
    if (n == 0 && parts > 1) data += Chunk("IDAT", "");
  }
  return "\x89PNG\r\n\x1A\n" + Chunk("IHDR", header) + before + data + Chunk("IEND", "");
}

// The same with unpacked image data (filter bytes included).
std::string Png(std::uint32_t width, std::uint32_t height, int depth, int colourType, int interlace,
                const std::string& raw, const std::string& before = "") {
  return PngOfData(width, height, depth, colourType, interlace, Stored(raw), before);
}

// Rows of grey 8-bit pixels of one value, each after filter byte `filter`,
// pass by pass when interlaced.
std::string GreyRows(int width, int height, bool interlaced, char value, char filter = 0) {
  static const int kPass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                  {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  std::string raw;
  for (int p = 0; p < (interlaced ? 7 : 1); ++p) {
    const auto& q = interlaced ? kPass[p] : kPass[6];
    const int w = interlaced ? (width + q[2] - 1 - q[0]) / q[2] : width;
    const int h = interlaced ? (height + q[3] - 1 - q[1]) / q[3] : height;
    if (w > 0)
      for (int r = 0; r < h; ++r) raw += filter + std::string(static_cast<std::size_t>(w), value);
  }
  return raw;
}

class ImageDecodingTest : public ::testing::Test {
 protected:
  std::string Save(const QImage& image, const std::string& name, const char* format,
                   int quality = -1) {
    const std::string path = dir_ / name;
    EXPECT_TRUE(image.save(QString::fromStdString(path), format, quality)) << name;
    return path;
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    WriteFile(dir_ / name, bytes);
    return dir_ / name;
  }
  int Grey(const BitmapImageClass& image, int x, int pictureRow) const {
    return image.GetScanLine(image.Bitmap.bmHeight - 1 - pictureRow)[x];
  }

  TempDir dir_;
  RecordingMessageBoxProvider boxes_;
  ScopedMessageBoxProvider scoped_{boxes_};
  ScopedTraceLog log_;
};

TEST_F(ImageDecodingTest, EveryTypeBecomesAnEightBitGreyImage) {
  QImage colour(4, 3, QImage::Format_RGB32);
  colour.fill(qRgb(30, 20, 10));
  colour.setPixel(0, 0, qRgb(200, 200, 200));
  for (const auto& [name, format] : std::vector<std::pair<std::string, const char*>>{
           {"a.png", "PNG"}, {"B.PNG", "PNG"}, {"c.bmp", "BMP"}, {"D.Bmp", "BMP"}}) {
    auto image = LoadFieldImage(Save(colour, name, format));
    ASSERT_NE(image, nullptr) << name;
    EXPECT_EQ(image->Bitmap.bmBitsPixel, 8);
    EXPECT_EQ(image->Bitmap.bmWidth, 4);
    EXPECT_EQ(image->Bitmap.bmHeight, 3);
    EXPECT_EQ(Grey(*image, 1, 1), 20) << name;   // grey 21, then 21 grey loses one more
    EXPECT_EQ(Grey(*image, 0, 0), 198) << name;  // a neutral 200 ends two lower
  }
  QImage flat(16, 16, QImage::Format_RGB32);
  flat.fill(qRgb(120, 120, 120));
  for (const std::string name : {"e.jpg", "f.JPEG", "g.Jpg"}) {
    auto image = LoadFieldImage(Save(flat, name, "JPEG", 95));
    ASSERT_NE(image, nullptr) << name;
    EXPECT_NEAR(Grey(*image, 8, 8), 118, 1) << name;
  }
}

TEST_F(ImageDecodingTest, GreyFilesStayGreyAndTheDisplayGetsTheBitmap) {
  QImage grey(5, 2, QImage::Format_Grayscale8);
  grey.fill(77);
  TBitmap display;
  auto image = LoadFieldImage(Save(grey, "g.png", "PNG"), &display);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Grey(*image, 2, 1), 77);  // 8-bit grey is taken as it is
  EXPECT_EQ(display.PixelFormat(), ToolkitPixelFormat::k8Bit);
  EXPECT_EQ(display.Width(), 5);
}

TEST_F(ImageDecodingTest, ColourPalettesAreReadAsColours) {
  QImage indexed(2, 1, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0)});
  indexed.setPixel(0, 0, 1);
  indexed.setPixel(1, 0, 0);
  for (const auto& [name, format] :
       std::vector<std::pair<std::string, const char*>>{{"p.png", "PNG"}, {"p.bmp", "BMP"}}) {
    auto image = LoadFieldImage(Save(indexed, name, format));
    ASSERT_NE(image, nullptr) << name;
    EXPECT_EQ(Grey(*image, 0, 0), 75) << name;  // red's grey 76, less one: not index 1
    EXPECT_EQ(Grey(*image, 1, 0), 0);
  }
}

TEST_F(ImageDecodingTest, SixteenBitChannelsAreScaledNotCut) {
  QImage deep(2, 1, QImage::Format_Grayscale16);
  reinterpret_cast<quint16*>(deep.scanLine(0))[0] = 0x8000;
  reinterpret_cast<quint16*>(deep.scanLine(0))[1] = 0x00FF;  // the low byte alone would be 255
  auto image = LoadFieldImage(Save(deep, "d16.png", "PNG"));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Grey(*image, 0, 0), 128);
  EXPECT_LE(Grey(*image, 1, 0), 1);

  QImage colour(1, 1, QImage::Format_RGBX64);
  colour.setPixelColor(0, 0, QColor::fromRgba64(0x8000, 0x8000, 0x8000));
  auto fromColour = LoadFieldImage(Save(colour, "c16.png", "PNG"));
  ASSERT_NE(fromColour, nullptr);
  EXPECT_EQ(Grey(*fromColour, 0, 0), 126);  // 128 neutral, two lower
}

TEST_F(ImageDecodingTest, BadFilesAreRefusedAndLeaveTheDisplay) {
  QImage colour(40, 30, QImage::Format_RGB32);
  colour.fill(qRgb(90, 90, 90));
  const std::string jpeg = ReadFile(Save(colour, "ok.jpg", "JPEG", 90));
  const std::string png = ReadFile(Save(colour, "ok.png", "PNG"));
  const std::string bmp = ReadFile(Save(colour, "ok.bmp", "BMP"));
  std::string huge = png;  // IHDR of 100000 x 100000
  PutBE32(huge, 16, 100000);
  PutBE32(huge, 20, 100000);
  PutBE32(huge, 29, Crc32(huge.substr(12, 17)));

  struct Case {
    const char* name;
    std::string bytes;
    std::string reason;
  };
  const std::string cutJpeg = "cut off after " + std::to_string(jpeg.size() / 2) + " bytes";
  const Case cases[] = {
      {"empty.jpg", "", "the file is empty"},
      {"cut.jpg", jpeg.substr(0, jpeg.size() / 2), cutJpeg},
      {"headonly.jpg", jpeg.substr(0, 20), "cut off after 20 bytes"},
      {"png-named.jpg", png, "not a JPEG file (it holds a PNG image)"},
      {"text.png", "this is not an image\n", "not a PNG file (it holds text)"},
      {"cut.png", png.substr(0, png.size() - 30),
       "cut off after " + std::to_string(png.size() - 30) + " bytes"},
      {"jpeg-named.png", jpeg, "not a PNG file (it holds a JPEG image)"},
      {"huge.png", huge, "its 100000 x 100000 pixels need more than 512 MB"},
      {"cut.bmp", bmp.substr(0, 100),
       "cut off after 100 of " + std::to_string(bmp.size()) + " bytes"},
      {"empty.bmp", "", "the file is empty"},
      {"notes.txt", "x", "not a BMP, JPEG, PNG or TIFF file name"},
      {"folder.png", "", "not a regular file"},
  };
  std::filesystem::create_directories(dir_ / "folder.png");
  TBitmap display;
  display.image = QImage(3, 3, QImage::Format_RGB32);
  display.format = ToolkitPixelFormat::k32Bit;
  for (const auto& c : cases) {
    const std::size_t before = log_.Messages().size();
    const std::string path =
        std::string(c.name) == "folder.png" ? dir_ / c.name : Write(c.name, c.bytes);
    std::string reason;
    EXPECT_EQ(LoadFieldImage(path, &display, &reason), nullptr) << c.name;
    EXPECT_EQ(reason, c.reason) << c.name;
    auto messages = log_.Messages();
    EXPECT_TRUE(std::any_of(messages.begin() + static_cast<std::ptrdiff_t>(before), messages.end(),
                            [](const std::string& m) { return m.starts_with("ERROR: "); }))
        << c.name;
    EXPECT_EQ(display.Width(), 3) << c.name;
  }
  std::string reason;
  EXPECT_EQ(LoadFieldImage(dir_ / "missing.png", nullptr, &reason), nullptr);
  EXPECT_EQ(reason, "no such file or directory");
  EXPECT_TRUE(boxes_.Boxes().empty());
}

// The checks let through every layout the PNG decoder reads, and stop what
// it would refuse (with a complaint of its own on the terminal).
TEST_F(ImageDecodingTest, PngChecksPassWhatDecodesAndStopWhatWouldNot) {
  const std::string palette = Chunk("PLTE", std::string("\0\0\0\xff\xff\xff", 6));
  struct Good {
    const char* name;
    std::string bytes;
    int grey;
  };
  const Good good[] = {
      {"plain.png", Png(13, 7, 8, 0, 0, GreyRows(13, 7, false, 90)), 90},
      {"interlaced.png", Png(13, 7, 8, 0, 1, GreyRows(13, 7, true, 90)), 90},
      {"one-pixel-interlaced.png", Png(1, 1, 8, 0, 1, GreyRows(1, 1, true, 90)), 90},
      // Index 1 is white: a neutral 255 ends two lower.
      {"palette.png", Png(13, 7, 8, 3, 0, GreyRows(13, 7, false, 1), palette), 253},
  };
  for (const auto& g : good) {
    std::string reason;
    auto image = LoadFieldImage(Write(g.name, g.bytes), nullptr, &reason);
    ASSERT_NE(image, nullptr) << g.name << ": " << reason;
    EXPECT_EQ(Grey(*image, 0, 0), g.grey) << g.name;
  }
  struct Bad {
    const char* name;
    std::string bytes;
    std::string reason;
  };
  const Bad bad[] = {
      {"filter.png", Png(13, 7, 8, 0, 0, GreyRows(13, 7, false, 90, 9)),
       "damaged (a row of its image data has the unknown filter 9)"},
      {"short.png", Png(13, 7, 8, 0, 0, GreyRows(13, 6, false, 90)),
       "damaged (its image data ends early)"},
      {"short-interlaced.png", Png(13, 7, 8, 0, 1, GreyRows(13, 7, true, 90).substr(0, 100)),
       "damaged (its image data ends early)"},
      {"no-palette.png", Png(13, 7, 8, 3, 0, GreyRows(13, 7, false, 1)),
       "damaged (its palette is missing)"},
      {"unknown.png", Png(13, 7, 8, 0, 0, GreyRows(13, 7, false, 90), Chunk("QXYZ", "abc")),
       "damaged (it holds the unknown essential chunk QXYZ)"},
      {"depth.png", Png(13, 7, 3, 0, 0, GreyRows(13, 7, false, 90)),
       "damaged (its header holds an unknown pixel layout)"},
      {"zero.png", Png(0, 7, 8, 0, 0, ""), "its size is 0 x 7 pixels"},
  };
  for (const auto& b : bad) {
    std::string reason;
    EXPECT_EQ(LoadFieldImage(Write(b.name, b.bytes), nullptr, &reason), nullptr) << b.name;
    EXPECT_EQ(reason, b.reason) << b.name;
    EXPECT_EQ(CheckImageFile(b.bytes, ImageFileKind::kPng, kDecodeLimitBytes), b.reason) << b.name;
  }
}

// Image data spread over several chunks is checked as the one stream it
// makes: what passes in one chunk passes in several, and what fails gives
// the same reason.
TEST_F(ImageDecodingTest, ImageDataOverSeveralChunksIsCheckedAsOneStream) {
  std::string broken = Stored(GreyRows(13, 7, false, 90));
  broken[2] = '\x07';  // a block of a type that does not exist
  struct Case {
    const char* name;
    int interlace;
    std::string packed;
    bool passes;
  };
  const Case cases[] = {
      {"plain", 0, Stored(GreyRows(13, 7, false, 90)), true},
      {"interlaced", 1, Stored(GreyRows(13, 7, true, 90)), true},
      {"long", 0, Stored(GreyRows(13, 7, false, 90) + std::string(70000, 'x')), true},
      {"filter", 0, Stored(GreyRows(13, 7, false, 90, 9)), false},
      {"short", 0, Stored(GreyRows(13, 6, false, 90)), false},
      {"cut", 0, Stored(GreyRows(13, 7, false, 90)).substr(0, 60), false},
      {"broken", 0, broken, false},
  };
  for (const auto& c : cases) {
    const auto whole = CheckImageFile(PngOfData(13, 7, 8, 0, c.interlace, c.packed),
                                      ImageFileKind::kPng, kDecodeLimitBytes);
    EXPECT_EQ(!whole.has_value(), c.passes) << c.name << ": " << whole.value_or("");
    for (const std::size_t parts : {2, 3, 7, 40}) {
      const std::string bytes = PngOfData(13, 7, 8, 0, c.interlace, c.packed, "", parts);
      EXPECT_EQ(CheckImageFile(bytes, ImageFileKind::kPng, kDecodeLimitBytes), whole)
          << c.name << " in " << parts << " parts";
      if (c.passes) {
        EXPECT_NE(LoadFieldImage(Write(std::string(c.name) + ".png", bytes)), nullptr) << c.name;
      }
    }
  }
}

TEST_F(ImageDecodingTest, ImageNamesByExtension) {
  for (const char* name : {"a.bmp", "b.JPG", "c.jpeg", "d.Png", "/x.y/e.png", "f.tif", "g.TIFF"})
    EXPECT_TRUE(IsFieldImageName(name)) << name;
  for (const char* name : {"a.gif", "b", "c.cdb", "/x.png/readme", "jpg", "h.tifff"})
    EXPECT_FALSE(IsFieldImageName(name)) << name;
}

}  // namespace
