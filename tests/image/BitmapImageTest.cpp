#include "BitmapImage.h"

#include <gtest/gtest.h>

#include <cstring>

#include "MemoryBitmap.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

void SetPixel(BitmapImageClass& image, int x, int row, std::initializer_list<int> bytes) {
  std::uint8_t* p = image.GetScanLine(row) + x * image.BytesPerPixel;
  for (int b : bytes) *p++ = static_cast<std::uint8_t>(b);
}

std::vector<int> Pixel(const BitmapImageClass& image, int x, int row) {
  const std::uint8_t* p = image.GetScanLine(row) + x * image.BytesPerPixel;
  return std::vector<int>(p, p + image.BytesPerPixel);
}

class BitmapImageTest : public ::testing::Test {
 protected:
  RecordingMessageBoxProvider boxes_;
  ScopedMessageBoxProvider scoped_{boxes_};
};

TEST_F(BitmapImageTest, ConstructionBySizePadsRowsAndFillsTheHeader) {
  struct Case {
    int width, height, bits, widthBytes, bytesPerPixel;
    std::uint32_t clrUsed;
  };
  const Case cases[] = {{5, 3, 8, 8, 1, 256}, {5, 3, 24, 16, 3, 0}, {5, 3, 32, 20, 4, 0},
                        {5, 3, 16, 12, 2, 0}, {4, 2, 24, 12, 3, 0}, {1, 1, 8, 4, 1, 256}};
  for (const auto& c : cases) {
    BitmapImageClass image(c.width, c.height, static_cast<std::int16_t>(c.bits));
    const BitmapInfoHeader& h = image.bmInfo.bmiHeader;
    EXPECT_EQ(image.Bitmap.bmWidthBytes, c.widthBytes) << c.width << "x" << c.bits;
    EXPECT_EQ(image.BytesPerPixel, c.bytesPerPixel);
    EXPECT_EQ(h.biSizeImage, static_cast<std::uint32_t>(c.widthBytes * c.height));
    EXPECT_EQ(h.biClrUsed, c.clrUsed);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, c.width);
    EXPECT_EQ(h.biHeight, c.height);
    EXPECT_EQ(h.biBitCount, c.bits);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(image.Bitmap.bmBitsPixel, c.bits);
    const RgbQuad& entry = image.bmInfo.CLUT[200];
    EXPECT_EQ(std::vector<int>({entry.rgbBlue, entry.rgbGreen, entry.rgbRed, entry.rgbReserved}),
              std::vector<int>({200, 200, 200, 0}));
  }
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(BitmapImageTest, ConstructionIsTraced) {
  ScopedTraceLog log;
  { BitmapImageClass image(5, 3, 8); }
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{
                                "entering BitmapImageClass::BitmapImageClass(5, 3, 8)...",
                                "entering BitmapImageClass::CreateThis(5, 3, 8)...",
                                "exiting  BitmapImageClass::CreateThis(SUCCESS)...",
                                "exiting  BitmapImageClass::BitmapImageClass(SUCCESS)...",
                                "entering ~BitmapImageClass::BitmapImageClass()...",
                                "exiting  ~BitmapImageClass::BitmapImageClass()...",
                            }));
}

TEST_F(BitmapImageTest, UnsupportedDepthIsRefusedWithABox) {
  ScopedTraceLog log;
  BitmapImageClass image(5, 3, 12);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Unsupported bit depth (12)");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "BitmapImageClass::CreateThis()");
  EXPECT_TRUE(image.IsEmpty());
  EXPECT_EQ(image.Bitmap.bmWidth, 0);
  auto messages = log.Messages();
  EXPECT_EQ(messages[2], "exiting  BitmapImageClass::CreateThis()...");
  EXPECT_EQ(messages[3], "exiting  BitmapImageClass::BitmapImageClass(FAILURE)...");
}

TEST_F(BitmapImageTest, ImpossibleSizesFailAsAllocationsAndLeaveAnEmptyImage) {
  ScopedTraceLog log;
  const std::int32_t sizes[][2] = {{100000, 100000}, {-5, 3}, {5, -3}, {2147483647, 1}};
  for (const auto& size : sizes) {
    BitmapImageClass image(size[0], size[1], 24);
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(image.Bitmap.bmWidth, 0);
    EXPECT_EQ(image.Bitmap.bmHeight, 0);
    EXPECT_EQ(image.bmInfo.bmiHeader.biSizeImage, 0u);
    image.MirrorHorizontal();  // an empty image takes every operation
    image.FlipVertical();
    image.SetBitsPerPixel(8);
  }
  ASSERT_EQ(boxes_.Boxes().size(), std::size(sizes));
  EXPECT_EQ(boxes_.Boxes()[0].text, "unable to allocate storage for BITMAP->bmBits");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "BitmapImageClass::CreateThis()");
  EXPECT_NE(std::find(log.Messages().begin(), log.Messages().end(),
                      "ERROR: unable to allocate storage for BITMAP->bmBits!!!"),
            log.Messages().end());
}

