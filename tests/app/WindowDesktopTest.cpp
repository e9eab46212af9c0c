// The window as a desktop program: tool buttons and their menu items, the
// File menu's recent folders and Quit, pictures and keyboard letters, the
// place on the screen and the status bar after a load.
#include <sys/stat.h>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <cmath>
#include <set>

#include "FieldOfViewDisplay.h"
#include "RecentFoldersMenu.h"
#include "ShellExecute.h"
#include "WindowFixture.h"

using namespace testing_support;

namespace {

class WindowDesktopTest : public WindowTest {
 protected:
  // Closes whatever modal dialog a command opens, once it is up.
  void CloseNextModal() {
    QTimer::singleShot(50, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
  }
  // A stand-in for the desktop's opener that opens nothing.
  void QuietOpener() {
    const std::string script = home_ / "opener";
    WriteFile(script, "#!/bin/sh\nexit 0\n");
    chmod(script.c_str(), 0755);
    SetDocumentOpener(script);
  }
  void TearDown() override { SetDocumentOpener(""); }

  static QMenu* FileMenu(TMainApplicationForm& window) {
    for (QAction* a : window.menuBar()->actions())
      if (a->menu() != nullptr && a->text().remove('&') == "File") return a->menu();
    return nullptr;
  }
};

TEST_F(WindowDesktopTest, EveryToolButtonDoesWhatItsMenuItemDoes) {
  auto window = Start();
  window->CreatePreferences();
  QuietOpener();
  struct Pair {
    const char* button;
    const char* menuItem;
    bool modal;  // opens a dialog that has to be closed
  };
  const Pair pairs[] = {
      {"OpenFileButton", "OpenFileMenuItem", false},
      {"OpenFolderButton", "OpenFolderMenuItem", false},
      {"SaveAsSpreadsheetButton", "SaveAsSpreadsheetMenuItem", false},
      {"ScoreUsingCutoffButton", "ScoreUsingCutoffMenuItem", false},
      {"PreferencesButton", "PreferencesMenuItem", true},
      {"HelpButton", "OverviewMenuItem", false},
      {"ReleaseNotesButton", "ReleaseNotesMenuItem", false},
      {"AboutButton", "AboutMenuItem", true},
  };
  // What a command leaves behind: its trace lines and its boxes.
  auto run = [&](const char* name, bool modal) {
    ScopedTraceLog log;
    const std::size_t boxesBefore = boxes_.Boxes().size();
    if (modal) CloseNextModal();
    window->Command(name)->trigger();
    std::vector<std::string> effect = log.Messages();
    for (std::size_t i = boxesBefore; i < boxes_.Boxes().size(); ++i)
      effect.push_back("box: " + boxes_.Boxes()[i].caption + " / " + boxes_.Boxes()[i].text);
    return effect;
  };
  for (const Pair& p : pairs) {
    SCOPED_TRACE(p.button);
    const auto byMenu = run(p.menuItem, p.modal);
    const auto byButton = run(p.button, p.modal);
    EXPECT_FALSE(byMenu.empty());
    EXPECT_EQ(byButton, byMenu);
  }
}

TEST_F(WindowDesktopTest, UndoAndRedoStartDisabledEverywhere) {
  auto window = Start();
  for (const char* name : {"UndoMenuItem", "RedoMenuItem", "UndoButton", "RedoButton"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(window->Command(name)->isEnabled());
  }
}

TEST_F(WindowDesktopTest, RecentFoldersComeBackAfterARestartAndAGoneOneIsForgotten) {
  const std::string first = images_ / "monday";
  const std::string second = images_ / "tuesday";
  MakeFields(first, 1, 200, 150);
  MakeFields(second, 1, 200, 150);
  {
    auto window = Start();
    for (const std::string& folder : {first, second}) {
      chosenFolder_ = folder;
      window->Command("OpenFolderMenuItem")->trigger();
    }
  }
  auto window = Start();
  auto* recent = window->findChild<RecentFoldersMenu*>("RecentFoldersMenu");
  ASSERT_NE(recent, nullptr);
  ASSERT_NE(FileMenu(*window), nullptr);
  EXPECT_TRUE(FileMenu(*window)->actions().contains(recent->menuAction()));
  const QList<QAction*> items = recent->actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->data().toString().toStdString(), second + "/");  // newest first
  EXPECT_EQ(items[1]->data().toString().toStdString(), first + "/");

  items[1]->trigger();
  ASSERT_EQ(window->DirTreeView()->topLevelItemCount(), 1);
  EXPECT_EQ(window->DirTreeView()->topLevelItem(0)->text(0).toStdString(), first + "/");
  EXPECT_EQ(recent->actions()[0]->data().toString().toStdString(), first + "/");

  std::filesystem::remove_all(second);
  recent->actions()[1]->trigger();
  EXPECT_EQ(window->StatusText(), "The folder " + second + "/ does not exist.");
  ASSERT_EQ(recent->actions().size(), 1);
  EXPECT_EQ(recent->actions()[0]->data().toString().toStdString(), first + "/");
  EXPECT_EQ(ReadFile(home_ / "strandex.ini").find("tuesday"), std::string::npos);
}

TEST_F(WindowDesktopTest, QuitClosesTheWindow) {
  auto window = Start();
  window->show();
  QAction* quit = window->Command("QuitMenuItem");
  ASSERT_NE(quit, nullptr);
  EXPECT_EQ(quit->shortcut(), QKeySequence("Ctrl+Q"));
  quit->trigger();
  EXPECT_FALSE(window->isVisible());
}

TEST_F(WindowDesktopTest, ToolButtonsShowPicturesAndTextInGroups) {
  // No icon theme at all: our own pictures stand in.
  const QString theme = QIcon::themeName();
  QIcon::setThemeName("no-such-theme");
  auto window = Start();
  QIcon::setThemeName(theme);
  int separators = 0;
  for (const char* name : {"ToolBar", "ViewToolBar"}) {
    auto* bar = window->findChild<QToolBar*>(name);
    ASSERT_NE(bar, nullptr) << name;
    EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    for (QAction* action : bar->actions()) {
      if (action->isSeparator()) {
        ++separators;
        continue;
      }
      SCOPED_TRACE(action->objectName().toStdString());
      EXPECT_FALSE(action->text().isEmpty());
      EXPECT_FALSE(action->icon().pixmap(24, 24).isNull());
    }
  }
  EXPECT_GE(separators, 4);
}

TEST_F(WindowDesktopTest, MenusHaveDistinctAltLetters) {
  auto window = Start();
  auto letter = [](const QString& text) {
    const int at = text.indexOf('&');
    return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
  };
  std::set<QChar> titles;
  for (QAction* menu : window->menuBar()->actions()) {
    if (!menu->isVisible()) continue;
    SCOPED_TRACE(menu->text().toStdString());
    const QChar title = letter(menu->text());
    EXPECT_FALSE(title.isNull());
    EXPECT_TRUE(titles.insert(title).second);
    std::set<QChar> items;
    for (QAction* item : menu->menu()->actions()) {
      if (item->isSeparator() || !item->isVisible()) continue;
      SCOPED_TRACE(item->text().toStdString());
      const QChar l = letter(item->text());
      EXPECT_FALSE(l.isNull());
      EXPECT_TRUE(items.insert(l).second);
    }
  }
}

TEST_F(WindowDesktopTest, TheWindowStartsInsideTheScreenAndCentred) {
  auto window = Start();
  const QRect area = window->screen()->availableGeometry();
  const QRect placed = window->geometry();
  EXPECT_LE(placed.width(), area.width());
  EXPECT_LE(placed.height(), area.height());
  EXPECT_TRUE(area.contains(placed)) << area.width() << "x" << area.height();
  EXPECT_LE(std::abs(placed.center().x() - area.center().x()), 2);
  // Where the screen has room, the usual size.
  if (area.width() >= 942 && area.height() >= 853) {
    EXPECT_EQ(placed.size(), QSize(942, 853));
  }
}

TEST_F(WindowDesktopTest, TheStatusBarSaysWhatIsOnViewOnceLoaded) {
  auto window = Start();
  const std::string field = MakeFields(images_.Path(), 1, 320, 240)[0];
  ASSERT_TRUE(window->LoadImageIntoWorkspace(field));
  EXPECT_EQ(window->StatusText(), "field0.png: 320 x 240 pixels");
}

}  // namespace

namespace {

TEST_F(WindowDesktopTest, TheSliderHighlightsTheKeptLevelsAndShowsTheGreyLevel) {
  auto window = Start();
  window->show();
  QSlider* bar = window->ThresholdBar();
  for (int cutoff : {64, 200}) {
    SCOPED_TRACE(cutoff);
    bar->setValue(cutoff);
    auto* level = window->findChild<QLabel*>("CutoffLevelLabel");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->text().toStdString(), "level " + std::to_string(cutoff));
    const QImage picture = bar->grab().toImage();
    const QColor highlight = bar->palette().color(QPalette::Highlight);
    const int x = picture.width() / 2;
    // Position 0 is at the top: above the handle is dropped, below is kept.
    const int handle = picture.height() * cutoff / 255;
    const QColor above(picture.pixel(x, std::max(1, handle - 16) / 2));
    const QColor below(picture.pixel(x, (handle + 16 + picture.height()) / 2));
    EXPECT_EQ(below.rgb(), highlight.rgb());
    EXPECT_NE(above.rgb(), highlight.rgb());
  }
}

}  // namespace

