// Fields as microscope cameras save them: TIFF, 16-bit samples of 12 or 16
// significant bits, tails that point down.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "FieldImageLoader.h"
#include "FieldTiff.h"
#include "FolderScoring.h"
#include "ImagePaths.h"
#include "QuarterTurns.h"
#include "SyntheticField.h"
#include "TestSupport.h"
#include "ToolkitWrappers.h"
#include "WorkspaceTestUtil.h"

using namespace testing_support;

namespace {

class MicroscopeFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SyntheticField field = MakeSyntheticField(640, 480, 21);
    ASSERT_TRUE(SaveRasterAsPng(*field.image, dir_ / "field.png"));
    grey_ = LoadFieldImage(dir_ / "field.png");
    ASSERT_NE(grey_, nullptr);
  }

  // The grey field as a one-page TIFF: each level v stored as v x factor
  // plus `low` (a sample of `bits` bits).
  std::string SaveTiff(const BitmapImageClass& image, const std::string& name, int bits,
                       std::uint32_t factor, std::uint32_t low = 0) const {
    WriteFile(dir_ / name, GreyTiffBytes(image, bits, factor, low));
    return dir_ / name;
  }

  static ImageScoreReport Score(const std::string& path, int rotation = 0) {
    ScoreRequest request;
    request.cutoff = 40;
    request.rotation = rotation;
    return ScoreImage(path, request, false);
  }

  // The comets of two scored images agree in number, place and metrics.
  static void ExpectSameComets(const std::string& image, const std::string& reference) {
    const WellRecord a = ReadDataSet(DataSetPathOf(image));
    const WellRecord b = ReadDataSet(DataSetPathOf(reference));
    ASSERT_EQ(a.CometCount, b.CometCount) << image;
    for (std::uint32_t i = 0; i < a.CometCount; ++i) {
      EXPECT_EQ(a.Comets[i].CenterX, b.Comets[i].CenterX) << image << " comet " << i;
      EXPECT_EQ(a.Comets[i].CenterY, b.Comets[i].CenterY) << image << " comet " << i;
      for (int m = 0; m < 18; ++m)
        EXPECT_EQ(a.Comets[i].Metrics[m], b.Comets[i].Metrics[m]) << image << " metric " << m;
    }
  }

  TempDir dir_;
  TempDir data_;
  ScopedEnv trash_{"XDG_DATA_HOME", data_.Path().c_str()};
  RecordingMessageBoxProvider boxes_;
  ScopedMessageBoxProvider scoped_{boxes_};
  std::unique_ptr<BitmapImageClass> grey_;
};

TEST_F(MicroscopeFilesTest, TiffsOfEightTwelveAndSixteenBitsScoreLikeThePng) {
  const ImageScoreReport png = Score(dir_ / "field.png");
  ASSERT_EQ(png.outcome, ScoreOutcome::kScored) << png.message;
  ASSERT_GT(png.comets, 3u);
  // A 12-bit camera's samples carry noise below the 8-bit step.
  const std::string tiffs[] = {SaveTiff(*grey_, "eight.tif", 8, 1),
                               SaveTiff(*grey_, "sixteen.tif", 16, 257),
                               SaveTiff(*grey_, "twelve.tiff", 16, 16, 11)};
  for (const std::string& tiff : tiffs) {
    auto loaded = LoadFieldImage(tiff);
    ASSERT_NE(loaded, nullptr) << tiff;
    for (int r = 0; r < 480; ++r)
      ASSERT_EQ(std::memcmp(loaded->GetScanLine(r), grey_->GetScanLine(r), 640), 0) << tiff;
    const ImageScoreReport report = Score(tiff);
    ASSERT_EQ(report.outcome, ScoreOutcome::kScored) << tiff << ": " << report.message;
    EXPECT_EQ(report.comets, png.comets) << tiff;
    ExpectSameComets(tiff, dir_ / "field.png");
  }
  EXPECT_EQ(ResultFolderOf(tiffs[0]), dir_ / "eight/");
  EXPECT_TRUE(Exists(dir_ / "twelve/twelve.cdb"));
  EXPECT_EQ(ReadDataSet(dir_ / "twelve/twelve.cdb").Rotation, 0);
}

TEST_F(MicroscopeFilesTest, TailsPointingDownScoredTurnedByNinetyGiveTheRightPointingComets) {
  ASSERT_EQ(Score(dir_ / "field.png").outcome, ScoreOutcome::kScored);
  // The field turned clockwise: its tails point down, as under a camera
  // whose picture has the anode at the top.
  BitmapImageClass down(*grey_);
  ASSERT_TRUE(RotateCounterClockwise(down, 270));
  ASSERT_EQ(down.Bitmap.bmWidth, 480);
  const std::string path = SaveTiff(down, "down.tif", 16, 16);

  const ImageScoreReport unturned = Score(path);
  ASSERT_EQ(unturned.outcome, ScoreOutcome::kScored) << unturned.message;
  const WellRecord asStored = ReadDataSet(DataSetPathOf(path));
  const ImageScoreReport turned = Score(path, 90);
  ASSERT_EQ(turned.outcome, ScoreOutcome::kScored) << turned.message;
  ExpectSameComets(path, dir_ / "field.png");
  EXPECT_EQ(ReadDataSet(DataSetPathOf(path)).Rotation, 90);
  // Unturned, the tails run across the columns the profiles add up: the
  // comets lose most of their tails.
  const WellRecord field = ReadDataSet(DataSetPathOf(dir_ / "field.png"));
  const int tailDna = 2 + 15;  // statistic slot of Tail %DNA
  EXPECT_LT(asStored.MeanValue[tailDna], field.MeanValue[tailDna] * 0.8f);
}

}  // namespace
