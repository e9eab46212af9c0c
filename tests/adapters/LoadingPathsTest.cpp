// Every kind of field-of-view file loads alike whether traced (the bitmap
// made into a raster, greyed and set to 8 bits step by step) or not (greyed
// into the 8-bit raster in one pass).
#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <filesystem>
#include <random>

#include "FieldImageLoader.h"
#include "TestSupport.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

void ExpectSameRaster(const BitmapImageClass& a, const BitmapImageClass& b,
                      const std::string& name) {
  EXPECT_EQ(std::memcmp(&a.bmInfo, &b.bmInfo, sizeof a.bmInfo), 0) << name;
  EXPECT_EQ(std::tie(a.Bitmap.bmWidth, a.Bitmap.bmHeight, a.Bitmap.bmWidthBytes,
                     a.Bitmap.bmBitsPixel, a.Bitmap.bmPlanes, a.BytesPerPixel),
            std::tie(b.Bitmap.bmWidth, b.Bitmap.bmHeight, b.Bitmap.bmWidthBytes,
                     b.Bitmap.bmBitsPixel, b.Bitmap.bmPlanes, b.BytesPerPixel))
      << name;
  ASSERT_EQ(a.Bitmap.bmWidthBytes, b.Bitmap.bmWidthBytes) << name;
  for (int r = 0; r < a.Bitmap.bmHeight; ++r)
    ASSERT_EQ(std::memcmp(a.GetScanLine(r), b.GetScanLine(r),
                          static_cast<std::size_t>(a.Bitmap.bmWidthBytes)),
              0)
        << name << " row " << r;
  EXPECT_EQ(std::memcmp(a.HistogramGray, b.HistogramGray, sizeof a.HistogramGray), 0) << name;
  EXPECT_EQ(std::memcmp(a.MetaData, b.MetaData, sizeof a.MetaData), 0) << name;
}

void ExpectSameDisplay(const TBitmap& a, const TBitmap& b, const std::string& name) {
  EXPECT_EQ(a.format, b.format) << name;
  EXPECT_EQ(a.image.format(), b.image.format()) << name;
  ASSERT_EQ(a.image.size(), b.image.size()) << name;
  EXPECT_EQ(a.image.colorTable(), b.image.colorTable()) << name;
  const auto bytes = static_cast<std::size_t>(a.image.width() * a.image.depth() / 8);
  for (int y = 0; y < a.image.height(); ++y)
    ASSERT_EQ(std::memcmp(a.image.constScanLine(y), b.image.constScanLine(y), bytes), 0)
        << name << " row " << y;
}

// Loads the file traced and untraced; both must succeed or fail together
// and give the same raster and display picture.
void ExpectSameLoading(const std::string& path) {
  const std::string name = fs::path(path).filename().string();
  TBitmap tracedDisplay, display;
  std::unique_ptr<BitmapImageClass> traced;
  {
    ScopedTraceLog log;
    traced = LoadFieldImage(path, &tracedDisplay);
  }
  ASSERT_FALSE(EventLogEnabled());
  const std::unique_ptr<BitmapImageClass> untraced = LoadFieldImage(path, &display);
  ASSERT_EQ(traced == nullptr, untraced == nullptr) << name;
  if (traced == nullptr) return;
  ExpectSameRaster(*traced, *untraced, name);
  ExpectSameDisplay(tracedDisplay, display, name);
  // Without a display picture the raster is the same again.
  const std::unique_ptr<BitmapImageClass> alone = LoadFieldImage(path);
  ASSERT_NE(alone, nullptr) << name;
  ExpectSameRaster(*traced, *alone, name);
}

// Noise over the whole colour range, with neutral and dark pixels.
QImage Noise(int width, int height, QImage::Format format, std::uint32_t seed) {
  std::mt19937 random(seed);
  QImage image(width, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int v = static_cast<int>(random() % 256);
      image.setPixel(
          x, y,
          x % 7 == 0 ? qRgb(v, v, v)
                     : qRgba(static_cast<int>(random() % 256), v, static_cast<int>(random() % 256),
                             static_cast<int>(128 + random() % 128)));
    }
  return image.convertToFormat(format);
}

