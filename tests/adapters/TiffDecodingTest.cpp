// TIFF files and 16-bit samples on their way to the 8-bit workspace image.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>

#include "FieldImageLoader.h"
#include "ImageFileChecks.h"
#include "TestSupport.h"
#include "TiffBytes.h"
#include "TiffLayout.h"
#include "ToolkitWrappers.h"

using namespace testing_support;

namespace {

// A TIFF of `width` x 2 pixels whose first sample of pixel i is first + i
// times step; other samples of a pixel repeat it.
TiffRecipe Ramp(int width, int bits, int samples, std::uint32_t first, std::uint32_t step) {
  TiffRecipe s;
  s.width = width;
  s.height = 2;
  s.bits = bits;
  s.samples = samples;
  s.photometric = samples >= 3 ? 2 : 1;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < width; ++x)
      for (int k = 0; k < samples; ++k)
        s.values.push_back(first + static_cast<std::uint32_t>(x) * step);
  return s;
}

std::string BE32(std::uint32_t v) {
  std::string b(4, '\0');
  for (int k = 0; k < 4; ++k) b[k] = static_cast<char>(v >> (24 - 8 * k));
  return b;
}

// A little-endian TIFF whose first strip claims `more` bytes beyond those
// it has, as a file cut inside its pixels looks.
std::string StripBeyondTheEnd(std::string bytes, std::uint32_t more) {
  auto le = [&](std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int k = n - 1; k >= 0; --k) v = v << 8 | static_cast<unsigned char>(bytes[at + k]);
    return v;
  };
  const std::size_t ifd = le(4, 4);
  for (std::uint32_t i = 0; i < le(ifd, 2); ++i) {
    const std::size_t entry = ifd + 2 + 12 * i;
    if (le(entry, 2) != 279) continue;
    const std::uint32_t count = le(entry + 8, 4) + more;
    for (int k = 0; k < 4; ++k) bytes[entry + 8 + k] = static_cast<char>(count >> (8 * k));
  }
  return bytes;
}

class TiffDecodingTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    WriteFile(dir_ / name, bytes);
    return dir_ / name;
  }
  static int Grey(const BitmapImageClass& image, int x, int pictureRow = 0) {
    return image.GetScanLine(image.Bitmap.bmHeight - 1 - pictureRow)[x];
  }
  bool Logged(const std::string& text) const {
    const auto messages = log_.Messages();
    return std::any_of(messages.begin(), messages.end(),
                       [&](const std::string& m) { return m.find(text) != std::string::npos; });
  }

  TempDir dir_;
  RecordingMessageBoxProvider boxes_;
  ScopedMessageBoxProvider scoped_{boxes_};
  ScopedTraceLog log_;
};

TEST_F(TiffDecodingTest, GreyAndColourOfEightAndSixteenBitsBecomeEightBitGrey) {
  struct Case {
    const char* name;
    TiffRecipe recipe;
    int pixel;  // x of the pixel checked
    int grey;
  };
  TiffRecipe bigEndian = Ramp(20, 16, 1, 0, 257 * 10);
  bigEndian.bigEndian = true;
  TiffRecipe tiled = Ramp(40, 8, 1, 0, 5);
  tiled.height = 20;
  tiled.values.resize(40 * 20, 0);
  for (std::size_t i = 80; i < tiled.values.size(); ++i) tiled.values[i] = tiled.values[i % 40];
  tiled.tile = 16;
  TiffRecipe pages = Ramp(20, 8, 1, 0, 10);
  pages.pages = 3;
  const Case cases[] = {
      {"grey8.tif", Ramp(20, 8, 1, 0, 10), 7, 70},            // grey is taken as it is
      {"grey16.TIF", Ramp(20, 16, 1, 0, 257 * 10), 19, 190},  // 65535 range: 1/256
      {"grey12.tiff", Ramp(20, 16, 1, 3, 16 * 10), 19, 190},  // 4095 range: 1/16
      {"big-endian.tif", bigEndian, 13, 130},
      {"tiled.tif", tiled, 33, 165},
      {"pages.tif", pages, 5, 50},
      // A neutral colour v ends at v - 2 (two grey conversions).
      {"rgb8.tif", Ramp(20, 8, 3, 0, 10), 10, 98},
      {"rgba8.tif", Ramp(20, 8, 4, 0, 10), 10, 98},
      {"rgb16.tif", Ramp(20, 16, 3, 0, 257 * 10), 10, 98},
      {"rgb12.tif", Ramp(20, 16, 3, 0, 160), 10, 98},
  };
  for (const auto& c : cases) {
    std::string reason;
    auto image = LoadFieldImage(Write(c.name, TiffBytes(c.recipe)), nullptr, &reason);
    ASSERT_NE(image, nullptr) << c.name << ": " << reason;
    EXPECT_EQ(image->Bitmap.bmBitsPixel, 8) << c.name;
    EXPECT_EQ(image->Bitmap.bmWidth, c.recipe.width) << c.name;
    EXPECT_EQ(image->Bitmap.bmHeight, c.recipe.height) << c.name;
    EXPECT_EQ(Grey(*image, c.pixel), c.grey) << c.name;
    EXPECT_EQ(Grey(*image, c.pixel, 1), c.grey) << c.name;
  }
  EXPECT_TRUE(Logged("pages.tif holds 3 pages; the first is read"));
  EXPECT_TRUE(
      Logged("16-bit samples scaled by 1/16 (12 significant bits, from the largest sample 3043)"));
  EXPECT_TRUE(Logged(
      "16-bit samples scaled by 1/256 (16 significant bits, from the largest sample 48830)"));
  EXPECT_TRUE(boxes_.Boxes().empty());
}

