#include <gtest/gtest.h>

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
  EXPECT_EQ(WriteSpreadsheet(well, "/no/such/folder/r.xls", Chosen({1}), 2),
            "ERROR CREATING RAW DATA FILE");
  TempDir dir;
  std::filesystem::create_directories(dir / "h(histogram).xls");  // a folder in the way
  EXPECT_EQ(WriteSpreadsheet(well, dir / "h.xls", Chosen({1}), 2), "ERROR CREATING HISTOGRAM FILE");
  EXPECT_TRUE(Exists(dir / "h(raw data).xls"));
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
