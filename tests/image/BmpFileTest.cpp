#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "BitmapImage.h"
#include "LittleEndian.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

std::uint32_t Field32(const std::string& file, std::size_t offset) {
  return GetLE32(reinterpret_cast<const std::uint8_t*>(file.data()) + offset);
}

void Fill(BitmapImageClass& image, int seed) {
  const std::size_t n = image.bmInfo.bmiHeader.biSizeImage;
  for (std::size_t i = 0; i < n; ++i)
    image.Bitmap.bmBits[i] = static_cast<std::uint8_t>(i * 7 + seed);
}

// A BMP file built byte by byte: file header, info header, optional table,
// then pixel bytes.
struct BmpBytes {
  std::string bytes;
  BmpBytes(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t clrUsed,
           std::uint32_t pixelBytes, std::uint32_t compression = 0, std::uint32_t sizeImage = 0) {
    const std::uint32_t offBits = 54 + 4 * std::min<std::uint32_t>(clrUsed, 256);
    bytes.assign(offBits + pixelBytes, '\0');
    auto* p = reinterpret_cast<std::uint8_t*>(bytes.data());
    p[0] = 'B';
    p[1] = 'M';
    PutLE32(p + 2, offBits + pixelBytes);
    PutLE32(p + 10, offBits);
    PutLE32(p + 14, 40);
    PutLE32(p + 18, static_cast<std::uint32_t>(width));
    PutLE32(p + 22, static_cast<std::uint32_t>(height));
    PutLE16(p + 26, 1);
    PutLE16(p + 28, bits);
    PutLE32(p + 30, compression);
    PutLE32(p + 34, sizeImage);
    PutLE32(p + 46, clrUsed);
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(clrUsed, 256); ++i)
      p[54 + 4 * i] = p[55 + 4 * i] = p[56 + 4 * i] = static_cast<std::uint8_t>(i);
  }
  void Set32(std::size_t offset, std::uint32_t v) {
    PutLE32(reinterpret_cast<std::uint8_t*>(bytes.data()) + offset, v);
  }
};

class BmpFileTest : public ::testing::Test {
 protected:
  // Loads the bytes through the file constructor; the image must come back
  // empty when the load fails.
  std::unique_ptr<BitmapImageClass> Load(const std::string& bytes) {
    WriteFile(dir_ / "in.bmp", bytes);
    return std::make_unique<BitmapImageClass>(dir_ / "in.bmp");
  }
  std::string LastBox() const { return boxes_.Boxes().empty() ? "" : boxes_.Boxes().back().text; }

  TempDir dir_;
  RecordingMessageBoxProvider boxes_;
  ScopedMessageBoxProvider scoped_{boxes_};
};

TEST_F(BmpFileTest, GreyImageLayoutWithoutMetaData) {
  BitmapImageClass image(5, 3, 8);
  Fill(image, 1);
  ASSERT_TRUE(image.SaveToFile(dir_ / "a.bmp"));
  const std::string file = ReadFile(dir_ / "a.bmp");
  ASSERT_EQ(file.size(), 1102u);
  EXPECT_EQ(file.substr(0, 2), "BM");
  EXPECT_EQ(Field32(file, 2), 1102u);
  EXPECT_EQ(Field32(file, 6), 0u);
  EXPECT_EQ(Field32(file, 10), 1078u);
  EXPECT_EQ(Field32(file, 14), 40u);
  EXPECT_EQ(Field32(file, 34), 24u);   // biSizeImage
  EXPECT_EQ(Field32(file, 46), 256u);  // biClrUsed
  for (int i = 0; i < 256; ++i) EXPECT_EQ(Field32(file, 54 + 4 * i), 0x010101u * i);
  EXPECT_EQ(std::memcmp(file.data() + 1078, image.Bitmap.bmBits.get(), 24), 0);
}

