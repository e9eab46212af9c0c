#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QScrollBar>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <functional>
#include <stdexcept>
#include <thread>

#include "AboutForm.h"
#include "AppPaths.h"
#include "MainWindow.h"
#include "MemoWrappers.h"
#include "PreferencesForm.h"
#include "ProgramEntry.h"
#include "ShellExecute.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

class DialogsTest : public ::testing::Test {
 protected:
  std::string SettingsFile() { return ReadFile(home_ / "strandex.ini"); }

  TempDir home_;
  ScopedEnv env_{"STRANDEX_HOME", home_.Path().c_str()};
  RecordingMessageBoxProvider boxes_;
  ScopedMessageBoxProvider scoped_{boxes_};
};

TEST_F(DialogsTest, PreferencesStartFromTheirDefaults) {
  IniFile settings(SettingsFilePath());
  TPreferencesForm form(settings);
  EXPECT_EQ(form.MetricMask(), (1u << 18) - 1);
  EXPECT_EQ(form.BucketCountText().toStdString(), "100");
  EXPECT_EQ(form.LineColorBox()->currentText().toStdString(), "Yellow");
  EXPECT_EQ(form.SingleHueColorBox()->currentText().toStdString(), "White");
  EXPECT_EQ(form.SingleHueColour(), 0xFFFFFFu);
  EXPECT_EQ(form.LineColour(), 0x00FFFFu);  // yellow: red and green
  EXPECT_FALSE(form.ShowFileLabels());
  EXPECT_EQ(form.LineColorBox()->count(), 17);
  EXPECT_EQ(form.LineColorBox()->itemText(0).toStdString(), "Custom...");
  EXPECT_FALSE(Exists(home_ / "strandex.ini"));
}

TEST_F(DialogsTest, SavingWritesTheMaskAndCancellingWritesNothing) {
  IniFile settings(SettingsFilePath());
  TPreferencesForm form(settings);
  for (int k = 0; k < 18; ++k)
    form.MetricsCheckList()->item(k)->setCheckState(k == 1 || k == 16 ? Qt::Checked
                                                                      : Qt::Unchecked);
  form.HistogramBucketCountEdit()->setText("1");
  form.SaveButtonClick();
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Number of bins in histogram\nmust be greater than 1.");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Save Preferences");
  EXPECT_FALSE(Exists(home_ / "strandex.ini"));
  EXPECT_EQ(form.Tag(), 0);

  form.HistogramBucketCountEdit()->setText("40");
  form.SingleHueColorBox()->setCurrentIndex(StandardColourPosition("Red"));
  form.ShowFileLabelsCheckBox()->setChecked(true);
  form.SaveButtonClick();
  EXPECT_EQ(form.Tag(), TPreferencesForm::kSaved);
  EXPECT_EQ(SettingsFile(),
            "[main]\r\nMetricsCheckList=65538\r\nHistogramBucketCountEdit=40\r\nLineColorBox=12\r\n"
            "SingleHueColorBox=10\r\nShowFileLabelsCheckBox=1\r\n");

  form.HistogramBucketCountEdit()->setText("50");
  form.CancelButtonClick();
  EXPECT_EQ(form.Tag(), TPreferencesForm::kCancelled);
  EXPECT_EQ(form.BucketCountText().toStdString(), "50");  // live for this run
  TPreferencesForm again(settings);
  EXPECT_EQ(again.BucketCountText().toStdString(), "40");  // not saved
  EXPECT_EQ(again.MetricMask(), 65538u);
  EXPECT_TRUE(again.ShowFileLabels());
}

