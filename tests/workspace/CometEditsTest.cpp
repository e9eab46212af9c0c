#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "CometDatabase.h"
#include "CometEdits.h"
#include "CometGridLayout.h"
#include "CometImage.h"
#include "CometMetrics.h"
#include "DataSets.h"
#include "EditTestData.h"
#include "ImagePaths.h"
#include "TestSupport.h"
#include "WorkspaceTestUtil.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

bool Same(const CometRecord& a, const CometRecord& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

using CometEditsTest = EditingTest;

TEST_F(CometEditsTest, DeleteUndoRedoOnOneImage) {
  const std::string image = ScoredField(dir_.Path(), "field", 21);
  const std::string cdb = DataSetPathOf(image);
  WellRecord well = ReadDataSet(cdb);
  ASSERT_GE(well.CometCount, 3u);
  const CometRecord original = well.Comets[1];
  const WellRecord before = ReadDataSet(cdb);
  CometEdits edits;
  edits.Attach(well, DataSetPlace::OfImage(image));
  EXPECT_EQ(edits.State(), UndoState::kStart);
  EXPECT_FALSE(edits.CanUndo());
  EXPECT_FALSE(edits.CanRedo());

  EditResult r = edits.Click(CursorMode::kDelete, 1);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(r.message, "");
  EXPECT_EQ(r.sourceImage, "");  // one image: nothing else to show
  EXPECT_EQ(well.Comets[1].Deleted, 1);
  EXPECT_TRUE(edits.CanUndo());
  EXPECT_FALSE(edits.CanRedo());
  EXPECT_EQ(edits.UndoCometIndex(), 1);
  EXPECT_EQ(edits.UndoAction(), 3);
  EXPECT_TRUE(Same(edits.UndoComet(), original));
  // On disk with its statistics, which no longer count the comet.
  WellRecord stored = ReadDataSet(cdb);
  EXPECT_EQ(stored.Comets[1].Deleted, 1);
  WellRecord expected = ReadDataSet(cdb);  // as before the edit, then deleted by hand
  for (std::uint32_t i = 0; i < expected.CometCount; ++i) expected.Comets[i] = before.Comets[i];
  static_cast<WellHeader&>(expected) = before;
  expected.Comets[1].Deleted = 1;
  Zelcor_ComputeWellStatistics(expected);
  EXPECT_TRUE(Same(stored.Comets[0], expected.Comets[0]));
  EXPECT_EQ(std::memcmp(stored.MeanValue, expected.MeanValue, sizeof stored.MeanValue), 0);
  EXPECT_EQ(std::memcmp(well.MeanValue, expected.MeanValue, sizeof well.MeanValue), 0);
  const CometRecord deleted = well.Comets[1];

  r = edits.Undo();
  EXPECT_TRUE(r.changed);
  EXPECT_TRUE(Same(well.Comets[1], original));
  EXPECT_TRUE(Same(ReadDataSet(cdb).Comets[1], original));
  EXPECT_TRUE(Same(edits.RedoComet(), deleted));
  EXPECT_EQ(edits.State(), UndoState::kUndone);
  EXPECT_FALSE(edits.CanUndo());
  EXPECT_TRUE(edits.CanRedo());

  // A second undo without a new edit is not possible.
  const std::string file = ReadFile(cdb);
  EXPECT_FALSE(edits.Undo().changed);
  EXPECT_EQ(ReadFile(cdb), file);
  EXPECT_TRUE(Same(well.Comets[1], original));

  r = edits.Redo();
  EXPECT_TRUE(r.changed);
  EXPECT_TRUE(Same(well.Comets[1], deleted));
  EXPECT_EQ(ReadDataSet(cdb).Comets[1].Deleted, 1);
  EXPECT_EQ(edits.State(), UndoState::kEdited);
  EXPECT_FALSE(edits.Redo().changed);  // nor a second redo
  EXPECT_TRUE(edits.Undo().changed);   // but the undo again
  EXPECT_EQ(ReadDataSet(cdb).Comets[1].Deleted, 0);
}

TEST_F(CometEditsTest, ScoringAgainMeasuresAsScoringDidAndUndoRewritesTheJpeg) {
  const std::string image = ScoredField(dir_.Path(), "field", 22);
  const std::string cdb = DataSetPathOf(image);
  WellRecord well = ReadDataSet(cdb);
  ASSERT_GE(well.CometCount, 1u);
  const CometRecord scored = well.Comets[0];
  const std::string stem = ResultFolderOf(image) + ImageNameOf(scored);
  const std::string scoredJpg = ReadFile(stem + ".jpg");
  CometEdits edits;
  edits.Attach(well, DataSetPlace::OfImage(image));

  // "Manual Score" a few columns right of the found head.
  const int head = std::min(scored.HeadCenter + 5, scored.ImageWidth - 2);
  const int cellWidth = 400;
  const int x = head + 1 + ((cellWidth - scored.ImageWidth) >> 1);
  EditResult r = edits.Click(CursorMode::kManualScore, 0, x, cellWidth);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(r.message, "");
  EXPECT_EQ(well.Comets[0].HeadCenter, head);
  CometRecord manual = scored;
  {
    CometImageClass comet(stem + ".bmp");
    Zelcor_ComputeMetrics(comet, manual, head, well.ScaleX, well.ScaleY);
  }
  manual.Metrics[kCometProbability] = well.Comets[0].Metrics[kCometProbability];  // statistics' value
  EXPECT_TRUE(Same(well.Comets[0], manual));
  EXPECT_TRUE(Same(ReadDataSet(cdb).Comets[0], manual));
  const std::string manualJpg = ReadFile(stem + ".jpg");
  EXPECT_NE(manualJpg, scoredJpg);
  EXPECT_EQ(edits.UndoAction(), 2);

  // "Auto Score" finds the head scoring found: the same record and picture.
  r = edits.Click(CursorMode::kAutoScore, 0);
  EXPECT_TRUE(r.changed);
  EXPECT_TRUE(Same(well.Comets[0], scored));
  EXPECT_EQ(ReadFile(stem + ".jpg"), scoredJpg);
  EXPECT_EQ(edits.UndoAction(), 1);
  EXPECT_TRUE(Same(edits.UndoComet(), manual));

  // Undo measures about the restored head and rewrites the ".jpg".
  r = edits.Undo();
  EXPECT_TRUE(r.changed);
  EXPECT_TRUE(Same(well.Comets[0], manual));
  EXPECT_TRUE(Same(ReadDataSet(cdb).Comets[0], manual));
  EXPECT_EQ(ReadFile(stem + ".jpg"), manualJpg);
  edits.Redo();
  EXPECT_TRUE(Same(well.Comets[0], scored));
  EXPECT_EQ(ReadFile(stem + ".jpg"), scoredJpg);
}

TEST(ManualHeadColumnTest, ClickColumnInsideTheCentredThumbnail) {
  struct Case {
    int x, cellWidth, width, head;
  };
  const Case cases[] = {
      {30, 80, 40, 9},    // 10 pixels right of the thumbnail's left edge
      {21, 80, 40, 0},    // its first column
      {20, 80, 40, -1},   // left of it: the head is then found
      {5, 80, 40, -16},   //
      {30, 81, 40, 9},    // an odd margin rounds down
      {10, 50, 61, 15},   // wider than the cell: the margin is negative, rounded down
      {40000, 1, 1, -25537},  // kept as a 16-bit value
  };
  for (const Case& c : cases)
    EXPECT_EQ(HeadColumnInCell(c.x, c.cellWidth, c.width), c.head)
        << c.x << " " << c.cellWidth << " " << c.width;
}

TEST_F(CometEditsTest, FolderEditsUpdateTheImagesOwnDataSet) {
  const std::string folder = dir_ / "folder";
  const std::string a = ScoredField(folder, "a", 31);
  const std::string b = ScoredField(folder, "b", 32);
  WellRecord well;
  BuildFolderSummary(folder, well);
  const std::uint32_t inA = ReadDataSet(DataSetPathOf(a)).CometCount;
  ASSERT_GE(ReadDataSet(DataSetPathOf(b)).CometCount, 2u);
  const std::uint32_t k = inA + 1;  // the second comet of b
  const CometRecord original = well.Comets[k];
  const std::string fileA = ReadFile(DataSetPathOf(a));
  WellRecord recounted = ReadDataSet(DataSetPathOf(b));  // b as before the edit
  CometEdits edits;
  edits.Attach(well, DataSetPlace::OfFolder(folder));

  EditResult r = edits.Click(CursorMode::kNoChange, k);
  EXPECT_FALSE(r.changed);
  EXPECT_EQ(r.sourceImage, b);  // shown in every mode
  EXPECT_EQ(edits.State(), UndoState::kStart);

  r = edits.Click(CursorMode::kDelete, k);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(r.message, "");
  EXPECT_EQ(r.sourceImage, b);
  EXPECT_EQ(well.Comets[k].Deleted, 1);
  WellRecord ownB = ReadDataSet(DataSetPathOf(b));
  EXPECT_EQ(ownB.Comets[1].Deleted, 1);
  recounted.Comets[1].Deleted = 1;
  Zelcor_ComputeWellStatistics(recounted);
  EXPECT_EQ(std::memcmp(ownB.MeanValue, recounted.MeanValue, sizeof ownB.MeanValue), 0);
  EXPECT_EQ(ReadFile(DataSetPathOf(a)), fileA);
  // The folder's data set has no file of its own.
  EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"a", "a.png", "b", "b.png"}));

  r = edits.Undo();
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(r.sourceImage, b);
  EXPECT_TRUE(Same(ReadDataSet(DataSetPathOf(b)).Comets[1], original));
  // Opened again, the folder shows the comet restored.
  WellRecord again;
  BuildFolderSummary(folder, again);
  EXPECT_TRUE(Same(again.Comets[k], original));
  EXPECT_EQ(edits.Click(CursorMode::kNoChange, k).sourceImage, b);
  EXPECT_EQ(edits.State(), UndoState::kUndone);  // a "No Change" click leaves undo alone

  // A re-scored comet replaces the stored one (whose probability follows
  // its own image's statistics) and gets a new ".jpg" in b's results.
  const std::string jpg = ResultFolderOf(b) + ImageNameOf(original) + ".jpg";
  const std::string scoredJpg = ReadFile(jpg);
  r = edits.Click(CursorMode::kManualScore, k, original.ImageWidth, original.ImageWidth);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(well.Comets[k].HeadCenter, original.ImageWidth - 1);  // the last column
  CometRecord stored = ReadDataSet(DataSetPathOf(b)).Comets[1];
  stored.Metrics[kCometProbability] = well.Comets[k].Metrics[kCometProbability];
  EXPECT_TRUE(Same(stored, well.Comets[k]));
  EXPECT_NE(ReadFile(jpg), scoredJpg);
  EXPECT_EQ(ReadFile(DataSetPathOf(a)), fileA);
}

