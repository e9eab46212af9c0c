#include "MainWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QStatusTipEvent>
#include <QTreeWidget>
#include <QWheelEvent>
#include <filesystem>

#include "AppPaths.h"
#include "ImageBrowser.h"
#include "ProgressPanelWidget.h"
#include "TestSupport.h"
#include "ToolkitWrappers.h"

using namespace testing_support;

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  std::unique_ptr<TMainApplicationForm> Start(const std::vector<std::string>& arguments = {}) {
    return std::make_unique<TMainApplicationForm>(arguments);
  }
  void Settings(const std::string& lines) {
    WriteFile(home_ / "strandex.ini", "[main]\r\n" + lines);
  }
  std::string SettingsFile() { return ReadFile(home_ / "strandex.ini"); }
  std::string SaveImage(const std::string& name, int width, int height) {
    BitmapImageClass image(width, height, 8);
    for (int r = 0; r < height; ++r)
      for (int x = 0; x < width; ++x)
        image.GetScanLine(r)[x] = static_cast<std::uint8_t>((x * 255) / width);
    EXPECT_TRUE(image.SaveToFile(images_ / name));
    return images_ / name;
  }

  TempDir home_;
  TempDir images_;
  ScopedEnv env_{"STRANDEX_HOME", home_.Path().c_str()};
};

TEST_F(MainWindowTest, FirstStartTakesTheDefaultsAndWritesNothing) {
  auto window = Start();
  EXPECT_TRUE(window->Command("SingleHueMenuItem")->isChecked());
  EXPECT_FALSE(window->FullSpectrum());
  EXPECT_TRUE(window->Command("SingleHueButton")->isChecked());
  EXPECT_EQ(window->ThresholdBar()->value(), 0);
  EXPECT_EQ(window->ThresholdIndicator()->text().toStdString(), "100%");
  EXPECT_FALSE(window->OneClickScoring());
  EXPECT_TRUE(window->Command("ManualScoringButton")->isChecked());
  EXPECT_EQ(window->windowTitle().toStdString(), "Quorel Strandex " STRANDEX_TEST_VERSION);
  EXPECT_FALSE(Exists(home_ / "strandex.ini"));
  EXPECT_EQ(window->DirTreeView()->topLevelItemCount(), 0);
  EXPECT_EQ(window->CurrentImage(), nullptr);
  EXPECT_EQ(window->findChild<QComboBox*>("MetricComboBox")->currentIndex(), -1);
  EXPECT_EQ(window->findChild<QComboBox*>("SortComboBox")->currentText().toStdString(),
            "increasing");
  EXPECT_EQ(window->findChild<QComboBox*>("ImageModeComboBox")->currentText().toStdString(),
            "unaltered");
  const char* const filters[][2] = {{"FilterMinAreaEdit", "0"},
                                    {"FilterMaxAreaEdit", "2147483648"},
                                    {"FilterMinHeightEdit", "0"},
                                    {"FilterMaxHeightEdit", "2147483648"}};
  for (const auto& f : filters)
    EXPECT_EQ(window->findChild<QLineEdit*>(f[0])->text().toStdString(), f[1]);
}

TEST_F(MainWindowTest, StoredSettingsAreRestored) {
  Settings(
      "ThresholdBar=128\r\nManualScoringButton=1\r\nFullSpectrumButton=7\r\nMetricComboBox=3\r\n"
      "SortComboBox=1\r\nImageModeComboBox=1\r\nFilterMinAreaEdit=12.5\r\n");
  auto window = Start();
  EXPECT_EQ(window->findChild<QComboBox*>("MetricComboBox")->currentText().toStdString(),
            "Comet Area");
  EXPECT_EQ(window->findChild<QComboBox*>("SortComboBox")->currentIndex(), 1);
  EXPECT_EQ(window->findChild<QComboBox*>("ImageModeComboBox")->currentText().toStdString(),
            "profiled");
  EXPECT_EQ(window->findChild<QLineEdit*>("FilterMinAreaEdit")->text().toStdString(), "12.5");
  EXPECT_EQ(window->ThresholdBar()->value(), 128);
  EXPECT_EQ(window->ThresholdIndicator()->text().toStdString(), "49%");
  EXPECT_TRUE(window->OneClickScoring());
  EXPECT_TRUE(window->FullSpectrum());
  EXPECT_TRUE(window->Command("FullSpectrumButton")->isChecked());
  EXPECT_NE(SettingsFile().find("ThresholdBar=128"), std::string::npos);

  Settings("ThresholdBar=300\r\nManualScoringButton=2\r\n");
  auto clamped = Start();
  EXPECT_EQ(clamped->ThresholdBar()->value(), 255);
  EXPECT_EQ(clamped->ThresholdIndicator()->text().toStdString(), "0%");
  EXPECT_FALSE(clamped->OneClickScoring());
}