// A camera's 12 bits stay 12 bits in a dim image when the file says so; a
// file that says nothing is scaled by its own largest sample.
TEST_F(TiffDecodingTest, TheFilesSignificantBitsRuleWhenEverySampleFits) {
  struct Case {
    const char* name;
    std::optional<std::uint32_t> maxSample;
    int grey;  // of the sample 800
    const char* logged;
  };
  const Case cases[] = {
      {"stated.tif", 4095, 50, "scaled by 1/16 (12 significant bits, stated by the file)"},
      {"unstated.tif", std::nullopt, 200,
       "scaled by 1/4 (10 significant bits, from the largest sample 800)"},
      // A figure the samples exceed is not believed.
      {"wrong.tif", 255, 200, "scaled by 1/4 (10 significant bits, from the largest sample 800)"},
      // The tag's default, stored by many writers whatever the camera: no figure.
      {"default.tif", 65535, 200,
       "scaled by 1/4 (10 significant bits, from the largest sample 800)"},
  };
  for (const auto& c : cases) {
    TiffRecipe recipe = Ramp(2, 16, 1, 0, 800);
    recipe.maxSampleValue = c.maxSample;
    auto image = LoadFieldImage(Write(c.name, TiffBytes(recipe)));
    ASSERT_NE(image, nullptr) << c.name;
    EXPECT_EQ(Grey(*image, 1), c.grey) << c.name;
    EXPECT_TRUE(Logged(c.logged)) << c.name;
  }
}

TEST_F(TiffDecodingTest, PngSignificantBitsChunkIsHonoured) {
  QImage deep(2, 1, QImage::Format_Grayscale16);
  auto* row = reinterpret_cast<quint16*>(deep.scanLine(0));
  row[0] = 0;
  row[1] = 800;
  const QString plain = QString::fromStdString(dir_ / "plain.png");
  ASSERT_TRUE(deep.save(plain, "PNG"));
  const std::string bytes = ReadFile(plain.toStdString());
  // sBIT goes right after the 33 bytes of signature and header.
  const std::string sbit = BE32(1) + "sBIT" + std::string(1, '\x0C');
  const std::string withChunk =
      bytes.substr(0, 33) + sbit + BE32(Crc32(std::string("sBIT\x0C", 5))) + bytes.substr(33);
  struct Case {
    const char* name;
    std::string bytes;
    int grey;
  };
  const Case cases[] = {{"plain.png", bytes, 200}, {"sbit.png", withChunk, 50}};
  for (const auto& c : cases) {
    std::string reason;
    auto image = LoadFieldImage(Write(c.name, c.bytes), nullptr, &reason);
    ASSERT_NE(image, nullptr) << c.name << ": " << reason;
    EXPECT_EQ(Grey(*image, 1), c.grey) << c.name;
  }
  // Samples scaled up to the full 16 bits, as the chunk's standard asks:
  // they exceed 12 bits and take 1/256.
  row[1] = 0xC8C8;
  ASSERT_TRUE(deep.save(plain, "PNG"));
  const std::string full = ReadFile(plain.toStdString());
  auto image = LoadFieldImage(
      Write("full.png",
            full.substr(0, 33) + sbit + BE32(Crc32(std::string("sBIT\x0C", 5))) + full.substr(33)));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Grey(*image, 1), 0xC8);
}