TEST_F(BmpFileTest, GreyImageWithMetaDataRoundTrips) {
  BitmapImageClass image(5, 3, 8);
  Fill(image, 2);
  for (int i = 0; i < BitmapImageClass::kMetaDataSize; ++i)
    image.MetaData[i] = static_cast<std::uint8_t>(i * 3);
  ASSERT_TRUE(image.SaveToFile(dir_ / "m.bmp", true));
  const std::string file = ReadFile(dir_ / "m.bmp");
  ASSERT_EQ(file.size(), 5198u);
  EXPECT_EQ(Field32(file, 2), 5198u);
  EXPECT_EQ(Field32(file, 10), 5174u);
  EXPECT_EQ(std::memcmp(file.data() + 1078, image.MetaData, 4096), 0);

  BitmapImageClass loaded(dir_ / "m.bmp");
  ASSERT_FALSE(loaded.IsEmpty());
  EXPECT_EQ(std::memcmp(loaded.MetaData, image.MetaData, 4096), 0);
  EXPECT_EQ(std::memcmp(loaded.Bitmap.bmBits.get(), image.Bitmap.bmBits.get(), 24), 0);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(BmpFileTest, ColourImageLayoutWithAndWithoutMetaData) {
  BitmapImageClass image(2, 2, 24);
  Fill(image, 3);
  image.MetaData[0] = 0x5A;
  ASSERT_TRUE(image.SaveToFile(dir_ / "c.bmp"));
  std::string file = ReadFile(dir_ / "c.bmp");
  EXPECT_EQ(file.size(), 70u);
  EXPECT_EQ(Field32(file, 2), 70u);
  EXPECT_EQ(Field32(file, 10), 54u);

  BitmapImageClass loaded(dir_ / "c.bmp");
  EXPECT_EQ(loaded.Bitmap.bmWidthBytes, 8);
  EXPECT_EQ(loaded.BytesPerPixel, 3);
  EXPECT_EQ(loaded.MetaData[0], 0);            // none in the file
  EXPECT_EQ(loaded.bmInfo.CLUT[9].rgbRed, 9);  // the grey ramp stays

  ASSERT_TRUE(image.SaveToFile(dir_ / "cm.bmp", true));
  file = ReadFile(dir_ / "cm.bmp");
  EXPECT_EQ(Field32(file, 10), 4150u);
  EXPECT_EQ(static_cast<std::uint8_t>(file[54]), 0x5A);
  BitmapImageClass withMeta(dir_ / "cm.bmp");
  EXPECT_EQ(withMeta.MetaData[0], 0x5A);
  EXPECT_EQ(std::memcmp(withMeta.Bitmap.bmBits.get(), image.Bitmap.bmBits.get(), 16), 0);
}

TEST_F(BmpFileTest, RoundTripsAtEveryDepth) {
  for (int bits : {8, 16, 24, 32}) {
    for (bool meta : {false, true}) {
      BitmapImageClass image(7, 5, static_cast<std::int16_t>(bits));
      Fill(image, bits);
      image.MetaData[100] = static_cast<std::uint8_t>(bits);
      const std::string path = dir_ / ("r" + std::to_string(bits) + (meta ? "m" : "") + ".bmp");
      ASSERT_TRUE(image.SaveToFile(path, meta));
      BitmapImageClass loaded(path);
      ASSERT_FALSE(loaded.IsEmpty()) << bits;
      EXPECT_EQ(loaded.Bitmap.bmWidth, 7);
      EXPECT_EQ(loaded.Bitmap.bmHeight, 5);
      EXPECT_EQ(loaded.Bitmap.bmBitsPixel, bits);
      EXPECT_EQ(loaded.Bitmap.bmWidthBytes, image.Bitmap.bmWidthBytes);
      EXPECT_EQ(std::memcmp(&loaded.bmInfo.bmiHeader, &image.bmInfo.bmiHeader, 40), 0);
      EXPECT_EQ(std::memcmp(loaded.Bitmap.bmBits.get(), image.Bitmap.bmBits.get(),
                            image.bmInfo.bmiHeader.biSizeImage),
                0);
      EXPECT_EQ(loaded.MetaData[100], meta ? bits : 0);
    }
  }
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(BmpFileTest, LoadIsTraced) {
  BitmapImageClass image(2, 2, 8);
  ASSERT_TRUE(image.SaveToFile(dir_ / "t.bmp"));
  ScopedTraceLog log;
  BitmapImageClass loaded(dir_ / "t.bmp");
  auto messages = log.Messages();
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0], "entering BitmapImageClass::BitmapImageClass(" + dir_ / "t.bmp" + ")...");
  EXPECT_EQ(messages[1], "entering BitmapImageClass::LoadFromFile(" + dir_ / "t.bmp" + ")...");
  EXPECT_EQ(messages[2], "exiting  BitmapImageClass::LoadFromFile(SUCCESS)...");
  EXPECT_EQ(messages[3], "exiting  BitmapImageClass::BitmapImageClass(SUCCESS)...");
}

