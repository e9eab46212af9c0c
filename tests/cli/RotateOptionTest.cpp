// strandex-cli score --rotate: fields whose tails do not point right.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliFixture.h"
#include "CometDatabase.h"
#include "FieldImageLoader.h"
#include "FieldTiff.h"
#include "ImagePaths.h"
#include "QuarterTurns.h"
#include "SyntheticField.h"
#include "TestSupport.h"
#include "ToolkitWrappers.h"

using namespace testing_support;

namespace {

WellRecord ReadDataSet(const std::string& path) {
  WellRecord well;
  Zelcor_ReadFromDB(path, well);
  return well;
}

class RotateOptionTest : public CliTest {
 protected:
  // The field as a PNG with its tails pointing right, and as 12-bit TIFFs
  // turned clockwise, tails pointing down.
  void MakeFields() {
    std::filesystem::create_directories(work_ / "right");
    std::filesystem::create_directories(work_ / "down");
    SyntheticField field = MakeSyntheticField(640, 480, 5);
    ASSERT_TRUE(SaveRasterAsPng(*field.image, work_ / "right/field.png"));
    auto grey = LoadFieldImage(work_ / "right/field.png");
    ASSERT_NE(grey, nullptr);
    ASSERT_TRUE(RotateCounterClockwise(*grey, 270));
    for (const char* name : {"down/field.tif", "down/second.TIF"})
      WriteFile(work_ / name, GreyTiffBytes(*grey, 16, 16, 7));
  }
};

TEST_F(RotateOptionTest, TurnedFieldsGiveTheCometsOfTheRightPointingOneAndSummarySaysSo) {
  MakeFields();
  const CliRun right = Cli("score right --cutoff 40");
  ASSERT_EQ(right.status, 0) << right.out;
  const CliRun down = Cli("score down --cutoff 40 --rotate 90");
  ASSERT_EQ(down.status, 0) << down.out;
  // The log, at its default settings (no trace lines), says how each image
  // was read and turned.
  const std::string log = ReadFile(home_ / "strandex-cli.log");
  EXPECT_EQ(log.find("entering "), std::string::npos);
  for (const std::string image : {"down/field.tif", "down/second.TIF"}) {
    EXPECT_NE(log.find(image + ": 16-bit samples scaled by 1/16 (12 significant bits"),
              std::string::npos)
        << image << "\n"
        << log;
    EXPECT_NE(log.find(image + " is scored turned 90 degrees counter-clockwise"), std::string::npos)
        << image << "\n"
        << log;
  }
  const WellRecord expected = ReadDataSet(work_ / "right/field/field.cdb");
  ASSERT_GT(expected.CometCount, 3u);
  EXPECT_TRUE(Contains(down, "field.tif: " + std::to_string(expected.CometCount) + " comets"))
      << down.out;
  for (const char* image : {"down/field.tif", "down/second.TIF"}) {
    const WellRecord turned = ReadDataSet(DataSetPathOf(work_ / image));
    ASSERT_EQ(turned.CometCount, expected.CometCount) << image;
    EXPECT_EQ(turned.Rotation, 90);
    for (std::uint32_t i = 0; i < turned.CometCount; ++i)
      for (int m = 0; m < 18; ++m)
        EXPECT_EQ(turned.Comets[i].Metrics[m], expected.Comets[i].Metrics[m]) << image << " " << i;
  }

  const struct {
    const char* path;
    const char* rotation;
  } summaries[] = {
      {"right", "rotation before scoring: none"},
      {"down/field.tif", "rotation before scoring: 90 degrees counter-clockwise"},
      {"down", "rotation before scoring: 90 degrees counter-clockwise\n"},
  };
  for (const auto& s : summaries) {
    const CliRun summary = Cli(std::string("summary ") + s.path);
    ASSERT_EQ(summary.status, 0) << summary.out;
    EXPECT_TRUE(Contains(summary, s.rotation)) << summary.out;
  }
  // Images of one folder scored at different turns: each turn is counted.
  ASSERT_EQ(Cli("score down/second.TIF --cutoff 40 --yes").status, 0);
  EXPECT_TRUE(Contains(Cli("summary down"),
                       "rotation before scoring: none (1 image), 90 degrees counter-clockwise "
                       "(1 image)"));
}

TEST_F(RotateOptionTest, OnlyQuarterTurnsAreTaken) {
  for (const char* value : {"45", "-90", "360", "left", ""}) {
    const CliRun run = Cli(std::string("score x.png --cutoff 40 --rotate '") + value + "'");
    EXPECT_EQ(run.status, 2) << value;
    EXPECT_TRUE(Contains(run, "--rotate takes 90, 180 or 270 (degrees counter-clockwise)"))
        << value << ": " << run.out;
  }
}

}  // namespace