TEST_F(CometEditsTest, AFolderCometWithoutThumbnailIsLeftUnchanged) {
  const std::string folder = dir_ / "folder";
  const std::string a = ScoredField(folder, "a", 33);
  WellRecord well;
  BuildFolderSummary(folder, well);
  ASSERT_GE(well.CometCount, 1u);
  const std::string stem = ResultFolderOf(a) + ImageNameOf(well.Comets[0]);
  fs::rename(stem + ".bmp", stem + ".moved");
  const std::string file = ReadFile(DataSetPathOf(a));
  const CometRecord original = well.Comets[0];
  CometEdits edits;
  edits.Attach(well, DataSetPlace::OfFolder(folder));
  for (CursorMode mode : {CursorMode::kNoChange, CursorMode::kAutoScore, CursorMode::kDelete}) {
    const EditResult r = edits.Click(mode, 0);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(r.sourceImage, "");
    EXPECT_NE(r.message.find(ImageNameOf(original)), std::string::npos) << r.message;
  }
  EXPECT_TRUE(Same(well.Comets[0], original));
  EXPECT_EQ(ReadFile(DataSetPathOf(a)), file);
  EXPECT_EQ(edits.State(), UndoState::kStart);
}

TEST_F(CometEditsTest, AMissingOrBrokenThumbnailLeavesTheCometUnchanged) {
  const std::string image = ScoredField(dir_.Path(), "field", 23);
  WellRecord well = ReadDataSet(DataSetPathOf(image));
  ASSERT_GE(well.CometCount, 2u);
  const std::string file = ReadFile(DataSetPathOf(image));
  const std::string folder = ResultFolderOf(image);
  fs::remove(folder + ImageNameOf(well.Comets[0]) + ".bmp");
  WriteFile(folder + ImageNameOf(well.Comets[1]) + ".bmp", "BM garbage");
  CometEdits edits;
  edits.Attach(well, DataSetPlace::OfImage(image));
  for (std::uint32_t k : {0u, 1u}) {
    const CometRecord original = well.Comets[k];
    const EditResult r = edits.Click(CursorMode::kAutoScore, k);
    EXPECT_FALSE(r.changed);
    EXPECT_NE(r.message.find(".bmp"), std::string::npos) << r.message;
    EXPECT_TRUE(Same(well.Comets[k], original));
  }
  EXPECT_EQ(ReadFile(DataSetPathOf(image)), file);
  EXPECT_EQ(edits.State(), UndoState::kStart);
  // Beyond the comets, or with no data set bound, a click does nothing.
  EXPECT_FALSE(edits.Click(CursorMode::kDelete, well.CometCount).changed);
  EXPECT_FALSE(edits.Click(static_cast<CursorMode>(4), 0).changed);
  edits.Detach();
  EXPECT_FALSE(edits.Click(CursorMode::kDelete, 0).changed);
  EXPECT_EQ(ReadFile(DataSetPathOf(image)), file);
}