TEST_F(BmpFileTest, GreyFileWithoutColourTableKeepsTheRamp) {
  BmpBytes file(4, 1, 8, 0, 4);
  file.bytes[54] = 9;
  auto image = Load(file.bytes);
  ASSERT_FALSE(image->IsEmpty());
  EXPECT_EQ(image->bmInfo.CLUT[1].rgbRed, 1);
  EXPECT_EQ(image->GetScanLine(0)[0], 9);

  BmpBytes table(4, 1, 8, 2, 1024 - 8 + 4);  // biClrUsed 2: 1024 bytes are read all the same
  table.bytes[54 + 4 * 3] = 77;              // entry 3, past the two announced
  table.Set32(10, 54 + 1024);
  table.Set32(2, 54 + 1024 + 4);
  auto withTable = Load(table.bytes);
  ASSERT_FALSE(withTable->IsEmpty());
  EXPECT_EQ(withTable->bmInfo.CLUT[3].rgbBlue, 77);
}

TEST_F(BmpFileTest, BadFilesAreRefusedWithTheirMessages) {
  const BitmapImageClass reference(4, 2, 24);
  BitmapImageClass good(4, 2, 24);
  ASSERT_TRUE(good.SaveToFile(dir_ / "good.bmp"));
  const std::string valid = ReadFile(dir_ / "good.bmp");  // 54 + 24 bytes

  auto with32 = [&](std::size_t offset, std::uint32_t v) {
    std::string b = valid;
    PutLE32(reinterpret_cast<std::uint8_t*>(b.data()) + offset, v);
    return b;
  };
  auto with16 = [&](std::size_t offset, std::uint16_t v) {
    std::string b = valid;
    PutLE16(reinterpret_cast<std::uint8_t*>(b.data()) + offset, v);
    return b;
  };
  struct Case {
    const char* name;
    std::string bytes;
    const char* box;
  };
  std::mt19937 random(7);
  std::string garbage(5000, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  std::string garbageBM = "BM" + garbage;

  const Case cases[] = {
      {"empty", "", "Unable to read BITMAPFILEHEADER"},
      {"short file header", valid.substr(0, 10), "Unable to read BITMAPFILEHEADER"},
      {"not BM", "XY" + valid.substr(2), "BITMAPFILEHEADER contains bad bfType"},
      {"garbage", garbage, "BITMAPFILEHEADER contains bad bfType"},
      {"no header size", valid.substr(0, 16), "Unable to read dwBitmapHeaderSize"},
      {"header size 108", with32(14, 108), "dwBitmapHeaderSize is improper"},
      {"short info header", valid.substr(0, 30), "dwBitmapHeaderSize is wrong size"},
      {"truncated pixels", valid.substr(0, 70), "Error in reading bitmap data"},
      {"one bit", with16(28, 1), "Unsupported BMP bit depth (1)"},
      {"four bit", with16(28, 4), "Unsupported BMP bit depth (4)"},
      {"twelve bit", with16(28, 12), "Unsupported BMP bit depth (12)"},
      {"compressed", with32(30, 1), "Compressed BMP files are not supported"},
      {"top-down", with32(22, static_cast<std::uint32_t>(-2)),
       "Top-down BMP files are not supported"},
      {"zero width", with32(18, 0), "BMP image size is improper"},
      {"negative width", with32(18, static_cast<std::uint32_t>(-4)), "BMP image size is improper"},
      {"zero height", with32(22, 0), "BMP image size is improper"},
      {"size field too small", with32(34, 8),
       "BMP image size field is smaller than its pixel rows"},
      {"absurd size", with32(18, 0x7FFFFFFF), "BMP image is too large (over 1 GiB of pixels)"},
      {"absurd height", with32(22, 100000000), "BMP image is too large (over 1 GiB of pixels)"},
      {"absurd size field", with32(34, 0xFFFFFFF0),
       "BMP image is too large (over 1 GiB of pixels)"},
      {"pixels past the end", with32(10, 1000), "Error in reading bitmap data"},
      {"garbage after BM", garbageBM, nullptr},
      {"colour table cut", BmpBytes(4, 1, 8, 256, 4).bytes.substr(0, 600),
       "Error in reading color table"},
      {"meta data cut", with32(10, 5000), "Error in reading attached meta data"},
  };
  for (const auto& c : cases) {
    const std::size_t before = boxes_.Boxes().size();
    auto image = Load(c.bytes);
    EXPECT_TRUE(image->IsEmpty()) << c.name;
    EXPECT_EQ(image->Bitmap.bmWidth, 0) << c.name;
    EXPECT_EQ(image->Bitmap.bmHeight, 0) << c.name;
    EXPECT_EQ(image->bmInfo.bmiHeader.biSizeImage, 0u) << c.name;
    ASSERT_GT(boxes_.Boxes().size(), before) << c.name;
    if (c.box != nullptr) {
      EXPECT_EQ(LastBox(), c.box) << c.name;
    }
    EXPECT_EQ(boxes_.Boxes().back().caption, LastBox() == "Improper file size!!!"
                                                 ? "BitmapImageClass::BitmapImageClass(char *)"
                                                 : "BitmapImageClass::BitmapImageClass(FileName)")
        << c.name;
  }
}

TEST_F(BmpFileTest, ErrorLinesNameTheFault) {
  ScopedTraceLog log;
  auto image = Load("XY" + std::string(60, '\0'));
  auto messages = log.Messages();
  EXPECT_NE(std::find(messages.begin(), messages.end(), "ERROR: improper bfType \"XY\"!!!"),
            messages.end());
  EXPECT_EQ(messages.back(), "exiting  BitmapImageClass::BitmapImageClass(FAILURE)...");
  EXPECT_EQ(messages[messages.size() - 2], "exiting  BitmapImageClass::LoadFromFile(FAILURE)...");
}

TEST_F(BmpFileTest, MissingFilesAndFoldersCannotBeOpened) {
  for (const std::string& path : {dir_ / "missing.bmp", dir_.Path()}) {
    BitmapImageClass image(path);
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(LastBox(), "Unable to open file \"" + path + "\"!!!");
    EXPECT_EQ(boxes_.Boxes().back().caption, "BitmapImageClass::BitmapImageClass(FileName)");
  }
}

TEST_F(BmpFileTest, LongerSizeClaimWarnsButLoads) {
  BitmapImageClass image(4, 2, 24);
  Fill(image, 5);
  ASSERT_TRUE(image.SaveToFile(dir_ / "w.bmp"));
  std::string bytes = ReadFile(dir_ / "w.bmp");
  PutLE32(reinterpret_cast<std::uint8_t*>(bytes.data()) + 2, 5000);
  auto loaded = Load(bytes);
  EXPECT_FALSE(loaded->IsEmpty());
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(LastBox(), "Improper file size!!!");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "BitmapImageClass::BitmapImageClass(char *)");
  EXPECT_EQ(std::memcmp(loaded->Bitmap.bmBits.get(), image.Bitmap.bmBits.get(), 24), 0);
}

