// Editing results in the window: the size filter, "Delete This Data", and
// undo and redo of the last grid edit.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "CometDatabase.h"
#include "CometMetrics.h"
#include "DataSetPlace.h"
#include "FilterPanel.h"
#include "ImagePaths.h"
#include "IniFile.h"
#include "RecycleBin.h"
#include "ThumbnailFiles.h"
#include "WindowFixture.h"
#include "WorkspaceTestUtil.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

int MetricNamed(const char* name) {
  for (int m = 0; m < kMetricCount; ++m)
    if (std::strcmp(kMetricNames[m], name) == 0) return m;
  ADD_FAILURE() << name;
  return 0;
}

std::vector<int> DeletedFlags(const WellRecord& well) {
  std::vector<int> flags;
  for (std::uint32_t i = 0; i < well.CometCount; ++i) flags.push_back(well.Comets[i].Deleted);
  return flags;
}

class WindowEditingTest : public WindowTest {
 protected:
  // The window over a folder of `count` fields, the first one selected and
  // scored.
  std::unique_ptr<TMainApplicationForm> ScoredImage(std::vector<std::string>& fields,
                                                    int count = 1) {
    fields = MakeFields(images_.Path(), count);
    auto window = Start();
    window->OpenFolder(images_.Path());
    window->DirTreeView()->SelectImageNamed(FileNameOf(fields[0]));
    Score(*window);
    EXPECT_GE(window->Workspace().DataSet().CometCount, 3u);
    return window;
  }
  static std::string Label(TMainApplicationForm& window) {
    return window.findChild<QLabel*>("DataPointsLabel")->text().toStdString();
  }
  static void Type(TMainApplicationForm& window, const char* edit, const std::string& text) {
    window.findChild<QLineEdit*>(edit)->setText(QString::fromStdString(text));
  }
  static void Click(TMainApplicationForm& window, const char* button) {
    window.findChild<QPushButton*>(button)->click();
  }
  // Undo menu item and button, Redo menu item and button.
  static std::vector<bool> UndoControls(TMainApplicationForm& window) {
    std::vector<bool> enabled;
    for (const char* name : {"UndoMenuItem", "UndoButton", "RedoMenuItem", "RedoButton"})
      enabled.push_back(window.Command(name)->isEnabled());
    return enabled;
  }
  // The trash holds the folder under its name, with its record.
  void ExpectInTrash(const std::string& folder) {
    const std::string name = FileNameOf(folder);
    EXPECT_TRUE(Exists(TrashFolder() + "/files/" + name + "/" + name + ".cdb")) << name;
    const std::string info = ReadFile(TrashFolder() + "/info/" + name + ".trashinfo");
    EXPECT_NE(info.find("[Trash Info]\nPath=" + folder + "\n"), std::string::npos) << info;
  }
};

const std::vector<bool> kNoUndo = {false, false, false, false};
const std::vector<bool> kCanUndo = {true, true, false, false};
const std::vector<bool> kCanRedo = {false, false, true, true};

TEST_F(WindowEditingTest, TheFilterPanelOpensUnderItsButtonAndReadsAsTwoRows) {
  auto window = Start();
  FilterPanel* panel = window->Filter();
  EXPECT_TRUE(panel->isHidden());
  EXPECT_EQ(panel->title().toStdString(), "Filter");
  std::vector<std::string> texts;
  for (QLabel* label : panel->findChildren<QLabel*>()) texts.push_back(label->text().toStdString());
  EXPECT_EQ(texts,
            (std::vector<std::string>{" < ", "Comet Area", " < ", " < ", "Comet Height", " < "}));
  EXPECT_EQ(panel->PreviewButton()->text().toStdString(), "Preview");
  EXPECT_EQ(panel->ApplyButton()->text().toStdString(), "Apply");
  const SizeFilterTexts defaults;
  EXPECT_EQ(panel->Texts().maxArea, defaults.maxArea);

  window->show();
  QAction* button = window->Command("FilterButton");
  button->trigger();
  EXPECT_TRUE(button->isChecked());
  EXPECT_FALSE(panel->isHidden());
  auto* bar = window->findChild<QToolBar*>("ViewToolBar");
  const QWidget* tool = bar->widgetForAction(button);
  ASSERT_NE(tool, nullptr);
  const QPoint left = tool->mapTo(window.get(), QPoint(0, 0));
  EXPECT_EQ(panel->x(), left.x() + tool->width() / 2 - panel->width() / 2);
  EXPECT_EQ(panel->y(), bar->y() + bar->height() + 1);
  button->trigger();
  EXPECT_TRUE(panel->isHidden());
}

