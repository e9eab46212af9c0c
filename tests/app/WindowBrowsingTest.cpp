// Opening files and folders in the window, the tree and the folder summary.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

#include "CometDatabase.h"
#include "DataSets.h"
#include "ImagePaths.h"
#include "ProgressPanelWidget.h"
#include "WindowFixture.h"
#include "WorkspaceTestUtil.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class WindowBrowsingTest : public WindowTest {
 protected:
  // A data set of `comets` comets for the image, as scoring would leave it.
  void WriteDataSet(const std::string& image, std::uint32_t comets) {
    WellRecord well;
    MakeFreshDataSet(well, FileNameOf(image));
    for (std::uint32_t i = 0; i < comets; ++i) {
      well.Comets[i].Version = kDatabaseVersion;
      well.Comets[i].RecordType = kCometDataSet;
      well.Comets[i].Included = 1;
      well.Comets[i].Metrics[3] = static_cast<float>(i + 1);
    }
    well.CometCount = comets;
    ASSERT_TRUE(MakeFolders(FolderOf(DataSetPathOf(image))));
    ASSERT_TRUE(Zelcor_WriteToDB(DataSetPathOf(image), well));
  }
  static bool AnyLit(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) != qRgb(0, 0, 0)) return true;
    return false;
  }
  std::string Label(TMainApplicationForm& window) {
    return window.findChild<QLabel*>("DataPointsLabel")->text().toStdString();
  }
};

TEST_F(WindowBrowsingTest, OpenFolderListsTheImagesAndSummarisesThem) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 3, 64, 48);
  WriteFile(images_ / "broken.png", "not a picture");
  WriteFile(images_ / "late.JPEG", ReadFile(fields[2]));
  WriteFile(images_ / "notes.txt", "x");
  WriteDataSet(fields[0], 10);
  WriteDataSet(fields[2], 7);
  auto window = Start();
  chosenFolder_ = images_.Path();
  {
    ScopedTraceLog log;
    window->Command("OpenFolderMenuItem")->trigger();
    const auto messages = log.Messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "entering TMainApplicationForm::DirTreeViewChange(" + images_.Path() +
                            "/, 0)..."),
              messages.end());
  }
  ImageBrowser* tree = window->DirTreeView();
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  EXPECT_EQ(tree->Folder(), images_.Path() + "/");
  std::vector<std::string> names;
  for (int i = 0; i < tree->ImageCount(); ++i)
    names.push_back(tree->topLevelItem(0)->child(i)->text(0).toStdString());
  EXPECT_EQ(names, (std::vector<std::string>{"field1.bmp", "broken.png", "field0.png", "field2.jpg",
                                             "late.JPEG"}));
  EXPECT_EQ(tree->SelectedLevel(), 0);
  // The summary: both data sets, over a black 640 x 480 picture.
  EXPECT_EQ(window->Workspace().DataSet().CometCount, 17u);
  EXPECT_EQ(Label(*window), "showing 17 (100.0%) of 17 data points (17 total points acquired)");
  ASSERT_NE(window->CurrentImage(), nullptr);
  EXPECT_EQ(window->DisplayBitmap().image.width(), 640);
  EXPECT_EQ(window->DisplayBitmap().image.height(), 480);
  EXPECT_FALSE(AnyLit(window->DisplayBitmap().image));
  EXPECT_TRUE(window->ProgressPanel()->isHidden());

  // Selecting an image loads it and its data set; the second has none.
  tree->SelectImage(2);
  ASSERT_NE(window->CurrentImage(), nullptr);
  EXPECT_EQ(window->CurrentImage()->Bitmap.bmWidth, 64);
  EXPECT_EQ(window->Workspace().DataSet().CometCount, 10u);
  EXPECT_EQ(window->Workspace().DataSetPath(), DataSetPathOf(fields[0]));
  tree->SelectImage(0);
  EXPECT_EQ(window->Workspace().DataSet().CometCount, 0u);
  EXPECT_EQ(WellNameOf(window->Workspace().DataSet()), "field1.bmp");
  EXPECT_EQ(Label(*window), "showing 0 (0.0%) of 0 data points (0 total points acquired)");
}

TEST_F(WindowBrowsingTest, TheFolderSummaryLeavesOutADataSetThatWouldReach8192) {
  struct Case {
    std::vector<std::uint32_t> counts;
    std::uint32_t summary;
  };
  const Case cases[] = {
      {{5000, 5000}, 5000},         // the second would bring the total past the limit
      {{5000, 3191, 1}, 8192 - 1},  // 8191 fits, one more would reach 8192
      {{5000, 3192, 100}, 5100},    // 8192 itself is too many; later images still count
  };
  for (const Case& c : cases) {
    TempDir folder;
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < c.counts.size(); ++i) {
      BitmapImageClass image(8, 8, 8);
      fields.push_back(folder / ("img" + std::to_string(i) + ".bmp"));
      ASSERT_TRUE(image.SaveToFile(fields.back()));
      WriteDataSet(fields.back(), c.counts[i]);
    }
    auto window = Start();
    window->OpenFolder(folder.Path());
    EXPECT_EQ(window->Workspace().DataSet().CometCount, c.summary) << c.counts[1];
    // The statistics cover the comets taken: Comet Area runs 1..n per image.
    EXPECT_EQ(window->Workspace().DataSet().MaxValue[5], 5000.0f);
  }
}