TEST_F(CometEditsTest, UndoNeverReachesAnotherDataSet) {
  const std::string one = ScoredField(dir_.Path(), "one", 24);
  const std::string two = ScoredField(dir_.Path(), "two", 25);
  WellRecord well = ReadDataSet(DataSetPathOf(one));
  CometEdits edits;
  edits.Attach(well, DataSetPlace::OfImage(one));
  ASSERT_TRUE(edits.Click(CursorMode::kDelete, 0).changed);
  // The window selects the other image: its data set replaces the first.
  well = ReadDataSet(DataSetPathOf(two));
  edits.Attach(well, DataSetPlace::OfImage(two));
  EXPECT_EQ(edits.State(), UndoState::kStart);
  const std::string file = ReadFile(DataSetPathOf(two));
  EXPECT_FALSE(edits.Undo().changed);
  EXPECT_EQ(ReadFile(DataSetPathOf(two)), file);
  // Clearing alone (after a filter's Apply, say) does the same.
  ASSERT_TRUE(edits.Click(CursorMode::kDelete, 0).changed);
  edits.ClearUndo();
  EXPECT_FALSE(edits.CanUndo());
  EXPECT_FALSE(edits.Undo().changed);
  EXPECT_EQ(well.Comets[0].Deleted, 1);
}

