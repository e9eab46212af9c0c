#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "CometDatabase.h"
#include "CometMetrics.h"
#include "DataSets.h"
#include "EditTestData.h"
#include "ImagePaths.h"
#include "IniFile.h"
#include "SizeFilter.h"
#include "TestSupport.h"
#include "WorkspaceTestUtil.h"

using namespace testing_support;

namespace {

std::string Exactly(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}

using SizeFilterTest = EditingTest;

TEST(SizeLimitsTest, AsTypedThenCorrected) {
  constexpr float kNone = 2147483648.0f;
  const float inf = HUGE_VALF;
  struct Case {
    SizeFilterTexts texts;
    SizeLimits typed, corrected;
    int errors;  // texts that are not numbers
  };
  const Case cases[] = {
      {{}, {0, kNone, 0, kNone}, {0, kNone, 0, kNone}, 0},
      {{"-5", "0", "", "-1"}, {-5, 0, 0, -1}, {0, kNone, 0, kNone}, 0},
      {{"12.5", " 1.5e3 ", "0.1", "7"}, {12.5f, 1500, 0.1f, 7}, {12.5f, 1500, 0.1f, 7}, 0},
      {{"abc", "7.5kg", "2,5", "1e40"}, {0, 7.5f, 2.5f, inf}, {0, 7.5f, 2.5f, inf}, 3},
      {{"-1e40", "-", "3", "0"}, {-inf, 0, 3, 0}, {0, kNone, 3, kNone}, 1},
  };
  for (const Case& c : cases) {
    ScopedTraceLog log;
    const SizeLimits typed = ParseSizeLimits(c.texts);
    EXPECT_EQ(std::memcmp(&typed, &c.typed, sizeof typed), 0) << c.texts.minArea;
    const SizeLimits corrected = CorrectSizeLimits(typed);
    EXPECT_EQ(std::memcmp(&corrected, &c.corrected, sizeof typed), 0) << c.texts.minArea;
    int errors = 0;
    for (const std::string& m : log.Messages()) errors += m.rfind("ERROR: ", 0) == 0;
    EXPECT_EQ(errors, c.errors) << c.texts.minArea;
  }
  // "nan" reads as no number at all: typed as such, then no limit.
  const SizeLimits nan = ParseSizeLimits({"nan", "nan", "0", "1"});
  EXPECT_TRUE(std::isnan(nan.minArea));
  const SizeLimits mended = CorrectSizeLimits(nan);
  EXPECT_EQ(mended.minArea, 0.0f);
  EXPECT_EQ(mended.maxArea, kNone);
}

TEST(SizeLimitsTest, SettingsKeepTheTextsAsTyped) {
  TempDir dir;
  IniFile settings(dir / "strandex.ini");
  EXPECT_EQ(ReadSizeFilterTexts(settings).maxArea, "2147483648");  // defaults
  const SizeFilterTexts typed{"1,5", "abc", "", "7"};
  ASSERT_TRUE(WriteSizeFilterTexts(settings, typed));
  EXPECT_EQ(ReadFile(dir / "strandex.ini").find("[main]"), 0u);
  const std::string text = ReadFile(dir / "strandex.ini");
  EXPECT_LT(text.find("FilterMinAreaEdit=1,5"), text.find("FilterMaxAreaEdit=abc"));
  EXPECT_LT(text.find("FilterMaxAreaEdit=abc"), text.find("FilterMinHeightEdit="));
  EXPECT_LT(text.find("FilterMinHeightEdit="), text.find("FilterMaxHeightEdit="));
  const SizeFilterTexts back = ReadSizeFilterTexts(settings);
  EXPECT_EQ(back.minArea, "1,5");
  EXPECT_EQ(back.maxArea, "abc");
  EXPECT_EQ(back.minHeight, "");
  EXPECT_EQ(back.maxHeight, "7");
}

TEST_F(SizeFilterTest, MaximumAreaZeroHidesInPreviewAndDeletesNothingInApply) {
  const std::string image = ScoredField(dir_.Path(), "field", 41);
  const std::string cdb = DataSetPathOf(image);
  WellRecord well = ReadDataSet(cdb);
  ASSERT_GE(well.CometCount, 3u);
  const std::string file = ReadFile(cdb);
  SizeFilterTexts texts;
  texts.maxArea = "0";

  PreviewSizeFilter(well, texts);
  EXPECT_EQ(well.MaxCometArea, 0.0f);
  EXPECT_EQ(well.MinCometArea, 0.0f);
  for (std::uint32_t i = 0; i < well.CometCount; ++i) {
    EXPECT_EQ(well.Comets[i].Deleted, 0);
    EXPECT_GT(well.Comets[i].Metrics[kCometArea], well.MaxCometArea);  // outside: hidden
  }
  EXPECT_EQ(ReadFile(cdb), file);  // nothing written

  const ApplyResult r = ApplySizeFilter(well, DataSetPlace::OfImage(image), texts);
  EXPECT_EQ(r.deleted, 0u);
  EXPECT_EQ(r.message, "");
  EXPECT_EQ(well.MaxCometArea, 2147483648.0f);
  const WellRecord stored = ReadDataSet(cdb);
  EXPECT_EQ(stored.MaxCometArea, 2147483648.0f);
  for (std::uint32_t i = 0; i < stored.CometCount; ++i) EXPECT_EQ(stored.Comets[i].Deleted, 0);
}

TEST_F(SizeFilterTest, CometsOnTheLimitsStayAndDeletionsLast) {
  const std::string image = ScoredField(dir_.Path(), "field", 42);
  const std::string cdb = DataSetPathOf(image);
  WellRecord well = ReadDataSet(cdb);
  ASSERT_GE(well.CometCount, 4u);
  std::vector<float> areas, heights;
  for (std::uint32_t i = 0; i < well.CometCount; ++i) {
    areas.push_back(well.Comets[i].Metrics[kCometArea]);
    heights.push_back(well.Comets[i].Metrics[kCometHeight]);
  }
  std::vector<float> sorted = areas;
  std::sort(sorted.begin(), sorted.end());
  const float minArea = sorted[1];
  std::vector<float> sortedHeights = heights;
  std::sort(sortedHeights.begin(), sortedHeights.end());
  const float maxHeight = sortedHeights[sortedHeights.size() - 2];
  const SizeFilterTexts texts{Exactly(minArea), "2147483648", "0", Exactly(maxHeight)};

  const ApplyResult r = ApplySizeFilter(well, DataSetPlace::OfImage(image), texts);
  EXPECT_EQ(r.message, "");
  EXPECT_EQ(well.MinCometArea, minArea);
  EXPECT_EQ(well.MaxCometHeight, maxHeight);
  std::uint32_t deleted = 0;
  for (std::uint32_t i = 0; i < well.CometCount; ++i) {
    const bool outside = areas[i] < minArea || heights[i] > maxHeight;
    EXPECT_EQ(well.Comets[i].Deleted, outside ? 1 : 0) << i;
    deleted += outside;
    if ((areas[i] == minArea && heights[i] <= maxHeight) ||
        (heights[i] == maxHeight && areas[i] >= minArea)) {
      EXPECT_EQ(well.Comets[i].Deleted, 0) << "on a limit " << i;
    }
  }
  EXPECT_EQ(r.deleted, deleted);
  EXPECT_GE(deleted, 2u);

  // Opened again, the deletions and limits are there.
  WellRecord reopened;
  ASSERT_TRUE(LoadImageDataSet(image, reopened));
  EXPECT_EQ(reopened.MinCometArea, minArea);
  for (std::uint32_t i = 0; i < well.CometCount; ++i)
    EXPECT_EQ(reopened.Comets[i].Deleted, well.Comets[i].Deleted) << i;
  EXPECT_EQ(std::memcmp(reopened.MeanValue, well.MeanValue, sizeof well.MeanValue), 0);
}

TEST_F(SizeFilterTest, FolderApplyMarksEachImagesOwnDataSet) {
  const std::string folder = dir_ / "folder";
  const std::string a = ScoredField(folder, "a", 43);
  const std::string b = ScoredField(folder, "b", 44);
  WellRecord owns[2] = {ReadDataSet(DataSetPathOf(a)), ReadDataSet(DataSetPathOf(b))};
  WellRecord well;
  BuildFolderSummary(folder, well);
  std::vector<float> areas;
  for (std::uint32_t i = 0; i < well.CometCount; ++i)
    areas.push_back(well.Comets[i].Metrics[kCometArea]);
  std::sort(areas.begin(), areas.end());
  const float median = areas[areas.size() / 2];
  const SizeFilterTexts texts{Exactly(median), "", "", ""};
  const ApplyResult r = ApplySizeFilter(well, DataSetPlace::OfFolder(folder), texts);
  EXPECT_EQ(r.message, "");
  EXPECT_EQ(r.deleted, std::lower_bound(areas.begin(), areas.end(), median) - areas.begin());
  EXPECT_GE(r.deleted, 1u);
  WellRecord again;
  BuildFolderSummary(folder, again);
  ASSERT_EQ(again.CometCount, well.CometCount);
  for (std::uint32_t i = 0; i < well.CometCount; ++i)
    EXPECT_EQ(again.Comets[i].Deleted, well.Comets[i].Deleted) << i;
  // Each image's own statistics count what is left in it.
  for (std::size_t j = 0; j < 2; ++j) {
    WellRecord own = ReadDataSet(DataSetPathOf(j == 0 ? a : b));
    WellRecord& expected = owns[j];
    for (std::uint32_t i = 0; i < expected.CometCount; ++i)
      if (expected.Comets[i].Metrics[kCometArea] < median) expected.Comets[i].Deleted = 1;
    Zelcor_ComputeWellStatistics(expected);
    EXPECT_EQ(std::memcmp(own.MeanValue, expected.MeanValue, sizeof own.MeanValue), 0);
    for (std::uint32_t i = 0; i < expected.CometCount; ++i)
      EXPECT_EQ(std::memcmp(&own.Comets[i], &expected.Comets[i], sizeof(CometRecord)), 0);
  }
}

TEST_F(SizeFilterTest, DataSetsThatCannotBeWrittenAreReportedAndLeftIntact) {
  const std::string image = ScoredField(dir_.Path(), "one", 45);
  const std::string folder = dir_ / "folder";
  const std::string a = ScoredField(folder, "a", 46);
  WellRecord one = ReadDataSet(DataSetPathOf(image));
  WellRecord summary;
  BuildFolderSummary(folder, summary);
  const std::string fileOne = ReadFile(DataSetPathOf(image));
  const std::string fileA = ReadFile(DataSetPathOf(a));
  const SizeFilterTexts texts{"1e9", "", "", ""};  // deletes every comet
  ApplyResult r1, r2;
  {
    ScopedFileSizeLimit limit(1000);
    r1 = ApplySizeFilter(one, DataSetPlace::OfImage(image), texts);
    r2 = ApplySizeFilter(summary, DataSetPlace::OfFolder(folder), texts);
  }
  EXPECT_NE(r1.message.find(DataSetPathOf(image)), std::string::npos) << r1.message;
  EXPECT_NE(r2.message.find(DataSetPathOf(a)), std::string::npos) << r2.message;
  EXPECT_EQ(ReadFile(DataSetPathOf(image)), fileOne);
  EXPECT_EQ(ReadFile(DataSetPathOf(a)), fileA);
  // One image's data set on view is what its file holds: nothing deleted.
  EXPECT_EQ(r1.deleted, 0u);
  ASSERT_GT(one.CometCount, 0u);
  for (std::uint32_t i = 0; i < one.CometCount; ++i) EXPECT_EQ(one.Comets[i].Deleted, 0) << i;
}

// Apply writes an image's own results only: an image never scored gets no
// ".cdb", and one that cannot be read or holds the results of another image
// of the same name is left byte for byte.
TEST_F(SizeFilterTest, ApplyNeverWritesOverResultsThatAreNotTheImagesOwn) {
  const SizeFilterTexts texts{"1e9", "", "", ""};  // deletes every comet
  {
    SCOPED_TRACE("never scored");
    const std::string image = dir_ / "fresh.bmp";
    ASSERT_TRUE(Squares(200, 150, {{40, 40, 30, 20}}).SaveToFile(image));
    WellRecord well;
    EXPECT_FALSE(LoadImageDataSet(image, well));
    const ApplyResult r = ApplySizeFilter(well, DataSetPlace::OfImage(image), texts);
    EXPECT_EQ(r.message, "");
    EXPECT_FALSE(Exists(ResultFolderOf(image)));
  }
  const std::string owner = ScoredField(dir_ / "pair", "slide", 47);  // slide.png
  const std::string other = dir_.Path() + "/pair/slide.bmp";
  ASSERT_TRUE(Squares(200, 150, {{40, 40, 30, 20}}).SaveToFile(other));
  const std::string cdb = DataSetPathOf(other);
  ASSERT_EQ(cdb, DataSetPathOf(owner));
  const std::string ownersFile = ReadFile(cdb);
  {
    SCOPED_TRACE("another image's results");
    WellRecord well;
    EXPECT_FALSE(LoadImageDataSet(other, well));
    const ApplyResult r = ApplySizeFilter(well, DataSetPlace::OfImage(other), texts);
    EXPECT_NE(r.message.find("rename"), std::string::npos) << r.message;
    EXPECT_EQ(ReadFile(cdb), ownersFile);
  }
  {
    SCOPED_TRACE("unreadable");
    std::filesystem::remove(other);
    WriteFile(cdb, ownersFile.substr(0, 100));
    WellRecord well;
    EXPECT_FALSE(LoadImageDataSet(owner, well));
    const ApplyResult r = ApplySizeFilter(well, DataSetPlace::OfImage(owner), texts);
    EXPECT_NE(r.message.find("cannot be read"), std::string::npos) << r.message;
    EXPECT_EQ(ReadFile(cdb), ownersFile.substr(0, 100));
  }
}

}  // namespace
