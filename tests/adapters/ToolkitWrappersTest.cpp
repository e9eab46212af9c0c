#include "ToolkitWrappers.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <cstring>

#include "CanvasWrappers.h"
#include "FieldImageLoader.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

bool Logged(const ScopedTraceLog& log, const std::string& line) {
  auto messages = log.Messages();
  return std::find(messages.begin(), messages.end(), line) != messages.end();
}

TEST(ToolkitBitmapTest, RasterRowsBecomeScanlinesTopFirst) {
  BitmapImageClass raster(3, 2, 24);
  for (int i = 0; i < 9; ++i) {
    raster.GetScanLine(0)[i] = static_cast<std::uint8_t>(i);
    raster.GetScanLine(1)[i] = static_cast<std::uint8_t>(100 + i);
  }
  TBitmap* bitmap = TBitmap_Create();
  ASSERT_TRUE(TBitmap_Assign(bitmap, &raster));
  EXPECT_EQ(bitmap->Width(), 3);
  EXPECT_EQ(bitmap->Height(), 2);
  EXPECT_EQ(bitmap->PixelFormat(), ToolkitPixelFormat::k24Bit);
  EXPECT_EQ(std::memcmp(bitmap->ScanLine(0), raster.GetScanLine(1), 9), 0);
  EXPECT_EQ(std::memcmp(bitmap->ScanLine(1), raster.GetScanLine(0), 9), 0);
  // Blue, Green, Red in memory: the toolkit sees the right colour.
  raster.GetScanLine(1)[0] = 10;
  raster.GetScanLine(1)[1] = 20;
  raster.GetScanLine(1)[2] = 30;
  ASSERT_TRUE(TBitmap_Assign(bitmap, &raster));
  EXPECT_EQ(bitmap->image.pixel(0, 0), qRgb(30, 20, 10));

  BitmapImageClass back(*bitmap);
  EXPECT_EQ(std::memcmp(back.GetScanLine(1), raster.GetScanLine(1), 9), 0);
  TBitmap_Destroy(bitmap);
}

TEST(ToolkitBitmapTest, ThirtyTwoBitRowsKeepTheirByteOrder) {
  BitmapImageClass raster(2, 1, 32);
  std::memcpy(raster.GetScanLine(0), "\x0a\x14\x1e\x00\x01\x02\x03\x00", 8);
  TBitmap bitmap;
  ASSERT_TRUE(TBitmap_Assign(&bitmap, &raster));
  EXPECT_EQ(bitmap.PixelFormat(), ToolkitPixelFormat::k32Bit);
  EXPECT_EQ(bitmap.image.pixel(0, 0) & 0xFFFFFF, qRgb(30, 20, 10) & 0xFFFFFF);
}

TEST(ToolkitBitmapTest, MissingObjectsAreNamed) {
  ScopedTraceLog log;
  TBitmap bitmap;
  BitmapImageClass raster(2, 2, 8);
  EXPECT_FALSE(TBitmap_Assign(&bitmap, static_cast<const BitmapImageClass*>(nullptr)));
  EXPECT_TRUE(Logged(log, "ERROR: source image is undefinded!!!"));
  EXPECT_TRUE(bitmap.image.isNull());  // untouched
  EXPECT_FALSE(TBitmap_Assign(nullptr, &raster));
  EXPECT_TRUE(Logged(log, "ERROR: destination image is undefinded!!!"));
  EXPECT_FALSE(TBitmap_Assign(nullptr, static_cast<const BitmapImageClass*>(nullptr)));
  EXPECT_TRUE(TJPEGImage_Destroy(nullptr));
  EXPECT_TRUE(Logged(log, "ERROR: trying to delete NULL pointer!!!"));
  EXPECT_TRUE(TBitmap_Destroy(nullptr));
  EXPECT_TRUE(TPngImage_Destroy(nullptr));
}