TEST_F(CometEditsTest, ADataSetThatCannotBeWrittenIsLeftIntactAndTheEditNotMade) {
  const std::string image = ScoredField(dir_.Path(), "field", 26);
  const std::string cdb = DataSetPathOf(image);
  WellRecord well = ReadDataSet(cdb);
  ASSERT_GE(well.CometCount, 2u);
  CometEdits edits;
  edits.Attach(well, DataSetPlace::OfImage(image));
  ASSERT_TRUE(edits.Click(CursorMode::kDelete, 0).changed);
  const std::string file = ReadFile(cdb);
  const CometRecord deleted = well.Comets[0];
  {
    ScopedFileSizeLimit limit(1000);  // smaller than the data set
    const EditResult r = edits.Undo();
    EXPECT_FALSE(r.changed);
    EXPECT_NE(r.message.find(cdb), std::string::npos) << r.message;
    const CometRecord second = well.Comets[1];
    const EditResult d = edits.Click(CursorMode::kDelete, 1);
    EXPECT_FALSE(d.changed);
    EXPECT_TRUE(Same(well.Comets[1], second));
  }
  EXPECT_EQ(ReadFile(cdb), file);
  EXPECT_TRUE(Same(well.Comets[0], deleted));
  EXPECT_EQ(edits.State(), UndoState::kEdited);  // still to be undone
  EXPECT_EQ(edits.UndoCometIndex(), 0);
  EXPECT_TRUE(edits.Undo().changed);
  EXPECT_EQ(ReadDataSet(cdb).Comets[0].Deleted, 0);
}

TEST_F(CometEditsTest, AnImagesDataSetThatCannotBeWrittenDuringAFolderEdit) {
  const std::string folder = dir_ / "folder";
  const std::string a = ScoredField(folder, "a", 34);
  WellRecord well;
  BuildFolderSummary(folder, well);
  ASSERT_GE(well.CometCount, 2u);
  const std::string file = ReadFile(DataSetPathOf(a));
  const WellHeader header = well;
  CometEdits edits;
  edits.Attach(well, DataSetPlace::OfFolder(folder));
  {
    ScopedFileSizeLimit limit(1000);
    const EditResult r = edits.Click(CursorMode::kDelete, 1);
    EXPECT_FALSE(r.changed);
    EXPECT_NE(r.message.find(DataSetPathOf(a)), std::string::npos) << r.message;
  }
  EXPECT_EQ(ReadFile(DataSetPathOf(a)), file);
  EXPECT_EQ(well.Comets[1].Deleted, 0);
  EXPECT_EQ(std::memcmp(&header, static_cast<WellHeader*>(&well), 748), 0);  // the bytes on file
  EXPECT_EQ(edits.State(), UndoState::kStart);

  // An image data set that cannot be read keeps the edit on view only.
  WriteFile(DataSetPathOf(a), "garbage");
  const EditResult r = edits.Click(CursorMode::kDelete, 1);
  EXPECT_TRUE(r.changed);
  EXPECT_NE(r.message.find("cannot read"), std::string::npos) << r.message;
  EXPECT_NE(r.message.find("(cut off after 7 bytes)"), std::string::npos) << r.message;
  EXPECT_EQ(well.Comets[1].Deleted, 1);
  EXPECT_EQ(ReadFile(DataSetPathOf(a)), "garbage");
}

}  // namespace
