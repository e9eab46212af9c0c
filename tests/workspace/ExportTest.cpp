#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <filesystem>

#include "CometMetrics.h"
#include "DataSets.h"
#include "MetricHistogram.h"
#include "SpreadsheetExport.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

// Three comets: lengths 10, 12.5, 15 and Head %DNA 80, 70, 60; the middle
// one deleted.
WellRecord SmallDataSet() {
  WellRecord well;
  MakeFreshDataSet(well, "small.bmp");
  well.CometCount = 3;
  const float lengths[] = {10.0f, 12.5f, 15.0f};
  for (int i = 0; i < 3; ++i) {
    CometRecord& c = well.Comets[i];
    c.Included = 1;
    c.Deleted = i == 1;
    c.Metrics[kCometLength] = lengths[i];
    c.Metrics[kHeadDNA] = 80.0f - 10.0f * i;
    SetImageName(c, "2013050714030917" + std::string(i == 2 ? "_2" : ""));
  }
  Zelcor_ComputeWellStatistics(well);
  return well;
}

std::array<bool, 18> Chosen(std::initializer_list<int> metrics) {
  std::array<bool, 18> chosen{};
  for (int m : metrics) chosen[m] = true;
  return chosen;
}

TEST(ExportTest, FilesByteForByte) {
  TempDir dir;
  WellRecord well = SmallDataSet();
  ASSERT_EQ(WriteSpreadsheet(well, dir / "results.xls", Chosen({kCometLength, kHeadDNA}), 2), "");
  EXPECT_EQ(ReadFile(dir / "results(raw data).xls"),
            "Comet\tComet\tHead\t\r\n"
            "Image\tLength\tDNA\t\r\n"
            "\t(px)\t(%)\t\r\n"
            "2013050714030917.bmp\t10.000000\t80.000000\t\r\n"
            "2013050714030917_2.bmp\t15.000000\t60.000000\t\r\n");
  EXPECT_EQ(ReadFile(dir / "results(histogram).xls"),
            "\t10.0 - 12.5\t12.5 - 15.0\r\n"
            "Comet Length (px)\t1.000000\t1.000000\t\r\n\r\n"
            "\t60.0 - 70.0\t70.0 - 80.0\r\n"
            "Head DNA (%)\t1.000000\t1.000000\t\r\n\r\n");
  EXPECT_FALSE(Exists(dir / "results.xls"));
}

TEST(ExportTest, NoMetricsAndNoComets) {
  TempDir dir;
  WellRecord well = SmallDataSet();
  ASSERT_EQ(WriteSpreadsheet(well, dir / "r.txt", Chosen({}), 100), "");
  EXPECT_EQ(ReadFile(dir / "r(raw data).txt"),
            "Comet\t\r\nImage\t\r\n\t\r\n2013050714030917.bmp\t\r\n2013050714030917_2.bmp\t\r\n");
  EXPECT_EQ(ReadFile(dir / "r(histogram).txt"), "");

  WellRecord empty;
  MakeFreshDataSet(empty, "new.bmp");
  Zelcor_ComputeWellStatistics(empty);
  ASSERT_EQ(WriteSpreadsheet(empty, dir / "e.xls", Chosen({kTailMoment}), 2), "");
  EXPECT_EQ(ReadFile(dir / "e(raw data).xls"), "Comet\tTail\t\r\nImage\tMoment\t\r\n\t\t\r\n");
  EXPECT_NE(ReadFile(dir / "e(histogram).xls").find("Tail Moment\t0.000000\t0.000000\t\r\n"),
            std::string::npos);
}

TEST(ExportTest, UnwritableFilesAreNamed) {
  WellRecord well = SmallDataSet();
  std::string error;
  EXPECT_EQ(WriteSpreadsheet(well, "/no/such/folder/r.xls", Chosen({1}), 2, &error),
            "ERROR CREATING RAW DATA FILE");
  EXPECT_EQ(error, "cannot create /no/such/folder/r(raw data).xls: No such file or directory");
  TempDir dir;
  std::filesystem::create_directories(dir / "h(histogram).xls");  // a folder in the way
  EXPECT_EQ(WriteSpreadsheet(well, dir / "h.xls", Chosen({1}), 2), "ERROR CREATING HISTOGRAM FILE");
  EXPECT_TRUE(Exists(dir / "h(raw data).xls"));
}