TEST_F(BitmapImageTest, ToolkitBitmapGivesUnpaddedRowsBottomUp) {
  MemoryBitmap bitmap(5, 3, ToolkitPixelFormat::k24Bit, 3);
  for (int row = 0; row < 3; ++row)
    for (int i = 0; i < 15; ++i) bitmap.ScanLine(row)[i] = static_cast<std::uint8_t>(row * 16 + i);
  BitmapImageClass image(bitmap);
  EXPECT_EQ(image.Bitmap.bmWidthBytes, 15);
  EXPECT_EQ(image.Bitmap.bmBitsPixel, 24);
  for (int r = 0; r < 3; ++r)
    EXPECT_EQ(std::memcmp(image.GetScanLine(r), bitmap.ScanLine(2 - r), 15), 0) << r;

  // A copy of it has padded rows with the same pixels.
  BitmapImageClass copy(image);
  EXPECT_EQ(copy.Bitmap.bmWidthBytes, 16);
  for (int r = 0; r < 3; ++r)
    EXPECT_EQ(std::memcmp(copy.GetScanLine(r), image.GetScanLine(r), 15), 0);
}

TEST_F(BitmapImageTest, ToolkitFormatsMapToDepths) {
  struct Case {
    ToolkitPixelFormat format;
    int bytes;
    int bits;  // 0: refused
    const char* box;
  };
  const Case cases[] = {
      {ToolkitPixelFormat::k8Bit, 1, 8, nullptr},
      {ToolkitPixelFormat::k32Bit, 4, 32, nullptr},
      {ToolkitPixelFormat::k16Bit, 2, 16, nullptr},
      {ToolkitPixelFormat::k1Bit, 1, 0, "Unsupported bit depth (1)"},
      {ToolkitPixelFormat::k4Bit, 1, 0, "Unsupported bit depth (4)"},
      {ToolkitPixelFormat::k15Bit, 2, 0, "Unsupported bit depth (15)"},
      {ToolkitPixelFormat::kDeviceDependent, 4, 0, "Unsupported bit depth (0)"},
  };
  for (const auto& c : cases) {
    MemoryBitmap bitmap(3, 2, c.format, c.bytes);
    std::memset(bitmap.ScanLine(0), 9, static_cast<std::size_t>(3 * c.bytes * 2));
    const std::size_t before = boxes_.Boxes().size();
    BitmapImageClass image(bitmap);
    if (c.bits != 0) {
      EXPECT_EQ(image.Bitmap.bmBitsPixel, c.bits);
      EXPECT_EQ(image.GetScanLine(1)[0], 9);
      EXPECT_EQ(boxes_.Boxes().size(), before);
    } else {
      EXPECT_TRUE(image.IsEmpty());
      ASSERT_FALSE(boxes_.Boxes().empty());
      EXPECT_EQ(boxes_.Boxes().back().text, c.box);
    }
  }
  // The unknown format was named first by the depth query.
  EXPECT_EQ(boxes_.Boxes()[boxes_.Boxes().size() - 2].text, "unknown PixelFormat!!!");
  EXPECT_EQ(boxes_.Boxes()[boxes_.Boxes().size() - 2].caption, "TBitmap_GetDepthInBits");
}

TEST_F(BitmapImageTest, CopyFromToolkitConvertsBetweenGreyAndColour) {
  MemoryBitmap colour(2, 1, ToolkitPixelFormat::k24Bit, 3);
  const std::uint8_t pixels[] = {10, 20, 30, 255, 255, 255};
  std::memcpy(colour.ScanLine(0), pixels, 6);
  BitmapImageClass grey(2, 1, 8);
  grey.Copy(colour);
  EXPECT_EQ(Pixel(grey, 0, 0), std::vector<int>{21});
  EXPECT_EQ(Pixel(grey, 1, 0), std::vector<int>{254});

  MemoryBitmap greyBitmap(2, 1, ToolkitPixelFormat::k8Bit, 1);
  greyBitmap.ScanLine(0)[0] = 77;
  greyBitmap.ScanLine(0)[1] = 5;
  BitmapImageClass wide(2, 1, 32);
  wide.Copy(greyBitmap);
  EXPECT_EQ(Pixel(wide, 0, 0), (std::vector<int>{77, 77, 77, 0}));
  EXPECT_EQ(Pixel(wide, 1, 0), (std::vector<int>{5, 5, 5, 0}));

  // Another size: nothing is copied.
  BitmapImageClass other(3, 1, 8);
  std::memset(other.GetScanLine(0), 1, 3);
  other.Copy(colour);
  EXPECT_EQ(Pixel(other, 0, 0), std::vector<int>{1});

  // One-bit rows hold no whole bytes per pixel: nothing is read from them.
  MemoryBitmap bits(2, 1, ToolkitPixelFormat::k1Bit, 1);
  BitmapImageClass target(2, 1, 8);
  SetPixel(target, 0, 0, {42});
  target.Copy(bits);
  EXPECT_EQ(Pixel(target, 0, 0), std::vector<int>{42});
}

