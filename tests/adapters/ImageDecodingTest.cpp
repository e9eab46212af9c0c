// Field-of-view images from disk to the 8-bit workspace image.
#include <gtest/gtest.h>

#include <QImage>

#include "FieldImageLoader.h"
#include "LittleEndian.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : bytes) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBE32(std::string& bytes, std::size_t at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<char>(v >> (24 - 8 * k));
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
  };
  const Case cases[] = {
      {"empty.jpg", ""},
      {"cut.jpg", jpeg.substr(0, jpeg.size() / 2)},
      {"headonly.jpg", jpeg.substr(0, 20)},
      {"png-named.jpg", png},
      {"text.png", "this is not an image\n"},
      {"cut.png", png.substr(0, png.size() - 30)},
      {"jpeg-named.png", jpeg},
      {"huge.png", huge},
      {"cut.bmp", bmp.substr(0, 100)},
      {"empty.bmp", ""},
      {"notes.txt", "x"},
  };
  TBitmap display;
  display.image = QImage(3, 3, QImage::Format_RGB32);
  display.format = ToolkitPixelFormat::k32Bit;
  for (const auto& c : cases) {
    const std::size_t before = log_.Messages().size();
    EXPECT_EQ(LoadFieldImage(Write(c.name, c.bytes), &display), nullptr) << c.name;
    auto messages = log_.Messages();
    EXPECT_TRUE(std::any_of(messages.begin() + static_cast<std::ptrdiff_t>(before), messages.end(),
                            [](const std::string& m) { return m.starts_with("ERROR: "); }))
        << c.name;
    EXPECT_EQ(display.Width(), 3) << c.name;
  }
  EXPECT_EQ(LoadFieldImage(dir_ / "missing.png"), nullptr);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(ImageDecodingTest, ImageNamesByExtension) {
  for (const char* name : {"a.bmp", "b.JPG", "c.jpeg", "d.Png", "/x.y/e.png"})
    EXPECT_TRUE(IsFieldImageName(name)) << name;
  for (const char* name : {"a.tif", "b", "c.cdb", "/x.png/readme", "jpg"})
    EXPECT_FALSE(IsFieldImageName(name)) << name;
}

}  // namespace
