#include <gtest/gtest.h>

#include <filesystem>

#include "BitmapImage.h"
#include "Composite.h"
#include "TestSupport.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

TEST(CompositeTest, MergesEachImageOnceAndWritesTheSteps) {
  TempDir dir;
  RecordingMessageBoxProvider boxes;
  ScopedMessageBoxProvider scoped(boxes);
  std::vector<std::string> names;
  for (int i = 0; i < 3; ++i) {
    BitmapImageClass image(50 + 10 * i, 40, 8);
    image.SetAllPixelsToValue(60 + 40 * i);
    names.push_back("img" + std::to_string(i) + ".bmp");
    ASSERT_TRUE(image.SaveToFile(dir / names.back()));
  }
  const CompositeResult result = BuildComposite(dir.Path(), names, 3);  // "Composite" is made
  EXPECT_GE(result.rounds, 10);
  EXPECT_LE(result.rounds, 14);
  EXPECT_EQ(result.merged, 3);
  ASSERT_NE(result.composite, nullptr);
  EXPECT_TRUE(boxes.Boxes().empty());

  int steps = 0;
  for (const auto& e : fs::directory_iterator(dir / "Composite")) {
    const std::string name = e.path().filename().string();
    steps += name.size() == 20 && name.find_first_not_of("0123456789") == 16;
  }
  EXPECT_GE(steps, 1);  // steps within one hundredth of a second share a name
  EXPECT_LE(steps, 3);

  // 04 is 01 plus 03, saturated; the display gets 04.
  BitmapImageClass first(dir / "Composite/01.bmp"), offset(dir / "Composite/03.bmp"),
      sum(dir / "Composite/04.bmp");
  ASSERT_FALSE(first.IsEmpty());
  ASSERT_EQ(sum.Bitmap.bmWidth, 640);
  ASSERT_EQ(sum.Bitmap.bmHeight, 480);
  bool anyMerged = false;
  for (int row = 0; row < 480; ++row)
    for (int column = 0; column < 640; ++column) {
      const int a = first.GetScanLine(row)[column], b = offset.GetScanLine(row)[column];
      ASSERT_EQ(sum.GetScanLine(row)[column], std::min(255, a + b)) << row << "," << column;
      ASSERT_EQ(result.composite->GetScanLine(row)[column], sum.GetScanLine(row)[column]);
      anyMerged |= a != 0;
    }
  EXPECT_TRUE(anyMerged);
}

TEST(CompositeTest, NothingWithoutAFolder) {
  const CompositeResult result = BuildComposite("", {"a.bmp"}, 1);
  EXPECT_EQ(result.composite, nullptr);
  EXPECT_EQ(result.rounds, 0);
}

}  // namespace