namespace {

std::string StripesBmp(const std::string& path, int width, int height) {
  BitmapImageClass image(width, height, 8);
  for (int r = 0; r < height; ++r)
    for (int x = 0; x < width; ++x) image.GetScanLine(r)[x] = x % 2 == 0 ? 0 : 255;
  image.GetScanLine(height - 1 - 3)[10] = 77;  // picture row 3, column 10
  EXPECT_TRUE(image.SaveToFile(path));
  return path;
}

TEST_F(WindowDesktopTest, AnEmptyStartSaysWhatToDoOverAWhollyBlackDisplay) {
  auto window = Start();
  window->show();
  QApplication::processEvents();
  auto* display = window->findChild<FieldOfViewDisplay*>("FieldOfViewDisplayImage");
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(display->EmptyHint().toStdString(),
            "Open a folder of images (File > Open Folder) or drop one here");
  const QImage shown = display->grab().toImage();
  for (QPoint corner : {QPoint(0, 0), QPoint(shown.width() - 1, shown.height() - 1)})
    EXPECT_EQ(QColor(shown.pixel(corner)), QColor(Qt::black));
  bool text = false;
  for (int x = 0; x < shown.width() && !text; ++x)
    for (int y = shown.height() / 3; y < 2 * shown.height() / 3 && !text; ++y)
      text = QColor(shown.pixel(x, y)) != QColor(Qt::black);
  EXPECT_TRUE(text);

  chosenFolder_ = images_.Path();
  window->Command("OpenFolderMenuItem")->trigger();
  EXPECT_TRUE(display->EmptyHint().isEmpty());
}

TEST_F(WindowDesktopTest, ThePointerShowsItsPicturePixelAndGreyLevel) {
  auto window = Start();
  window->resize(1000, 800);
  window->show();
  ASSERT_TRUE(window->LoadImageIntoWorkspace(StripesBmp(images_ / "s.bmp", 40, 20)));
  auto* display = window->findChild<FieldOfViewDisplay*>("FieldOfViewDisplayImage");
  display->SetEmptyHint("");
  QApplication::processEvents();
  auto* pointer = window->findChild<QLabel*>("PointerLabel");
  ASSERT_NE(pointer, nullptr);
  const DisplayRect& d = display->Dest();
  auto at = [&](int px, int py) {
    return QPoint(d.left + static_cast<int>((px + 0.5) * d.Width() / 40),
                  d.top + static_cast<int>((py + 0.5) * d.Height() / 20));
  };
  QTest::mouseMove(display, at(10, 3));
  EXPECT_EQ(pointer->text().toStdString(), "x 10, y 3: level 77");
  QTest::mouseMove(display, at(11, 3));
  EXPECT_EQ(pointer->text().toStdString(), "x 11, y 3: level 255");
  // Beside the picture (it is fitted, so there is room on one side).
  const QPoint beside =
      d.left > 1 ? QPoint(d.left - 2, d.top + 2) : QPoint(d.left + 2, d.bottom + 1);
  ASSERT_TRUE(display->rect().contains(beside));
  QTest::mouseMove(display, beside);
  EXPECT_TRUE(pointer->text().isEmpty());
}

TEST_F(WindowDesktopTest, OnADoubleDensityScreenEveryPicturePixelStaysSharp) {
  auto window = Start();
  window->show();
  ASSERT_TRUE(window->LoadImageIntoWorkspace(StripesBmp(images_ / "s.bmp", 320, 240)));
  auto* display = window->findChild<FieldOfViewDisplay*>("FieldOfViewDisplayImage");
  display->SetEmptyHint("");
  display->resize(320, 240);  // one screen point a picture pixel: two device pixels
  ASSERT_EQ(display->Dest().Width(), 320);
  QImage device(640, 480, QImage::Format_RGB32);
  device.setDevicePixelRatio(2);
  display->render(&device);
  std::set<QRgb> seen;
  for (int x = 0; x < 640; ++x) seen.insert(device.pixel(x, 20) & 0xFFFFFF);
  EXPECT_EQ(seen.size(), 2u);  // black and white columns, no grey between them
  EXPECT_EQ(device.pixel(0, 20) & 0xFFFFFF, device.pixel(1, 20) & 0xFFFFFF);
  EXPECT_NE(device.pixel(1, 20) & 0xFFFFFF, device.pixel(2, 20) & 0xFFFFFF);
}

}  // namespace