TEST(ToolkitBitmapTest, DepthTable) {
  RecordingMessageBoxProvider boxes;
  ScopedMessageBoxProvider scoped(boxes);
  struct Case {
    int bits;
    ToolkitPixelFormat format;
    int depthBytes;
  };
  const Case cases[] = {{1, ToolkitPixelFormat::k1Bit, 1},   {4, ToolkitPixelFormat::k4Bit, 1},
                        {8, ToolkitPixelFormat::k8Bit, 1},   {15, ToolkitPixelFormat::k15Bit, 2},
                        {16, ToolkitPixelFormat::k16Bit, 2}, {24, ToolkitPixelFormat::k24Bit, 3},
                        {32, ToolkitPixelFormat::k32Bit, 4}};
  for (const auto& c : cases) {
    EXPECT_EQ(Bitmap_GetPixelFormat(c.bits), c.format);
    TBitmap bitmap;
    ASSERT_TRUE(TBitmap_SetDimensions(&bitmap, 3, 2, c.format)) << c.bits;
    EXPECT_EQ(TBitmap_GetDepthInBits(bitmap), c.bits);
    EXPECT_EQ(TBitmap_GetDepthInBytes(bitmap), c.depthBytes);
  }
  EXPECT_TRUE(boxes.Boxes().empty());

  EXPECT_EQ(Bitmap_GetPixelFormat(12), ToolkitPixelFormat::kCustom);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "unknown PixelFormat!!!");
  EXPECT_EQ(boxes.Boxes()[0].caption, "Bitmap_GetPixelFormat()");

  TBitmap device;  // a new bitmap has the device-dependent format
  EXPECT_EQ(TBitmap_GetDepthInBits(device), 0);
  EXPECT_EQ(boxes.Boxes().back().caption, "TBitmap_GetDepthInBits");
  EXPECT_EQ(TBitmap_GetDepthInBytes(device), 0);
  EXPECT_EQ(boxes.Boxes().back().caption, "TBitmap_GetDepthInBytes");
  BitmapImageClass refused(device);
  EXPECT_TRUE(refused.IsEmpty());
  EXPECT_EQ(boxes.Boxes().back().text, "Unsupported bit depth (0)");
}

// The quantisation tables of a JPEG file, in the order they appear.
std::vector<std::vector<int>> QuantisationTables(const QByteArray& jpeg) {
  std::vector<std::vector<int>> tables;
  const auto* p = reinterpret_cast<const unsigned char*>(jpeg.constData());
  qsizetype i = 2;
  while (i + 4 < jpeg.size() && p[i] == 0xFF) {
    const int marker = p[i + 1];
    const int length = (p[i + 2] << 8) | p[i + 3];
    if (marker == 0xDB) {
      for (int at = i + 4; at < i + 2 + length; at += 65) {
        std::vector<int> table(p + at + 1, p + at + 65);  // 8-bit entries, zigzag order
        tables.push_back(table);
      }
    }
    if (marker == 0xDA) break;
    i += 2 + length;
  }
  return tables;
}

// The IJG tables scaled to a quality, as libjpeg's jpeg_set_quality makes
// them, in zigzag order.
std::vector<int> IjgTable(const int (&base)[64], int quality) {
  static const int kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                  12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                  35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                  58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
  const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  std::vector<int> table(64);
  for (int k = 0; k < 64; ++k) table[k] = std::clamp((base[kZigzag[k]] * scale + 50) / 100, 1, 255);
  return table;
}