TEST_F(DialogsTest, ACustomColourOutlivesARestartAndNoneMeansWhite) {
  IniFile settings(SettingsFilePath());
  {
    // Chosen under "Custom..." but never kept (settings of an older run):
    // white, not black.
    WriteFile(home_ / "strandex.ini", "[main]\r\nSingleHueColorBox=0\r\nLineColorBox=0\r\n");
    IniFile older(SettingsFilePath());
    TPreferencesForm form(older);
    EXPECT_EQ(form.SingleHueColorBox()->currentIndex(), 0);
    EXPECT_EQ(form.SingleHueColour(), 0xFFFFFFu);
    EXPECT_EQ(form.LineColour(), 0xFFFFFFu);
  }
  std::remove((home_ / "strandex.ini").c_str());

  struct ScopedChooser {
    explicit ScopedChooser(QColor answer) {
      SetColourChooser([answer](const QColor&, QWidget*) { return answer; });
    }
    ~ScopedChooser() { SetColourChooser({}); }
  };
  {
    TPreferencesForm form(settings);
    ScopedChooser chooser(QColor(10, 20, 30));
    form.SingleHueColorBox()->setCurrentIndex(0);
    emit form.SingleHueColorBox()->activated(0);  // as a click on "Custom..." does
    EXPECT_EQ(form.SingleHueColour(), 0x1E140Au);
    form.SaveButtonClick();
    ASSERT_EQ(form.Tag(), TPreferencesForm::kSaved);
  }
  {
    IniFile restarted(SettingsFilePath());
    TPreferencesForm form(restarted);
    EXPECT_EQ(form.SingleHueColorBox()->currentIndex(), 0);
    EXPECT_EQ(form.SingleHueColour(), 0x1E140Au);
    EXPECT_EQ(form.LineColour(), 0x00FFFFu);  // the other list is untouched
    // A cancelled dialog keeps the colour there was.
    ScopedChooser cancelled{QColor()};
    emit form.SingleHueColorBox()->activated(0);
    EXPECT_EQ(form.SingleHueColour(), 0x1E140Au);
  }
}

TEST_F(DialogsTest, TheMetricListShowsWholeNames) {
  // A desktop with a large font: the names still fit.
  const QFont usual = QApplication::font();
  QFont large = usual;
  large.setPointSizeF(usual.pointSizeF() * 2);
  QApplication::setFont(large);
  struct RestoreFont {
    QFont font;
    ~RestoreFont() { QApplication::setFont(font); }
  } restore{usual};
  IniFile settings(SettingsFilePath());
  TPreferencesForm form(settings);
  form.show();
  QApplication::processEvents();
  QListWidget* list = form.MetricsCheckList();
  for (int k = 0; k < list->count(); ++k) {
    const QRect rect = list->visualItemRect(list->item(k));
    const int textWidth = list->fontMetrics().horizontalAdvance(list->item(k)->text());
    SCOPED_TRACE(list->item(k)->text().toStdString());
    EXPECT_GE(rect.width(), textWidth);
    EXPECT_LE(rect.left() + list->sizeHintForColumn(0), list->viewport()->width());
  }
  EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
}

TEST_F(DialogsTest, TheWindowUsesThePreferences) {
  TMainApplicationForm window({});
  ScopedTraceLog log;
  window.PreferencesMenuItemClick();  // not made yet
  auto messages = log.Messages();
  EXPECT_NE(std::find(messages.begin(), messages.end(), "ERROR : TPreferencesForm is undefined!!!"),
            messages.end());
  window.CreatePreferences();
  ASSERT_NE(window.Preferences(), nullptr);
  TempDir images;
  BitmapImageClass grey(4, 1, 8);
  grey.SetAllPixelsToValue(200);
  ASSERT_TRUE(grey.SaveToFile(images / "g.bmp"));
  ASSERT_TRUE(window.LoadImageIntoWorkspace(images / "g.bmp"));
  window.Preferences()->SingleHueColorBox()->setCurrentIndex(StandardColourPosition("Red"));
  QTimer::singleShot(0, window.Preferences(), [&] { window.Preferences()->SaveButtonClick(); });
  window.PreferencesMenuItemClick();
  EXPECT_EQ(window.DisplayBitmap().image.pixel(0, 0), qRgb(199, 0, 0));  // trunc(200 x 255 / 256)
}

TEST_F(DialogsTest, AboutWrapsRoundItsPictures) {
  TAboutForm about;
  const QString first = about.Description();
  EXPECT_FALSE(first.isEmpty());
  while (about.Index() != TAboutForm::kPictures - 1) about.labelRightMouseDown();
  const QString last = about.Description();
  about.labelRightMouseDown();
  EXPECT_EQ(about.Index(), 0);
  EXPECT_NE(about.Description(), last);
  about.labelLeftMouseDown();
  EXPECT_EQ(about.Index(), TAboutForm::kPictures - 1);
  EXPECT_EQ(about.Description(), last);
}