TEST_F(WindowEditingTest, PreviewHidesAndApplyDeletesWhatLiesOutsideTheLimits) {
  std::vector<std::string> fields;
  auto window = ScoredImage(fields);
  const std::string dataSet = DataSetPathOf(fields[0]);
  const WellRecord& well = window->Workspace().DataSet();
  const std::uint32_t n = well.CometCount;
  const std::string all = std::to_string(n);
  const std::string before = ReadFile(dataSet);

  // Preview with a maximum area of 0: every comet hidden, nothing deleted
  // or written but the settings.
  Type(*window, "FilterMaxAreaEdit", "0");
  Click(*window, "PreviewFilterButton");
  EXPECT_EQ(Label(*window),
            "showing 0 (0.0%) of " + all + " data points (" + all + " total points acquired)");
  EXPECT_EQ(well.MaxCometArea, 0.0f);
  EXPECT_EQ(DeletedFlags(well), std::vector<int>(n, 0));
  EXPECT_EQ(ReadFile(dataSet), before);
  EXPECT_EQ(IniFile(SettingsFilePath()).ReadString("main", "FilterMaxAreaEdit", ""), "0");

  // Apply with the same text deletes nothing on account of the area.
  Click(*window, "ApplyFilterButton");
  EXPECT_EQ(well.MaxCometArea, 2147483648.0f);
  EXPECT_EQ(DeletedFlags(well), std::vector<int>(n, 0));
  EXPECT_EQ(DeletedFlags(ReadDataSet(dataSet)), std::vector<int>(n, 0));
  EXPECT_EQ(ReadDataSet(dataSet).MaxCometArea, 2147483648.0f);

  // A minimum equal to the middle comet's area keeps that comet and every
  // larger one.
  const int area = MetricNamed("Comet Area");
  std::vector<float> areas;
  for (std::uint32_t i = 0; i < n; ++i) areas.push_back(well.Comets[i].Metrics[area]);
  std::vector<float> sorted = areas;
  std::sort(sorted.begin(), sorted.end());
  const float minimum = sorted[n / 2];
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(minimum));
  Type(*window, "FilterMinAreaEdit", text);
  Click(*window, "ApplyFilterButton");
  std::vector<int> expected;
  for (float a : areas) expected.push_back(a < minimum ? 1 : 0);
  ASSERT_GT(std::count(expected.begin(), expected.end(), 1), 0);
  EXPECT_EQ(DeletedFlags(well), expected);
  EXPECT_EQ(DeletedFlags(ReadDataSet(dataSet)), expected);
  EXPECT_EQ(IniFile(SettingsFilePath()).ReadString("main", "FilterMinAreaEdit", ""), text);

  // The folder, then the image again: the deletions stay.
  window->DirTreeView()->SelectRoot();
  window->DirTreeView()->SelectImageNamed(FileNameOf(fields[0]));
  EXPECT_EQ(DeletedFlags(window->Workspace().DataSet()), expected);

  // The texts as typed come back at the next start.
  window.reset();
  auto again = Start();
  const SizeFilterTexts restored = again->Filter()->Texts();
  EXPECT_EQ(restored.minArea, text);
  EXPECT_EQ(restored.maxArea, "0");
  EXPECT_EQ(restored.minHeight, "0");
  EXPECT_EQ(restored.maxHeight, "2147483648");
}