TEST_F(BmpFileTest, HeaderShorterThanFortyBytesLeavesTheRestZero) {
  // A 24-byte header: size field, width, height, planes, bit count,
  // compression; biSizeImage and the rest are zero and the rows follow.
  BmpBytes file(2, 2, 24, 0, 16);
  file.Set32(14, 24);
  auto image = Load(file.bytes);
  ASSERT_FALSE(image->IsEmpty());
  EXPECT_EQ(image->bmInfo.bmiHeader.biSizeImage, 16u);
  EXPECT_EQ(image->bmInfo.bmiHeader.biSize, 40u);
  ASSERT_TRUE(image->SaveToFile(dir_ / "again.bmp"));
  EXPECT_EQ(Field32(ReadFile(dir_ / "again.bmp"), 10), 54u);
}

TEST_F(BmpFileTest, SavingCreatesFoldersAndReplacesFiles) {
  BitmapImageClass image(2, 2, 8);
  const std::string path = dir_ / "a/b/c/x.bmp";
  ASSERT_TRUE(image.SaveToFile(path));
  WriteFile(dir_ / "old.bmp", std::string(9000, 'o'));
  ASSERT_TRUE(image.SaveToFile(dir_ / "old.bmp"));
  EXPECT_EQ(ReadFile(dir_ / "old.bmp"), ReadFile(path));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()),
                          std::filesystem::directory_iterator()),
            2);  // no temporary files left beside
}