TEST_F(MainWindowTest, ChangesAreWrittenAtOnce) {
  auto window = Start();
  window->Command("FullSpectrumMenuItem")->trigger();
  EXPECT_NE(SettingsFile().find("FullSpectrumButton=1"), std::string::npos);
  EXPECT_FALSE(window->Command("SingleHueButton")->isChecked());
  window->Command("SingleHueButton")->trigger();
  EXPECT_NE(SettingsFile().find("FullSpectrumButton=0"), std::string::npos);
  window->ThresholdBar()->setValue(77);
  EXPECT_NE(SettingsFile().find("ThresholdBar=77"), std::string::npos);
  window->Command("ThresholdScoringButton")->trigger();
  EXPECT_NE(SettingsFile().find("ManualScoringButton=1"), std::string::npos);
}

TEST_F(MainWindowTest, CommandLineFillsTheTree) {
  const std::string a = SaveImage("a.bmp", 20, 10);
  const std::string b = SaveImage("b.bmp", 20, 10);
  SaveImage("c.bmp", 20, 10);
  struct Case {
    std::vector<std::string> arguments;
    std::string root;
    int children;
  };
  const Case cases[] = {
      {{a}, images_.Path() + "/", 3},                         // its folder, nothing loaded
      {{images_.Path()}, FolderOf(images_.Path()) + "/", 0},  // a folder without "/": its parent
      {{a, images_ / "missing.bmp", b}, images_.Path() + "/", 2},
      {{a, b}, images_.Path() + "/", 2},
  };
  for (const auto& c : cases) {
    auto window = Start(c.arguments);
    ASSERT_EQ(window->DirTreeView()->topLevelItemCount(), 1) << c.arguments[0];
    QTreeWidgetItem* root = window->DirTreeView()->topLevelItem(0);
    EXPECT_EQ(root->text(0).toStdString(), c.root);
    if (c.children > 0) {
      EXPECT_EQ(root->childCount(), c.children) << c.arguments.size();
    }
    EXPECT_EQ(window->CurrentImage(), nullptr);
  }
}

// "--open", as the desktop's "Open With" starts the program: a folder,
// with or without its trailing '/', is opened as Open Folder opens it; an
// image as Open File opens it, loaded.
TEST_F(MainWindowTest, TheDesktopOpensAFolderOrAnImage) {
  const std::string a = SaveImage("a.bmp", 20, 10);
  SaveImage("b.bmp", 20, 10);
  for (const std::string& folder : {images_.Path(), images_.Path() + "/"}) {
    auto window = Start({"--open", folder});
    ASSERT_EQ(window->DirTreeView()->topLevelItemCount(), 1) << folder;
    EXPECT_EQ(window->DirTreeView()->Folder(), images_.Path() + "/");
    EXPECT_EQ(window->DirTreeView()->ImageCount(), 2);
    EXPECT_EQ(window->DirTreeView()->SelectedLevel(), 0);  // the folder summary
  }
  auto window = Start({"--open", a});
  EXPECT_EQ(window->DirTreeView()->ImageCount(), 1);
  ASSERT_NE(window->CurrentImage(), nullptr);
  EXPECT_EQ(window->Workspace().ImagePath(), a);
  // Several files are listed as without it, nothing loaded.
  window = Start({"--open", a, images_ / "b.bmp"});
  EXPECT_EQ(window->DirTreeView()->ImageCount(), 2);
  EXPECT_EQ(window->CurrentImage(), nullptr);
}

TEST_F(MainWindowTest, EveryCommandIsThere) {
  auto window = Start();
  struct Case {
    const char* name;
    const char* caption;
    const char* shortcut;
    bool shown;
  };
  const Case cases[] = {
      {"OpenFileMenuItem", "Open File", "Ctrl+O", true},
      {"OpenFolderMenuItem", "Open Folder", "Ctrl+Alt+O", true},
      {"SaveAsSpreadsheetMenuItem", "Save as Spreadsheet", "Ctrl+S", true},
      {"SaveBMP", "Export BMP", "Ctrl+E", false},
      {"UndoMenuItem", "Undo", "Ctrl+Z", true},
      {"RedoMenuItem", "Redo", "Ctrl+Shift+Z", true},
      {"Rotate90Left", "Rotate 90° Left", "", true},
      {"Rotate90Right", "Rotate 90° Right", "", true},
      {"Rotate180", "Rotate 180°", "", true},
      {"DeleteThisDataMenuItem", "Delete This Data", "", true},
      {"PreferencesMenuItem", "Preferences", "Ctrl+P", true},
      {"ScoreUsingCutoffMenuItem", "Score Image using Cutoff", "", true},
      {"ScoreUsingAutoSegmentationMenuItem", "Score using Auto-Segmentation", "", false},
      {"ScoreFolderUsingCutoffMenuItem", "Score Folder using Cutoff", "", true},
      {"SingleHueMenuItem", "Single Hue", "", true},
      {"FullSpectrumMenuItem", "Full Spectrum", "", true},
      {"CancelRectangleMenuItem", "Cancel Rectangle", "Esc", false},
      {"TestMenuItem", "TEST", "Ctrl+T", false},
      {"OverviewMenuItem", "Overview", "F1", true},
      {"ReleaseNotesMenuItem", "Release Notes", "", true},
      {"AboutMenuItem", "About...", "", true},
  };
  for (const auto& c : cases) {
    QAction* action = window->Command(c.name);
    ASSERT_NE(action, nullptr) << c.name;
    EXPECT_EQ(action->text().remove('&').toStdString(), c.caption);  // without its Alt letter
    EXPECT_EQ(action->shortcut().toString().toStdString(), c.shortcut) << c.name;
    EXPECT_EQ(action->isVisible(), c.shown) << c.name;
  }
  EXPECT_FALSE(window->Command("UndoButton")->isEnabled());
  EXPECT_FALSE(window->Command("DeleteThisDataButton")->isVisible());
  EXPECT_FALSE(window->Command("ScoreUsingAutoSegmentationButton")->isVisible());
  EXPECT_EQ(window->Command("FilterButton")->statusTip().toStdString(),
            "Click here to filter data based on individual image size...");
}