namespace {

// The contrast ratio of two colours (1 to 21), as accessibility guidelines
// define it.
double Contrast(const QColor& a, const QColor& b) {
  auto luminance = [](const QColor& c) {
    auto channel = [](double v) {
      v /= 255.0;
      return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(WindowDesktopTest, TheWindowFitsALaptopScreen) {
  auto window = Start();
  window->show();
  QApplication::processEvents();
  const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
  EXPECT_LE(least.width(), 1024);
  EXPECT_LE(least.height(), 700);
  window->resize(1024, 700);
  QApplication::processEvents();
  EXPECT_EQ(window->size(), QSize(1024, 700));
  // Every tool button stands on its bar with its caption, none hidden
  // behind the bar's overflow arrow, at the start width and the narrowest.
  for (int width : {942, least.width()}) {
    window->resize(width, 800);
    QApplication::processEvents();
    for (QToolBar* bar : window->findChildren<QToolBar*>())
      for (QAction* action : bar->actions()) {
        if (!action->isVisible() || action->isSeparator()) continue;
        SCOPED_TRACE(action->objectName().toStdString() + " at " + std::to_string(width));
        const QWidget* button = bar->widgetForAction(action);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isVisible());
        EXPECT_LE(button->geometry().right(), bar->width());
      }
  }
}

TEST_F(WindowDesktopTest, TheReviewAreaStaysReadableUnderADarkTheme) {
  const QPalette usual = QApplication::palette();
  QPalette dark = usual;
  dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
  dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
  dark.setColor(QPalette::Base, QColor(0x2A, 0x2A, 0x2A));
  dark.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
  dark.setColor(QPalette::Button, QColor(0x30, 0x30, 0x30));
  dark.setColor(QPalette::ButtonText, QColor(0xEE, 0xEE, 0xEE));
  QApplication::setPalette(dark);
  struct Restore {
    QPalette palette;
    ~Restore() { QApplication::setPalette(palette); }
  } restore{usual};
  auto window = Start();
  window->show();
  QApplication::processEvents();
  auto* review = window->findChild<QWidget*>("ReviewArea");
  ASSERT_NE(review, nullptr);
  const QList<QLabel*> labels = review->findChildren<QLabel*>();
  ASSERT_FALSE(labels.isEmpty());
  for (QLabel* label : labels) {
    if (!label->isVisibleTo(review) || label->text().isEmpty()) continue;
    SCOPED_TRACE(label->objectName().toStdString() + " " + label->text().toStdString());
    // What the label's text is drawn in, over what the area behind it is
    // filled with.
    const QColor text = label->palette().color(label->foregroundRole());
    const QColor behind = review->palette().color(review->backgroundRole());
    EXPECT_GE(Contrast(text, behind), 4.5);
  }
}

TEST_F(WindowDesktopTest, TheFilterPanelSaysWhatItFilters) {
  auto window = Start();
  auto* panel = window->findChild<QWidget*>("FilterPanel");
  ASSERT_NE(panel, nullptr);
  QStringList texts;
  for (QLabel* label : panel->findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains("Comet Area"));
  EXPECT_TRUE(texts.contains("Comet Height"));
  EXPECT_EQ(texts.count(" < "), 4);
  for (const QString& text : texts) EXPECT_FALSE(text.contains("Edit")) << text.toStdString();
}

}  // namespace