TEST_F(BmpFileTest, FolderThatCannotBeMadeIsAnErrorWithoutABox) {
  ScopedTraceLog log;
  WriteFile(dir_ / "file", "x");
  BitmapImageClass image(2, 2, 8);
  EXPECT_FALSE(image.SaveToFile(dir_ / "file/sub/x.bmp"));
  EXPECT_TRUE(boxes_.Boxes().empty());
  auto messages = log.Messages();
  EXPECT_NE(std::find(messages.begin(), messages.end(),
                      "ERROR: Unable to create directory \"" + dir_ / "file/sub/" + "\"!!!"),
            messages.end());
}

TEST_F(BmpFileTest, FileThatCannotBeCreatedShowsABox) {
  BitmapImageClass image(2, 2, 8);
  std::filesystem::create_directories(dir_ / "taken.bmp");
  EXPECT_FALSE(image.SaveToFile(dir_ / "taken.bmp"));
  EXPECT_EQ(LastBox(), "Unable to save file \"" + dir_ / "taken.bmp" + "\"!!!");
  EXPECT_EQ(boxes_.Boxes().back().caption, "BitmapImageClass::SaveToFile(FileName)");
}

TEST_F(BmpFileTest, AFailedWriteKeepsTheFileItWouldHaveReplaced) {
  const std::string path = dir_ / "thumb.bmp";
  BitmapImageClass small(2, 2, 8);
  ASSERT_TRUE(small.SaveToFile(path));
  const std::string before = ReadFile(path);

  ScopedTraceLog log;
  signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit limit = old;
  limit.rlim_cur = 4000;  // room for the headers, not for the rows
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  BitmapImageClass large(100, 100, 24);
  const bool saved = large.SaveToFile(path);
  setrlimit(RLIMIT_FSIZE, &old);

  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadFile(path), before);
  auto messages = log.Messages();
  EXPECT_NE(std::find(messages.begin(), messages.end(),
                      "ERROR: imcomplete bitmap data written to disk!!!"),
            messages.end());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