TEST_F(WindowBrowsingTest, AnUndecodableImageSaysWhyAndLeavesNoImage) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 1, 64, 48);
  WriteFile(images_ / "broken.png", std::string("\x89PNG\r\n\x1a\n", 8) + "truncated");
  auto window = Start({fields[0]});
  ImageBrowser* tree = window->DirTreeView();
  ASSERT_EQ(tree->ImageCount(), 2);
  tree->SelectImage(1);  // field0.png
  ASSERT_NE(window->CurrentImage(), nullptr);
  EXPECT_TRUE(AnyLit(window->DisplayBitmap().image));
  ScopedTraceLog log;
  tree->SelectImage(0);  // broken.png
  EXPECT_EQ(window->CurrentImage(), nullptr);
  EXPECT_NE(window->StatusText().find("broken.png"), std::string::npos) << window->StatusText();
  EXPECT_EQ(window->StatusText().rfind("Cannot read the image " + images_ / "broken.png" + ": ", 0),
            0u)
      << window->StatusText();
  EXPECT_FALSE(AnyLit(window->DisplayBitmap().image));  // nothing stale
  EXPECT_EQ(window->Workspace().DataSet().CometCount, 0u);
  bool error = false;
  for (const std::string& m : log.Messages()) error |= m.rfind("ERROR", 0) == 0;
  EXPECT_TRUE(error);
  // The window goes on: the good image loads again.
  tree->SelectImage(1);
  EXPECT_NE(window->CurrentImage(), nullptr);
}

TEST_F(WindowBrowsingTest, AForeignDataSetIsReportedAndNotShown) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 1, 64, 48);
  ASSERT_TRUE(MakeFolders(FolderOf(DataSetPathOf(fields[0]))));
  WriteFile(DataSetPathOf(fields[0]), std::string(900, 'x'));
  auto window = Start();
  chosenFile_ = fields[0];
  window->Command("OpenFileButton")->trigger();
  ASSERT_NE(window->CurrentImage(), nullptr);
  EXPECT_EQ(window->Workspace().DataSet().CometCount, 0u);
  EXPECT_NE(window->StatusText().find("cannot be read"), std::string::npos) << window->StatusText();
  EXPECT_EQ(ReadFile(DataSetPathOf(fields[0])), std::string(900, 'x'));  // left as it was
}

TEST_F(WindowBrowsingTest, OpenFileShowsTheFileAloneAndCancelChangesNothing) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 2, 64, 48);
  WriteDataSet(fields[1], 4);
  auto window = Start();
  chosenFile_ = fields[1];
  window->Command("OpenFileMenuItem")->trigger();
  ImageBrowser* tree = window->DirTreeView();
  EXPECT_EQ(tree->Folder(), images_.Path() + "/");
  ASSERT_EQ(tree->ImageCount(), 1);
  EXPECT_EQ(tree->SelectedText(), "field1.bmp");
  EXPECT_EQ(window->Workspace().DataSet().CometCount, 4u);
  EXPECT_EQ(window->Workspace().ImagePath(), fields[1]);

  chosenFile_.reset();
  ScopedTraceLog log;
  window->Command("OpenFileMenuItem")->trigger();
  const auto messages = log.Messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), "exiting  TMainApplicationForm::OpenFileMenuItemClick(ABORTED)...");
  EXPECT_EQ(tree->SelectedText(), "field1.bmp");
  EXPECT_EQ(window->Workspace().ImagePath(), fields[1]);

  chosenFolder_.reset();
  window->Command("OpenFolderButton")->trigger();
  EXPECT_EQ(log.Messages().back(),
            "exiting  TMainApplicationForm::OpenFolderMenuItemClick(ABORTED)...");
  EXPECT_EQ(tree->ImageCount(), 1);
}

TEST_F(WindowBrowsingTest, AClickOnTheSelectedImageLoadsItAgain) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 1, 64, 48);
  auto window = Start();
  window->OpenFile(fields[0]);
  EXPECT_EQ(window->Workspace().DataSet().CometCount, 0u);
  WriteDataSet(fields[0], 3);  // scored elsewhere meanwhile
  emit window->DirTreeView()->SelectedNodeClicked();
  EXPECT_EQ(window->Workspace().DataSet().CometCount, 3u);
}

TEST_F(WindowBrowsingTest, DroppingAFolderOrAnImageOpensIt) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 2, 64, 48);
  auto window = Start();
  window->show();
  auto drop = [&](const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &enter);
    const bool accepted = enter.isAccepted();
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    if (accepted) QCoreApplication::sendEvent(window.get(), &dropped);
    return accepted;
  };
  ASSERT_TRUE(drop(images_.Path()));
  EXPECT_EQ(window->DirTreeView()->ImageCount(), 2);
  EXPECT_EQ(window->DirTreeView()->SelectedLevel(), 0);
  ASSERT_TRUE(drop(fields[0]));
  EXPECT_EQ(window->DirTreeView()->ImageCount(), 1);
  EXPECT_EQ(window->Workspace().ImagePath(), fields[0]);
  ASSERT_NE(window->CurrentImage(), nullptr);
  WriteFile(images_ / "notes.txt", "x");
  EXPECT_FALSE(drop(images_ / "notes.txt"));
  EXPECT_EQ(window->Workspace().ImagePath(), fields[0]);
}

}  // namespace