TEST_F(DialogsTest, TheWebsiteLabelOpensTheSiteInTheBrowser) {
  TempDir dir;
  const std::string script = dir / "opener";
  WriteFile(script, "#!/bin/sh\nprintf '%s' \"$1\" > '" + dir / "opened" + "'\n");
  chmod(script.c_str(), 0755);
  SetDocumentOpener(script);
  TAboutForm about;
  auto* label = about.findChild<QLabel*>("labelWebsite");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_FALSE(label->toolTip().isEmpty());
  EXPECT_TRUE(label->text().contains(TAboutForm::kWebsite));
  const QPointF inside(2, 2);
  QMouseEvent press(QEvent::MouseButtonPress, inside, label->mapToGlobal(inside), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(label, &press);
  for (int i = 0; i < 300 && !Exists(dir / "opened"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(ReadFile(dir / "opened"), TAboutForm::kWebsite);
  EXPECT_TRUE(boxes_.Boxes().empty());
  SetDocumentOpener("");
}

TEST_F(DialogsTest, AnExceptionEscapingTheWindowIsLoggedAndShown) {
  struct Case {
    std::function<void()> body;
    std::string box;   // the error box's text
    std::string line;  // the log's ERROR line
  };
  const Case cases[] = {
      {[] { throw std::runtime_error("out of order"); }, "out of order",
       "ERROR: WinMain() caught out of order..."},
      {[] { throw 42; }, "", "ERROR: WinMain() caught ..."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    RecordingMessageBoxProvider boxes;
    ScopedMessageBoxProvider scoped(boxes);
    ScopedTraceLog log;
    EXPECT_EQ(RunWindowEntry(c.body), 0);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, c.box);
    EXPECT_EQ(boxes.Boxes()[0].caption, GetApplicationTitle());
    const auto messages = log.Messages();
    ASSERT_GE(messages.size(), 5u);
    EXPECT_EQ(messages[2], "entering WinMain()...");
    EXPECT_EQ(messages[3], c.line);
    EXPECT_EQ(messages[4], "exiting  WinMain()...");
    EXPECT_EQ(messages.back(), GetApplicationTitle() + " terminated normally.");
  }
  RecordingMessageBoxProvider quiet;
  ScopedMessageBoxProvider scoped(quiet);
  EXPECT_EQ(RunWindowEntry([] {}), 0);
  EXPECT_TRUE(quiet.Boxes().empty());
}

TEST_F(DialogsTest, MemoTextIsReplaced) {
  ScopedTraceLog log;
  QPlainTextEdit memo;
  EXPECT_TRUE(TMemo_SetText(&memo, "first"));
  EXPECT_TRUE(TMemo_SetText(&memo, "second"));
  EXPECT_EQ(memo.toPlainText().toStdString(), "second");
  EXPECT_FALSE(TMemo_SetText(nullptr, "x"));
  auto messages = log.Messages();
  EXPECT_NE(std::find(messages.begin(), messages.end(), "ERROR: destination TMemo is undefined!!!"),
            messages.end());
}

TEST_F(DialogsTest, HelpDocuments) {
  TMainApplicationForm window({});
  window.ReleaseNotesMenuItemClick();
  ASSERT_FALSE(boxes_.Boxes().empty());
  EXPECT_EQ(boxes_.Boxes().back().caption, "FILE NOT FOUND");
  EXPECT_EQ(boxes_.Boxes().back().text, FolderOf(ExecutablePath()) + "/Strandex Release Notes.pdf");

  TempDir dir;
  SetDocumentOpener(dir / "no-opener");
  window.OverviewMenuItemClick();  // the test program has no manual beside it
  EXPECT_EQ(boxes_.Boxes().back().caption,
            "ShellExecute(" + RemoveExtension(ExecutablePath()) + ".html)");
  SetDocumentOpener("");
}

}  // namespace