TEST_F(BitmapImageTest, SetBitsPerPixelConvertsWithTheGreyRule) {
  BitmapImageClass image(5, 1, 24);
  SetPixel(image, 0, 0, {10, 20, 30});
  SetPixel(image, 1, 0, {255, 255, 255});
  SetPixel(image, 2, 0, {1, 1, 1});
  image.SetBitsPerPixel(8);
  EXPECT_EQ(image.Bitmap.bmWidthBytes, 8);
  EXPECT_EQ(image.bmInfo.bmiHeader.biClrUsed, 256u);
  EXPECT_EQ(Pixel(image, 0, 0), std::vector<int>{21});
  EXPECT_EQ(Pixel(image, 1, 0), std::vector<int>{254});
  EXPECT_EQ(Pixel(image, 2, 0), std::vector<int>{0});
}

TEST_F(BitmapImageTest, SetBitsPerPixelToTheSameDepthChangesNothing) {
  ScopedTraceLog log;
  BitmapImageClass image(5, 3, 8);
  const std::uint8_t* storage = image.Bitmap.bmBits.get();
  image.SetBitsPerPixel(8);
  EXPECT_EQ(image.Bitmap.bmBits.get(), storage);
  auto messages = log.Messages();
  EXPECT_NE(std::find(messages.begin(), messages.end(),
                      "exiting  BitmapImageClass::SetBitsPerPixel(ABORTED)..."),
            messages.end());
}