// Numbers keep "." under a desktop locale with a decimal comma, which the
// window's toolkit applies to the C library.
TEST(ExportTest, DecimalPointWhateverTheLocale) {
  const std::string comma = CommaDecimalLocale();
  if (comma.empty()) GTEST_SKIP() << "no de_DE locale can be made here (localedef missing)";
  TempDir dir;
  WellRecord well = SmallDataSet();
  ASSERT_EQ(WriteSpreadsheet(well, dir / "c.xls", Chosen({kCometLength}), 2), "");
  const std::string expectedRaw = ReadFile(dir / "c(raw data).xls");
  const std::string expectedHistogram = ReadFile(dir / "c(histogram).xls");
  ASSERT_NE(setlocale(LC_ALL, comma.c_str()), nullptr);
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 1.5);
  EXPECT_STREQ(probe, "1,5");  // the locale is in force
  const std::string word = WriteSpreadsheet(well, dir / "d.xls", Chosen({kCometLength}), 2);
  setlocale(LC_ALL, "C");
  ASSERT_EQ(word, "");
  EXPECT_EQ(ReadFile(dir / "d(raw data).xls"), expectedRaw);
  EXPECT_EQ(ReadFile(dir / "d(histogram).xls"), expectedHistogram);
  EXPECT_NE(expectedHistogram.find("10.0 - 12.5"), std::string::npos) << expectedHistogram;
}

// Fewer than two counted comets leave the statistics at their sentinels;
// the bins then span the comets' own values (0 and 1 when there are none),
// and the data set keeps what it holds.
TEST(ExportTest, BinsOfDataSetsWithoutStatistics) {
  TempDir dir;
  WellRecord one;
  MakeFreshDataSet(one, "one.bmp");
  one.CometCount = 1;
  one.Comets[0].Included = 1;
  one.Comets[0].Metrics[kTailMoment] = 7.5f;
  Zelcor_ComputeWellStatistics(one);
  const float sentinel = one.MinValue[SlotOfMetric(kTailMoment)];
  ASSERT_EQ(WriteSpreadsheet(one, dir / "one.xls", Chosen({kTailMoment}), 2), "");
  EXPECT_EQ(ReadFile(dir / "one(histogram).xls"),
            "\t7.5 - 8.0\t8.0 - 8.5\r\nTail Moment\t1.000000\t0.000000\t\r\n\r\n");
  EXPECT_EQ(one.MinValue[SlotOfMetric(kTailMoment)], sentinel);

  WellRecord none;
  MakeFreshDataSet(none, "none.bmp");
  Zelcor_ComputeWellStatistics(none);
  ASSERT_EQ(WriteSpreadsheet(none, dir / "none.xls", Chosen({kTailMoment}), 2), "");
  EXPECT_EQ(ReadFile(dir / "none(histogram).xls"),
            "\t0.0 - 0.5\t0.5 - 1.0\r\nTail Moment\t0.000000\t0.000000\t\r\n\r\n");
}

// Every "entering fopen" has its exiting line, so the trace does not stay
// one level deeper after an export.
TEST(ExportTest, TraceIsBalanced) {
  ScopedTraceLog log;
  TempDir dir;
  WellRecord well = SmallDataSet();
  const int depth = ProcessEventLog().Depth();
  ASSERT_EQ(WriteSpreadsheet(well, dir / "t.xls", Chosen({kCometLength}), 2), "");
  EXPECT_EQ(ProcessEventLog().Depth(), depth);
  EXPECT_EQ(WriteSpreadsheet(well, "/no/such/folder/t.xls", Chosen({1}), 2),
            "ERROR CREATING RAW DATA FILE");
  EXPECT_EQ(ProcessEventLog().Depth(), depth);
}

TEST(MetricHistogramTest, BucketsOfUndeletedComets) {
  WellRecord well = SmallDataSet();
  // Min 10, range 5 over the counted comets.
  EXPECT_EQ(ComputeHistogram(well, kCometLength, 5), (std::vector<float>{1, 0, 0, 0, 1}));
  well.Comets[1].Deleted = 0;  // now counted in the buckets, not in the range
  EXPECT_EQ(ComputeHistogram(well, kCometLength, 2), (std::vector<float>{1, 2}));
  well.Comets[1].Metrics[kCometLength] = 2.0f;  // below the minimum: the first bucket
  EXPECT_EQ(ComputeHistogram(well, kCometLength, 2), (std::vector<float>{2, 1}));
  well.RangeValue[SlotOfMetric(kTailArea)] = 0.0f;
  ComputeHistogram(well, kTailArea, 3);
  EXPECT_EQ(well.RangeValue[SlotOfMetric(kTailArea)], 1.0f);
}

}  // namespace
