#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "AppPaths.h"
#include "CometMetrics.h"
#include "FolderScoring.h"
#include "ImagePaths.h"
#include "ScoringWorkspace.h"
#include "SyntheticField.h"
#include "TestSupport.h"
#include "ToolkitWrappers.h"
#include "WorkspaceTestUtil.h"

using namespace testing_support;

namespace {

class ScoringTest : public ::testing::Test {
 protected:
  std::string SaveBmp(const BitmapImageClass& image, const std::string& name) {
    EXPECT_TRUE(const_cast<BitmapImageClass&>(image).SaveToFile(dir_ / name));
    return dir_ / name;
  }
  std::uint32_t Score(const std::string& path, int cutoff, bool ask = false) {
    ScoringWorkspace w;
    EXPECT_TRUE(w.SelectImage(path));
    EXPECT_EQ(w.ScoreSelectedImageUsingCutoff(static_cast<std::uint8_t>(cutoff), ask),
              ScoreOutcome::kScored);
    return w.DataSet().CometCount;
  }

  TempDir dir_;
  TempDir data_;
  ScopedEnv trash_{"XDG_DATA_HOME", data_.Path().c_str()};
  RecordingMessageBoxProvider boxes_;
  ScopedMessageBoxProvider scoped_{boxes_};
};

TEST_F(ScoringTest, FindsTheGeneratedComets) {
  SyntheticField field = MakeSyntheticField(1280, 960, 11);
  const std::string path = dir_ / "field.png";
  ASSERT_TRUE(SaveRasterAsPng(*field.image, path));
  ScoringWorkspace w;
  ASSERT_TRUE(w.SelectImage(path));
  ASSERT_EQ(w.ScoreSelectedImageUsingCutoff(40, false), ScoreOutcome::kScored);
  const WellRecord& well = w.DataSet();

  int inside = 0;
  for (const SyntheticComet& c : field.comets) {
    if (c.onBorder) continue;
    ++inside;
    // A scored comet whose centre lies within the head's reach; centres
    // count rows from the bottom of the picture.
    const int row = 959 - c.headY;
    bool found = false;
    for (std::uint32_t i = 0; i < well.CometCount; ++i) {
      const CometRecord& r = well.Comets[i];
      found |= std::abs(r.CenterX - c.headX) < c.radius + c.tailLength &&
               std::abs(r.CenterY - row) < c.radius;
    }
    EXPECT_TRUE(found) << c.headX << "," << c.headY;
  }
  EXPECT_EQ(well.CometCount, static_cast<std::uint32_t>(inside));
  for (std::uint32_t i = 0; i < well.CometCount; ++i) {
    EXPECT_GT(well.Comets[i].CenterX, 30);  // the border comets are gone
    EXPECT_LT(well.Comets[i].CenterX, 1250);
  }

  // One data set and two thumbnails per comet, named alike.
  const std::string folder = ResultFolderOf(path);
  std::vector<std::string> expected = {"field.cdb"};
  for (std::uint32_t i = 0; i < well.CometCount; ++i) {
    const std::string name = ImageNameOf(well.Comets[i]);
    EXPECT_TRUE(IsPlainFileName(name));
    expected.push_back(name + ".bmp");
    expected.push_back(name + ".jpg");
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FilesIn(folder), expected);
  const WellRecord stored = ReadDataSet(DataSetPathOf(path));
  EXPECT_EQ(stored.CometCount, well.CometCount);
  EXPECT_EQ(WellNameOf(stored), "field.png");
  EXPECT_NE(stored.MeanValue[SlotOfMetric(kCometArea)], 0);  // statistics written
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(ScoringTest, BorderFeaturesStayOnlyInSmallImages) {
  struct Case {
    int width, height;
    std::uint32_t comets;
  };
  for (const Case& c : {Case{320, 240, 2}, Case{400, 200, 2}, Case{321, 241, 1}}) {
    const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height) + ".bmp";
    const std::string path =
        SaveBmp(Squares(c.width, c.height, {{0, 50, 30, 30}, {150, 100, 30, 30}}), name);
    EXPECT_EQ(Score(path, 100), c.comets) << name;
  }
}

TEST_F(ScoringTest, OnlyFeaturesOfSixteenBySixteenAreComets) {
  const std::string path = SaveBmp(
      Squares(200, 150, {{20, 20, 16, 16}, {80, 20, 15, 40}, {140, 60, 40, 15}}), "sizes.bmp");
  ScoringWorkspace w;
  ASSERT_TRUE(w.SelectImage(path));
  ASSERT_EQ(w.ScoreSelectedImageUsingCutoff(100, false), ScoreOutcome::kScored);
  ASSERT_EQ(w.DataSet().CometCount, 1u);
  EXPECT_EQ(w.DataSet().Comets[0].ImageWidth, 16);
  EXPECT_EQ(w.DataSet().Comets[0].ImageHeight, 16);
}

TEST_F(ScoringTest, RescoringAsksAndTrashesTheOldResults) {
  const std::string path = SaveBmp(Squares(200, 150, {{40, 40, 30, 20}}), "again.bmp");
  ASSERT_EQ(Score(path, 100), 1u);
  const std::string folder = ResultFolderOf(path);
  const std::vector<std::string> before = FilesIn(folder);
  const std::string cdb = ReadFile(DataSetPathOf(path));

  ScoringWorkspace w;
  ASSERT_TRUE(w.SelectImage(path));
  boxes_.ScriptAnswers({kIdNo});
  {
    ScopedTraceLog log;
    EXPECT_EQ(w.ScoreSelectedImageUsingCutoff(100, true), ScoreOutcome::kDeclined);
    EXPECT_EQ(log.Messages().back(),
              "exiting  TMainApplicationForm::ScoreSelectedImageUsingCutoff(CANCELLED)...");
  }
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Overwrite existing data?");
  EXPECT_EQ(boxes_.Boxes()[0].caption, folder);
  EXPECT_EQ(FilesIn(folder), before);
  EXPECT_EQ(ReadFile(DataSetPathOf(path)), cdb);

  boxes_.ScriptAnswers({kIdYes});
  EXPECT_EQ(w.ScoreSelectedImageUsingCutoff(100, true), ScoreOutcome::kScored);
  // The old results, whole and restorable to where they were.
  EXPECT_EQ(ReadFile(data_ / "Trash/files/again/again.cdb"), cdb);
  EXPECT_EQ(FilesIn(data_ / "Trash/files/again"), before);
  const std::string info = ReadFile(data_ / "Trash/info/again.trashinfo");
  std::string place = folder;
  place.pop_back();
  EXPECT_NE(info.find("\nPath=" + place + "\n"), std::string::npos) << info;
  EXPECT_EQ(FilesIn(folder).size(), 3u);
  // Nothing of the swap is left beside the image.
  EXPECT_EQ(FilesIn(FolderOf(path)), (std::vector<std::string>{"again", "again.bmp"}));
}

TEST_F(ScoringTest, AnUnreadableImageIsNeverScored) {
  const std::string path = SaveBmp(Squares(200, 150, {{40, 40, 30, 20}}), "broken.bmp");
  ASSERT_EQ(Score(path, 100), 1u);
  const std::string cdb = ReadFile(DataSetPathOf(path));
  WriteFile(path, "BM this is no longer a picture");
  ScoringWorkspace w;
  EXPECT_FALSE(w.SelectImage(path));
  EXPECT_EQ(w.ScoreSelectedImageUsingCutoff(100, false), ScoreOutcome::kFailed);
  EXPECT_EQ(ReadFile(DataSetPathOf(path)), cdb);
  EXPECT_FALSE(w.Message().empty());
}

TEST_F(ScoringTest, CutoffScoringWidensTheLimits) {
  const std::string path =
      SaveBmp(Squares(200, 150, {{40, 40, 30, 20}, {100, 60, 40, 40}}), "limits.bmp");
  ASSERT_EQ(Score(path, 100), 2u);
  WellRecord narrowed = ReadDataSet(DataSetPathOf(path));
  narrowed.MinCometArea = 700;
  narrowed.MaxCometArea = 800;
  ASSERT_TRUE(Zelcor_WriteToDB(DataSetPathOf(path), narrowed));
  boxes_.ScriptAnswers({kIdYes});
  ASSERT_EQ(Score(path, 100, true), 2u);
  const WellRecord widened = ReadDataSet(DataSetPathOf(path));
  EXPECT_EQ(widened.MinCometArea, 599);   // 30 x 20 but the dim centre
  EXPECT_EQ(widened.MaxCometArea, 1599);  // 40 x 40 but the dim centre
}

TEST_F(ScoringTest, AutomaticThresholdFindsComets) {
  SyntheticField field = MakeSyntheticField(640, 480, 5);
  const std::string path = dir_ / "auto.png";
  ASSERT_TRUE(SaveRasterAsPng(*field.image, path));
  ScoringWorkspace w;
  ASSERT_TRUE(w.SelectImage(path));
  ASSERT_EQ(w.ScoreSelectedImageUsingAutoThreshold(false), ScoreOutcome::kScored);
  EXPECT_GE(w.DataSet().CometCount, 4u);
  EXPECT_EQ(ReadDataSet(DataSetPathOf(path)).CometCount, w.DataSet().CometCount);
}

TEST(ThumbnailNamesTest, RepeatsGetSuffixes) {
  TempDir dir;
  std::string last;
  const std::string first = NextThumbnailName(dir.Path() + "/", last);
  WriteFile(dir / (first + ".bmp"), "x");
  const std::string second = NextThumbnailName(dir.Path() + "/", last);
  EXPECT_NE(first, second);
  EXPECT_EQ(first.size(), 16u);
  EXPECT_EQ(last, second);
}

// Images scored at once each name their comets in their own folder; a
// folder data set finds a comet by its name alone, so no name is given twice.
TEST(ThumbnailNamesTest, ImagesScoredAtOnceNeverShareAName) {
  TempDir dir;
  std::vector<std::string> names[2];
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t)
    threads.emplace_back([&, t] {
      const std::string folder = dir.Path() + "/" + std::to_string(t) + "/";
      std::string last;
      for (int k = 0; k < 200; ++k) names[t].push_back(NextThumbnailName(folder, last));
    });
  for (std::thread& thread : threads) thread.join();
  std::set<std::string> all(names[0].begin(), names[0].end());
  all.insert(names[1].begin(), names[1].end());
  EXPECT_EQ(all.size(), names[0].size() + names[1].size());
}

TEST_F(ScoringTest, TheWorkspaceWritesNoHandlerOfTheWindow) {
  const std::string path = SaveBmp(Squares(200, 150, {{40, 40, 30, 20}}), "traced.bmp");
  ScopedTraceLog log;
  ScoreRequest request;
  request.cutoff = 100;
  EXPECT_EQ(ScoreImage(path, request, false).outcome, ScoreOutcome::kScored);
  bool scored = false;
  for (const std::string& m : log.Messages()) {
    EXPECT_EQ(m.find("Click"), std::string::npos) << m;
    EXPECT_EQ(m.find("DirTreeView"), std::string::npos) << m;
    EXPECT_EQ(m.find("LoadImageIntoWorkspace"), std::string::npos) << m;
    scored |= m == "exiting  TMainApplicationForm::ScoreSelectedImageUsingCutoff(SUCCESS)...";
  }
  EXPECT_TRUE(scored);
}

}  // namespace