class LoadingPathsTest : public ::testing::Test {
 protected:
  std::string Save(const QImage& image, const std::string& name, const char* format) {
    const std::string path = dir_ / name;
    EXPECT_TRUE(image.save(QString::fromStdString(path), format, 90)) << name;
    return path;
  }
  TempDir dir_;
  RecordingMessageBoxProvider boxes_;
  ScopedMessageBoxProvider scoped_{boxes_};
};

TEST_F(LoadingPathsTest, EveryKindOfFileLoadsAlikeTracedOrNot) {
  QImage palette(61, 37, QImage::Format_Indexed8);
  palette.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(12, 200, 77), qRgb(90, 90, 90)});
  for (int y = 0; y < 37; ++y)
    for (int x = 0; x < 61; ++x) palette.setPixel(x, y, static_cast<uint>((x * 3 + y) % 4));
  QImage greyPalette =
      Noise(61, 37, QImage::Format_Grayscale8, 3).convertToFormat(QImage::Format_Indexed8);
  QImage deepGrey(61, 37, QImage::Format_Grayscale16);
  for (int y = 0; y < 37; ++y)
    for (int x = 0; x < 61; ++x)
      reinterpret_cast<quint16*>(deepGrey.scanLine(y))[x] = static_cast<quint16>(x * 1000 + y);

  struct Case {
    const char* name;
    QImage image;
    const char* format;
  };
  const Case cases[] = {
      {"colour.jpg", Noise(61, 37, QImage::Format_RGB32, 1), "JPEG"},
      {"grey.jpg", Noise(61, 37, QImage::Format_Grayscale8, 2), "JPEG"},
      {"colour.png", Noise(61, 37, QImage::Format_RGB32, 4), "PNG"},
      {"alpha.png", Noise(61, 37, QImage::Format_ARGB32, 5), "PNG"},
      {"grey.png", Noise(61, 37, QImage::Format_Grayscale8, 6), "PNG"},
      {"palette.png", palette, "PNG"},
      {"greypalette.png", greyPalette, "PNG"},
      {"grey16.png", deepGrey, "PNG"},
      {"colour16.png", Noise(61, 37, QImage::Format_RGBX64, 7), "PNG"},
      {"colour24.bmp", Noise(61, 37, QImage::Format_RGB32, 8), "BMP"},
      {"grey8.bmp", greyPalette, "BMP"},
      {"palette8.bmp", palette, "BMP"},
      {"even.bmp", Noise(64, 16, QImage::Format_RGB32, 9), "BMP"},
  };
  for (const Case& c : cases) ExpectSameLoading(Save(c.image, c.name, c.format));
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(LoadingPathsTest, BadFilesAreRefusedAlikeAndLeaveTheDisplay) {
  const std::string png = ReadFile(Save(Noise(40, 30, QImage::Format_RGB32, 1), "ok.png", "PNG"));
  const std::string jpeg = ReadFile(Save(Noise(40, 30, QImage::Format_RGB32, 1), "ok.jpg", "JPEG"));
  const std::pair<const char*, std::string> cases[] = {
      {"empty.png", ""},
      {"cut.png", png.substr(0, png.size() / 2)},
      {"cut.jpg", jpeg.substr(0, jpeg.size() / 2)},
      {"text.bmp", "BM not a picture"},
      {"notes.txt", "x"},
  };
  for (const auto& [name, bytes] : cases) {
    WriteFile(dir_ / name, bytes);
    ExpectSameLoading(dir_ / name);
    TBitmap display;
    display.image = QImage(3, 3, QImage::Format_RGB32);
    EXPECT_EQ(LoadFieldImage(dir_ / name, &display), nullptr) << name;
    EXPECT_EQ(display.Width(), 3) << name;
  }
}

// One field of every source of the real images beside the project.
TEST_F(LoadingPathsTest, RealFieldsLoadAlikeTracedOrNot) {
  const std::string real = STRANDEX_SOURCE_DIR "/../shared/data/real";
  if (!fs::is_directory(real)) GTEST_SKIP() << real << " is absent: no real images to load";
  int loaded = 0;
  for (const auto& source : fs::directory_iterator(real)) {
    std::vector<std::string> images;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(source.path(), ec))
      if (e.is_regular_file() && IsFieldImageName(e.path().string()))
        images.push_back(e.path().string());
    if (images.empty()) continue;
    std::sort(images.begin(), images.end());
    ExpectSameLoading(images.front());
    ++loaded;
  }
  EXPECT_GE(loaded, 6);
}

}  // namespace