TEST_F(MainWindowTest, AnUnreadableImageSaysWhyInTheStatusBar) {
  auto window = Start();
  WriteFile(images_ / "cut.bmp", ReadFile(SaveImage("whole.bmp", 64, 8)).substr(0, 100));
  EXPECT_FALSE(window->LoadImageIntoWorkspace(images_ / "cut.bmp"));
  EXPECT_EQ(window->StatusText(),
            "Cannot read the image " + images_ / "cut.bmp" + ": cut off after 100 of 1590 bytes");
}

TEST_F(MainWindowTest, DisplayFollowsTheSliderAndTurns) {
  auto window = Start();
  ASSERT_TRUE(window->LoadImageIntoWorkspace(SaveImage("ramp.bmp", 64, 8)));
  const QImage& shown = window->DisplayBitmap().image;
  ASSERT_EQ(shown.width(), 64);
  // The last column holds 63 x 255 / 64 = 251; white hue at cutoff 0 shows
  // trunc(251 x 255 / 256) = 250.
  EXPECT_EQ(shown.pixel(63, 0), qRgb(250, 250, 250));
  window->ThresholdBar()->setValue(128);
  EXPECT_EQ(shown.pixel(10, 0), qRgb(0, 0, 0));  // below the cutoff
  EXPECT_EQ(shown.pixel(63, 0), qRgb(251, 251, 251));
  window->Command("Rotate180")->trigger();
  EXPECT_EQ(window->DisplayBitmap().image.pixel(0, 7), qRgb(251, 251, 251));
  window->Command("Rotate180")->trigger();
  EXPECT_EQ(window->DisplayBitmap().image.pixel(63, 0), qRgb(251, 251, 251));
  window->Command("FullSpectrumMenuItem")->trigger();
  EXPECT_EQ(window->DisplayBitmap().image.pixel(63, 0),
            qRgb(255, 255, 255));  // the brightest: white
}

TEST_F(MainWindowTest, HintsAndStatusText) {
  auto window = Start();
  window->ShowStatusText("working");
  QStatusTipEvent hint("short|long one;two");
  QCoreApplication::sendEvent(window.get(), &hint);
  EXPECT_EQ(window->StatusText(), "long one\ntwo");
  QStatusTipEvent none("");
  QCoreApplication::sendEvent(window.get(), &none);
  EXPECT_EQ(window->StatusText(), "working");
}

TEST_F(MainWindowTest, WheelMovesTheSliderOffTheFirstNode) {
  SaveImage("a.bmp", 20, 10);
  const std::string b = SaveImage("b.bmp", 20, 10);
  auto window = Start({images_ / "a.bmp"});
  ASSERT_TRUE(window->LoadImageIntoWorkspace(b));
  window->ThresholdBar()->setValue(10);
  QTreeWidgetItem* root = window->DirTreeView()->topLevelItem(0);
  auto turn = [&](int delta) {
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(window.get(), &wheel);
  };
  window->DirTreeView()->setCurrentItem(root->child(0));
  turn(120);
  EXPECT_EQ(window->ThresholdBar()->value(), 10);
  window->DirTreeView()->setCurrentItem(root->child(1));
  turn(120);
  EXPECT_EQ(window->ThresholdBar()->value(), 9);
  turn(-240);
  EXPECT_EQ(window->ThresholdBar()->value(), 10);
}

TEST_F(MainWindowTest, ProgressPanelStaysCentred) {
  auto window = Start();
  window->resize(942, 853);
  window->show();
  QCoreApplication::processEvents();
  const QSize client = window->centralWidget()->size();
  EXPECT_EQ(window->ProgressPanel()->x(), (client.width() - 278) >> 1);
  EXPECT_EQ(window->ProgressPanel()->y(), (client.height() - 67) >> 1);
  EXPECT_FALSE(window->ProgressPanel()->isVisible());
}

}  // namespace