TEST_F(WindowEditingTest, UndoAndRedoFollowTheLastGridEdit) {
  std::vector<std::string> fields;
  auto window = ScoredImage(fields, 2);
  EXPECT_EQ(UndoControls(*window), kNoUndo);
  EXPECT_EQ(window->Command("UndoMenuItem")->shortcuts(),
            QList<QKeySequence>{QKeySequence("Ctrl+Z")});
  EXPECT_EQ(window->Command("RedoMenuItem")->shortcuts(),
            (QList<QKeySequence>{QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
  const std::string dataSet = DataSetPathOf(fields[0]);
  const std::uint32_t n = window->Workspace().DataSet().CometCount;
  std::vector<int> deleted(n, 0);

  // A deletion in the grid, then undo, redo; a second undo is not offered.
  auto edit = [&](std::uint32_t comet) {
    ASSERT_TRUE(ClickComet(*window, comet, CursorMode::kDelete));
  };
  edit(1);
  deleted[1] = 1;
  EXPECT_EQ(DeletedFlags(ReadDataSet(dataSet)), deleted);
  EXPECT_EQ(UndoControls(*window), kCanUndo);
  window->Command("UndoButton")->trigger();
  EXPECT_EQ(UndoControls(*window), kCanRedo);
  EXPECT_EQ(DeletedFlags(ReadDataSet(dataSet)), std::vector<int>(n, 0));
  window->Command("UndoMenuItem")->trigger();  // disabled: nothing happens
  window->UndoMenuItemClick("UndoMenuItem");   // nor when called directly
  EXPECT_EQ(UndoControls(*window), kCanRedo);
  window->Command("RedoMenuItem")->trigger();
  EXPECT_EQ(UndoControls(*window), kCanUndo);
  EXPECT_EQ(DeletedFlags(ReadDataSet(dataSet)), deleted);
  EXPECT_EQ(DeletedFlags(window->Workspace().DataSet()), deleted);

  // Preview changes no comet and leaves the edit undoable; Apply ends it.
  Click(*window, "PreviewFilterButton");
  EXPECT_EQ(UndoControls(*window), kCanUndo);
  Click(*window, "ApplyFilterButton");
  EXPECT_EQ(UndoControls(*window), kNoUndo);

  // Selecting another node ends it, and so does scoring again.
  edit(2);
  window->DirTreeView()->SelectImageNamed(FileNameOf(fields[1]));
  EXPECT_EQ(UndoControls(*window), kNoUndo);
  window->DirTreeView()->SelectImageNamed(FileNameOf(fields[0]));
  edit(0);
  boxes_.ScriptAnswers({kIdYes});
  Score(*window);
  EXPECT_EQ(UndoControls(*window), kNoUndo);
  EXPECT_EQ(DeletedFlags(window->Workspace().DataSet()),
            std::vector<int>(window->Workspace().DataSet().CometCount, 0));
}

TEST_F(WindowEditingTest, UndoOfAReScoredCometRestoresItsMeasurementAndProfile) {
  std::vector<std::string> fields;
  auto window = ScoredImage(fields);
  const WellRecord& well = window->Workspace().DataSet();
  const GridLayout& layout = window->Review()->Model().Layout();
  ASSERT_FALSE(layout.cells.empty());
  const CometRecord before = well.Comets[layout.cells[0]];
  const std::string name = ImageNameOf(before);
  const std::string jpg = SingleImageThumbnail(DataSetPathOf(fields[0]), before, ".jpg");
  auto now = [&]() -> const CometRecord& {
    for (std::uint32_t i = 0; i < well.CometCount; ++i)
      if (ImageNameOf(well.Comets[i]) == name) return well.Comets[i];
    ADD_FAILURE() << name;
    return well.Comets[0];
  };

  // Re-scored about the clicked column (the cell's middle), then undone.
  ASSERT_TRUE(ClickComet(*window, layout.cells[0], CursorMode::kManualScore));
  EXPECT_EQ(UndoControls(*window), kCanUndo);
  const auto edited = fs::last_write_time(jpg);
  window->Command("UndoMenuItem")->trigger();
  EXPECT_EQ(UndoControls(*window), kCanRedo);
  EXPECT_EQ(now().HeadCenter, before.HeadCenter);
  for (int m = kCometProbability + 1; m < kMetricCount; ++m)
    EXPECT_EQ(now().Metrics[m], before.Metrics[m]) << kMetricNames[m];
  EXPECT_NE(fs::last_write_time(jpg), edited);  // the profile drawn about the old head
  const WellRecord stored = ReadDataSet(DataSetPathOf(fields[0]));
  bool found = false;
  for (std::uint32_t i = 0; i < stored.CometCount; ++i)
    if (ImageNameOf(stored.Comets[i]) == name) {
      found = true;
      EXPECT_EQ(stored.Comets[i].HeadCenter, before.HeadCenter);
    }
  EXPECT_TRUE(found);
}

TEST_F(WindowEditingTest, InAFolderUndoRestoresTheCometInItsImagesOwnDataSet) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 2);
  auto window = Start();
  window->OpenFolder(images_.Path());
  Score(*window);
  const std::uint32_t n = window->Workspace().DataSet().CometCount;
  ASSERT_GT(n, 1u);
  auto deletedOnDisk = [&] {
    int count = 0;
    for (const std::string& field : fields)
      for (int flag : DeletedFlags(ReadDataSet(DataSetPathOf(field)))) count += flag;
    return count;
  };

  const std::optional<CometFiles> files =
      LocateCometFiles(DataSetPlace::OfFolder(images_.Path() + "/", fields),
                       window->Workspace().DataSet().Comets[n - 1]);
  ASSERT_TRUE(files.has_value());
  ASSERT_TRUE(ClickComet(*window, n - 1, CursorMode::kDelete));
  EXPECT_EQ(UndoControls(*window), kCanUndo);
  EXPECT_EQ(deletedOnDisk(), 1);
  window->Command("UndoMenuItem")->trigger();
  EXPECT_EQ(UndoControls(*window), kCanRedo);
  EXPECT_EQ(deletedOnDisk(), 0);
  // The comet is shown over the image it came from.
  EXPECT_EQ(window->Workspace().ImagePath(), files->sourceImage);
  EXPECT_EQ(DeletedFlags(window->Workspace().DataSet()), std::vector<int>(n, 0));

  // Opened again, the folder shows the comet restored.
  window->OpenFolder(images_.Path());
  EXPECT_EQ(UndoControls(*window), kNoUndo);
  EXPECT_EQ(DeletedFlags(window->Workspace().DataSet()), std::vector<int>(n, 0));
}

TEST_F(WindowEditingTest, DeleteThisDataOfAnImageAsksAndMovesItsResultsToTheTrash) {
  std::vector<std::string> fields;
  auto window = ScoredImage(fields);
  const std::string results = RemoveExtension(fields[0]);
  const std::string before = ReadFile(DataSetPathOf(fields[0]));
  ASSERT_TRUE(ClickComet(*window, 0, CursorMode::kDelete));

  // "No": nothing moves, the edit can still be undone.
  boxes_.ScriptAnswers({kIdNo});
  window->Command("DeleteThisDataMenuItem")->trigger();
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Delete all data for this image?\n\n" + FileNameOf(fields[0]));
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Delete this data?");
  EXPECT_TRUE(Exists(DataSetPathOf(fields[0])));
  EXPECT_EQ(UndoControls(*window), kCanUndo);

  boxes_.ScriptAnswers({kIdYes});
  window->Command("DeleteThisDataMenuItem")->trigger();
  EXPECT_FALSE(Exists(results));
  EXPECT_TRUE(Exists(fields[0]));
  ExpectInTrash(results);
  EXPECT_EQ(UndoControls(*window), kNoUndo);
  // The view is refreshed: the image without data.
  EXPECT_EQ(window->Workspace().DataSet().CometCount, 0u);
  EXPECT_EQ(Label(*window), "showing 0 (0.0%) of 0 data points (0 total points acquired)");
  EXPECT_EQ(boxes_.Boxes().size(), 2u);
}

TEST_F(WindowEditingTest, DeleteThisDataOfAFolderLeavesForeignSubFolders) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 2);
  fs::create_directories(images_ / "notes");
  WriteFile(images_.Path() + "/notes/other.cdb", "kept");
  auto window = Start();
  window->OpenFolder(images_.Path());
  boxes_.ScriptAnswers({kIdYes});
  Score(*window);
  const std::uint32_t n = window->Workspace().DataSet().CometCount;
  ASSERT_GT(n, 0u);
  const std::string all = std::to_string(n);

  boxes_.ScriptAnswers({kIdNo});
  window->Command("DeleteThisDataMenuItem")->trigger();
  EXPECT_EQ(boxes_.Boxes().back().text, "Delete all data this folder?\n\n" + images_.Path() + "/");
  EXPECT_EQ(boxes_.Boxes().back().caption, "Delete this data?");
  for (const std::string& field : fields) EXPECT_TRUE(Exists(DataSetPathOf(field))) << field;
  EXPECT_EQ(window->Workspace().DataSet().CometCount, n);

  boxes_.ScriptAnswers({kIdYes});
  window->Command("DeleteThisDataMenuItem")->trigger();
  for (const std::string& field : fields) {
    EXPECT_TRUE(Exists(field));
    EXPECT_FALSE(Exists(RemoveExtension(field)));
    ExpectInTrash(RemoveExtension(field));
  }
  EXPECT_EQ(ReadFile(images_.Path() + "/notes/other.cdb"), "kept");
  EXPECT_EQ(window->Workspace().DataSet().CometCount, 0u);

  // Opened again, the folder shows what was left: no data.
  window->OpenFolder(images_.Path());
  EXPECT_EQ(window->Workspace().DataSet().CometCount, 0u);
  EXPECT_EQ(Label(*window), "showing 0 (0.0%) of 0 data points (0 total points acquired)");
}

}  // namespace