// Tags the layout does not need are never read: a metadata tag that claims
// 40 MB past the end of the file neither fails the file nor costs memory.
TEST_F(TiffDecodingTest, MetadataTheLayoutDoesNotNeedIsNeverRead) {
  TiffRecipe recipe = Ramp(20, 8, 1, 0, 10);
  recipe.metadataBytes = 40u << 20;
  const std::string bytes = TiffBytes(recipe);
  TiffLayout layout;
  EXPECT_EQ(ReadTiffLayout(bytes, layout), std::nullopt);
  EXPECT_EQ(layout.width, 20);
  std::string reason;
  auto image = LoadFieldImage(Write("metadata.tif", bytes), nullptr, &reason);
  ASSERT_NE(image, nullptr) << reason;
  EXPECT_EQ(Grey(*image, 3), 30);
}

TEST_F(TiffDecodingTest, BadTiffsAreRefusedWithTheirReason) {
  const std::string good = TiffBytes(Ramp(20, 8, 1, 0, 10));
  TiffRecipe huge = Ramp(2, 8, 1, 0, 1);
  huge.width = 100000;
  huge.height = 100000;
  huge.values.clear();
  TiffRecipe zero = Ramp(2, 8, 1, 0, 1);
  zero.width = 0;
  zero.height = 0;
  zero.values.clear();
  TiffRecipe bilevel = Ramp(16, 1, 1, 0, 1);
  for (auto& v : bilevel.values) v &= 1;
  TiffRecipe floats = Ramp(4, 32, 1, 0, 1);
  floats.sampleFormat = 3;
  TiffRecipe jpeg2000 = Ramp(4, 8, 1, 0, 1);
  jpeg2000.compression = 34712;
  TiffRecipe oddTiles = Ramp(40, 8, 1, 0, 1);
  oddTiles.tile = 10;
  TiffRecipe shortTiles = Ramp(40, 16, 1, 0, 1);
  shortTiles.tile = 16;
  TiffRecipe rgbTiles = Ramp(40, 8, 3, 0, 1);
  rgbTiles.height = 32;
  rgbTiles.values.resize(40 * 32 * 3, 0);
  rgbTiles.tile = 16;
  TiffRecipe cmyk = Ramp(4, 8, 4, 0, 1);
  cmyk.photometric = 5;
  struct Case {
    const char* name;
    std::string bytes;
    std::string reason;
  };
  const std::string readable = "; grey or RGB samples of 8 or 16 bits are read";
  const Case cases[] = {
      {"empty.tif", "", "the file is empty"},
      {"header.tif", good.substr(0, 6), "cut off after 6 bytes"},
      {"cut.tif", good.substr(0, 60), "cut off after 60 bytes"},
      {"cut-pixels.tif", good.substr(0, 30), "cut off after 30 bytes"},
      {"strip-beyond.tif", StripBeyondTheEnd(good, 1000),
       "cut off after " + std::to_string(good.size()) + " of 1048 bytes"},
      {"zero.tif", TiffBytes(zero), "its size is 0 x 0 pixels"},
      {"huge.tif", TiffBytes(huge), "its 100000 x 100000 pixels need more than 512 MB"},
      {"bilevel.tif", TiffBytes(bilevel), "its samples are 1-bit" + readable},
      {"float.tif", TiffBytes(floats), "its samples are floating-point numbers" + readable},
      {"jpeg2000.tif", TiffBytes(jpeg2000),
       "it is compressed in a way that cannot be read (scheme 34712)"},
      {"tiles.tif", TiffBytes(oddTiles), "it is tiled oddly (tiles of 10 x 10 pixels)"},
      {"short-tiles.tif", TiffBytes(shortTiles),
       "it is tiled in a way that is not read (tiles of 16 x 16 pixels over 2 rows); save it in "
       "strips"},
      {"rgb-tiles.tif", TiffBytes(rgbTiles),
       "it is tiled in a way that is not read (tiles of 16 x 16 pixels with 8-bit RGB); save it "
       "in strips"},
      {"cmyk.tif", TiffBytes(cmyk),
       "its colour model (5, 4 samples a pixel) is not read" + readable},
      {"png-named.tif", std::string("\x89PNG\r\n\x1A\n", 8) + "rest",
       "not a TIFF file (it holds a PNG image)"},
      {"text.TIFF", "a note\n", "not a TIFF file (it holds text)"},
  };
  for (const auto& c : cases) {
    std::string reason;
    EXPECT_EQ(LoadFieldImage(Write(c.name, c.bytes), nullptr, &reason), nullptr) << c.name;
    EXPECT_EQ(reason, c.reason) << c.name;
  }
  EXPECT_TRUE(boxes_.Boxes().empty());
}

}  // namespace