TEST_F(BitmapImageTest, GreyToColourUsesTheFreshGreyRamp) {
  BitmapImageClass image(2, 2, 8);
  image.bmInfo.CLUT[77] = RgbQuad{1, 2, 3, 4};
  SetPixel(image, 1, 1, {77});
  image.SetBitsPerPixel(24);
  EXPECT_EQ(Pixel(image, 1, 1), (std::vector<int>{77, 77, 77}));
  image.SetBitsPerPixel(32);
  EXPECT_EQ(Pixel(image, 1, 1), (std::vector<int>{77, 77, 77, 0}));
  SetPixel(image, 0, 0, {1, 2, 3, 99});
  image.SetBitsPerPixel(24);
  EXPECT_EQ(Pixel(image, 0, 0), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(image.Bitmap.bmWidthBytes, 8);
}

TEST_F(BitmapImageTest, RefusedDepthLeavesTheImageAsItWas) {
  BitmapImageClass image(3, 2, 24);
  SetPixel(image, 2, 1, {7, 8, 9});
  const std::uint8_t* storage = image.Bitmap.bmBits.get();
  image.SetBitsPerPixel(12);
  EXPECT_EQ(image.Bitmap.bmBits.get(), storage);
  EXPECT_EQ(image.Bitmap.bmBitsPixel, 24);
  EXPECT_EQ(image.BytesPerPixel, 3);
  EXPECT_EQ(image.Bitmap.bmWidth, 3);
  EXPECT_EQ(image.bmInfo.bmiHeader.biBitCount, 24);
  EXPECT_EQ(Pixel(image, 2, 1), (std::vector<int>{7, 8, 9}));
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
}

TEST_F(BitmapImageTest, SixteenBitPixelsAreNotConverted) {
  BitmapImageClass image(2, 1, 16);
  SetPixel(image, 0, 0, {200, 100});
  image.SetBitsPerPixel(8);
  EXPECT_EQ(image.Bitmap.bmBitsPixel, 8);
  EXPECT_EQ(Pixel(image, 0, 0), std::vector<int>{0});
}

TEST_F(BitmapImageTest, CopyConstructionKeepsTheColourTableAndMetaData) {
  BitmapImageClass image(3, 2, 8);
  image.bmInfo.CLUT[5] = RgbQuad{0, 0, 255, 0};
  image.MetaData[4095] = 0xAB;
  SetPixel(image, 2, 1, {5});
  BitmapImageClass copy(image);
  EXPECT_EQ(copy.bmInfo.CLUT[5].rgbRed, 255);
  EXPECT_EQ(copy.bmInfo.CLUT[5].rgbBlue, 0);
  EXPECT_EQ(copy.MetaData[4095], 0xAB);
  EXPECT_EQ(Pixel(copy, 2, 1), std::vector<int>{5});
}

TEST_F(BitmapImageTest, CopyOfGreyIntoColourPaintsThroughTheColourTable) {
  BitmapImageClass grey(2, 1, 8);
  SetPixel(grey, 0, 0, {3});
  grey.MetaData[0] = 1;
  BitmapImageClass colour(2, 1, 24);
  colour.bmInfo.CLUT[3] = RgbQuad{10, 20, 30, 0};
  colour.Copy(grey);
  EXPECT_EQ(Pixel(colour, 0, 0), (std::vector<int>{10, 20, 30}));
  EXPECT_EQ(colour.MetaData[0], 0);  // not copied in this case

  BitmapImageClass other(2, 1, 32);
  other.Copy(grey);  // takes the source's depth first
  EXPECT_EQ(other.Bitmap.bmBitsPixel, 8);
  EXPECT_EQ(Pixel(other, 0, 0), std::vector<int>{3});
  EXPECT_EQ(other.MetaData[0], 1);
}

TEST_F(BitmapImageTest, SubImageCopyClipsToTheSource) {
  BitmapImageClass source(10, 10, 8);
  for (int r = 0; r < 10; ++r)
    for (int x = 0; x < 10; ++x) SetPixel(source, x, r, {r * 10 + x});
  source.MetaData[7] = 7;

  BitmapImageClass cut(4, 4, 8);
  std::memset(cut.GetScanLine(0), 255, static_cast<std::size_t>(cut.Bitmap.bmWidthBytes) * 4);
  cut.Copy(source, 8, 7);
  EXPECT_EQ(cut.MetaData[7], 7);
  for (int r = 0; r < 4; ++r)
    for (int x = 0; x < 4; ++x) {
      const int expected = (r < 3 && x < 2) ? (7 + r) * 10 + 8 + x : 255;
      EXPECT_EQ(Pixel(cut, x, r), std::vector<int>{expected}) << x << "," << r;
    }

  BitmapImageClass outside(4, 4, 8);
  SetPixel(outside, 0, 0, {1});
  outside.Copy(source, 20, 20);
  outside.Copy(source, -1, 0);
  EXPECT_EQ(Pixel(outside, 0, 0), std::vector<int>{1});
  BitmapImageClass deeper(2, 2, 24);
  deeper.Copy(source, 0, 0);  // another depth: refused
  EXPECT_EQ(Pixel(deeper, 0, 0), (std::vector<int>{0, 0, 0}));
}

TEST_F(BitmapImageTest, MirrorAndFlipMovePixelsNotBytes) {
  BitmapImageClass image(3, 1, 24);
  SetPixel(image, 0, 0, {1, 2, 3});
  SetPixel(image, 1, 0, {4, 5, 6});
  SetPixel(image, 2, 0, {7, 8, 9});
  image.GetScanLine(0)[9] = 0xEE;  // padding stays where it is
  image.MirrorHorizontal();
  EXPECT_EQ(Pixel(image, 0, 0), (std::vector<int>{7, 8, 9}));
  EXPECT_EQ(Pixel(image, 1, 0), (std::vector<int>{4, 5, 6}));
  EXPECT_EQ(Pixel(image, 2, 0), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(image.GetScanLine(0)[9], 0xEE);

  for (int height : {2, 3}) {
    BitmapImageClass square(2, height, 8);
    for (int r = 0; r < height; ++r)
      for (int x = 0; x < 2; ++x) SetPixel(square, x, r, {r * 2 + x});
    square.GetScanLine(0)[3] = 0xAA;  // padding moves with its row
    square.MirrorHorizontal();
    square.FlipVertical();
    for (int r = 0; r < height; ++r)
      for (int x = 0; x < 2; ++x)
        EXPECT_EQ(Pixel(square, x, r), std::vector<int>{(height - 1 - r) * 2 + (1 - x)});
    EXPECT_EQ(square.GetScanLine(height - 1)[3], 0xAA);
  }
}

TEST_F(BitmapImageTest, CopyScanLineCopiesPixelBytesOnly) {
  BitmapImageClass image(3, 2, 24);
  SetPixel(image, 2, 1, {1, 2, 3});
  std::vector<std::uint8_t> buffer(10, 0xFF);
  image.CopyScanLine(buffer.data(), 1);
  EXPECT_EQ(buffer[6], 1);
  EXPECT_EQ(buffer[8], 3);
  EXPECT_EQ(buffer[9], 0xFF);
}

}  // namespace