const int kLuminance[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                            14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                            18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                            49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
const int kChrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                              24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                              99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                              99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

TEST(ToolkitJpegTest, ThumbnailsAreWrittenAtIjgQuality95) {
  TempDir dir;
  BitmapImageClass comet(150, 90, 24);
  for (int r = 0; r < 90; ++r)
    for (int x = 0; x < 150; ++x) {
      std::uint8_t* p = comet.GetScanLine(r) + 3 * x;
      p[0] = static_cast<std::uint8_t>(x);      // blue rises to the right
      p[1] = static_cast<std::uint8_t>(2 * r);  // green rises upwards
      p[2] = static_cast<std::uint8_t>(200);
    }
  TJPEGImage* jpeg = TJPEGImage_CreateFromImage(comet, 95);
  ASSERT_NE(jpeg, nullptr);
  ASSERT_TRUE(TJPEGImage_SaveToFile(jpeg, dir / "t.jpg"));
  TJPEGImage_Destroy(jpeg);

  const std::string bytes = ReadFile(dir / "t.jpg");
  const auto tables = QuantisationTables(QByteArray::fromStdString(bytes));
  ASSERT_EQ(tables.size(), 2u);
  EXPECT_EQ(tables[0], IjgTable(kLuminance, 95));
  EXPECT_EQ(tables[1], IjgTable(kChrominance, 95));

  TJPEGImage* read = TJPEGImage_Create();
  ASSERT_TRUE(TJPEGImage_LoadFromFile(read, dir / "t.jpg"));
  TBitmap bitmap;
  ASSERT_TRUE(TBitmap_Assign(&bitmap, read));
  TJPEGImage_Destroy(read);
  ASSERT_EQ(bitmap.Width(), 150);
  ASSERT_EQ(bitmap.Height(), 90);
  // The raster's row 0 is the picture's bottom: scanline 89.
  const QRgb corner = bitmap.image.pixel(120, 89);
  EXPECT_NEAR(qRed(corner), 200, 6);
  EXPECT_NEAR(qGreen(corner), 0, 6);
  EXPECT_NEAR(qBlue(corner), 120, 6);
  const QRgb top = bitmap.image.pixel(10, 0);
  EXPECT_NEAR(qGreen(top), 178, 6);
}

TEST(ToolkitCanvasTest, DrawingOntoAPicture) {
  ScopedTraceLog log;
  QImage target(20, 10, QImage::Format_RGB32);
  target.fill(Qt::black);
  TCanvas canvas(&target);
  TBitmap picture;
  ASSERT_TRUE(TBitmap_SetDimensions(&picture, 2, 2, ToolkitPixelFormat::k24Bit));
  picture.image.fill(Qt::red);
  EXPECT_TRUE(TCanvas_Draw(&canvas, 3, 4, &picture));
  EXPECT_EQ(target.pixel(4, 5), qRgb(255, 0, 0));
  EXPECT_EQ(target.pixel(5, 5), qRgb(0, 0, 0));
  EXPECT_TRUE(TCanvas_StretchDraw(&canvas, 10, 0, 10, 10, &picture));
  EXPECT_EQ(target.pixel(19, 9), qRgb(255, 0, 0));
  canvas.pen = Qt::yellow;
  canvas.brush = Qt::black;
  EXPECT_TRUE(TCanvas_Rectangle(&canvas, 0, 0, 5, 3));
  EXPECT_EQ(target.pixel(0, 0), qRgb(255, 255, 0));
  EXPECT_FALSE(TCanvas_Draw(nullptr, 0, 0, &picture));
  EXPECT_FALSE(TCanvas_Draw(&canvas, 0, 0, nullptr));
  EXPECT_TRUE(Logged(log, "ERROR: destination TCanvas is undefined!!!"));
  EXPECT_TRUE(Logged(log, "ERROR: source TGraphic is undefined!!!"));
}

TEST(ToolkitJpegTest, QualityOutsideTheScaleIsRefused) {
  TJPEGImage picture;
  EXPECT_FALSE(TJPEGImage_SetQuality(&picture, 0));
  EXPECT_FALSE(TJPEGImage_SetQuality(&picture, 101));
  EXPECT_TRUE(TJPEGImage_SetQuality(&picture, 95));
  EXPECT_EQ(picture.quality, 95);
  EXPECT_FALSE(TJPEGImage_SaveToFile(&picture, "/tmp/never-written.jpg"));  // nothing compressed
}

}  // namespace
