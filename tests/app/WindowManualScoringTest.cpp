// Adding comets by hand on the field of view: real mouse and key events on
// the display, at control points computed from picture points through the
// display's own mapping, fitted and zoomed; what lands on disk.
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QSlider>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QWheelEvent>
#include <tuple>

#include "CometDatabase.h"
#include "FieldOfViewDisplay.h"
#include "FieldOfViewView.h"
#include "ImagePaths.h"
#include "PreferencesForm.h"
#include "WindowFixture.h"
#include "WorkspaceTestUtil.h"

using namespace testing_support;

namespace {

constexpr int kWidth = 200, kHeight = 150;

// A dark field with one comet at picture columns 40..69, rows 50..69,
// each row four levels brighter than the one above (100 at the top).
BitmapImageClass Field() {
  BitmapImageClass image(kWidth, kHeight, 8);
  image.SetAllPixelsToValue(10);
  for (int y = 50; y < 70; ++y)
    for (int x = 40; x < 70; ++x)
      image.GetScanLine(kHeight - 1 - y)[x] = static_cast<std::uint8_t>(100 + 4 * (y - 50));
  return image;
}

class WindowManualScoringTest : public WindowTest {
 protected:
  // The window showing the field (the second of two images, so the plain
  // wheel moves the cutoff).
  void SetUp() override {
    ASSERT_TRUE(Field().SaveToFile(images_ / "a.bmp"));
    ASSERT_TRUE(Field().SaveToFile(image_));
    window_ = Start();
    window_->CreatePreferences();  // as the program does after building the window
    window_->resize(1000, 1000);
    // The display's size fixed, so that the picture's place in it does not
    // depend on the rest of the window's layout.
    window_->findChild<FieldOfViewDisplay*>("FieldOfViewDisplayImage")->setFixedSize(988, 380);
    window_->show();
    window_->OpenFolder(images_.Path());
    window_->DirTreeView()->SelectImage(1);
    QApplication::processEvents();
    ASSERT_NE(window_->CurrentImage(), nullptr);
    view_ = window_->findChild<FieldOfViewView*>();
    display_ = window_->findChild<FieldOfViewDisplay*>("FieldOfViewDisplayImage");
    ASSERT_NE(display_, nullptr);
    ASSERT_EQ(display_->Picture().width(), kWidth);
  }

  // The control point at the middle of a picture pixel, checked to map
  // back to it.
  QPoint At(int px, int py) const {
    const DisplayRect& d = display_->Dest();
    const QPoint control(static_cast<int>(PictureToControlX(px + 0.5, kWidth, d)),
                         static_cast<int>(PictureToControlY(py + 0.5, kHeight, d)));
    EXPECT_EQ(display_->ToPicture(control), (PicturePoint{px, py}));
    return control;
  }

  void Drag(PicturePoint from, PicturePoint to) {
    QTest::mousePress(display_, Qt::LeftButton, {}, At(from.x, from.y));
    QTest::mouseMove(display_, At(to.x, to.y));
    QTest::mouseRelease(display_, Qt::LeftButton, {}, At(to.x, to.y));
  }
  void Click(PicturePoint p) { QTest::mouseClick(display_, Qt::LeftButton, {}, At(p.x, p.y)); }

  // A wheel notch as the system delivers it (passed on to the parents
  // when the display leaves it).
  void Wheel(QPoint at, int delta, Qt::KeyboardModifiers modifiers) {
    QWheelEvent wheel(at, display_->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    qApp->notify(display_, &wheel);  // as sent, it would count as not from the system
  }

  // What the display shows at a control point.
  QColor Shown(QPoint at) const { return display_->grab().toImage().pixelColor(at); }

  std::uint8_t Pixel(int x, int py) const {
    return window_->CurrentImage()->GetScanLine(kHeight - 1 - py)[x];
  }
  const CometRectangle& Rectangle() const { return view_->Rectangle(); }
  WellRecord Stored() const { return ReadDataSet(DataSetPathOf(image_)); }

  const std::string image_ = images_ / "field.bmp";
  std::unique_ptr<TMainApplicationForm> window_;
  FieldOfViewView* view_ = nullptr;
  FieldOfViewDisplay* display_ = nullptr;
};

TEST_F(WindowManualScoringTest, ARectangleAndAClickOnTheHeadScoreOneComet) {
  window_->Command("ManualScoringButton")->trigger();
  EXPECT_EQ(display_->cursor().shape(), Qt::CrossCursor);
  window_->ThresholdBar()->setValue(40);
  const QColor comet = Shown(At(55, 60)), besideHead = Shown(At(46, 50));
  QComboBox* lineColour = window_->Preferences()->LineColorBox();
  lineColour->setCurrentIndex(lineColour->findText("Red"));
  const QColor line = lineColour->currentData().value<QColor>();
  Drag({75, 74}, {35, 45});  // bottom right to top left
  const CometRectangle drawn{35, 45, 75, 74};
  EXPECT_EQ(Rectangle(), drawn);
  EXPECT_EQ(window_->StatusText(), "Defining comet bounds...");
  // The outline in the preferences' line colour, and the head line where
  // the pointer rests inside.
  EXPECT_EQ(Shown(At(35, 60)), line);
  EXPECT_EQ(Shown(At(60, 74)), line);
  QTest::mouseMove(display_, At(45, 60));
  EXPECT_EQ(window_->StatusText(), "Defining comet head...");
  EXPECT_EQ(Shown(At(45, 50)), line);
  EXPECT_EQ(Shown(At(46, 50)), besideHead);

  Click({35, 60});  // on the border: nothing
  Click({55, 74});
  EXPECT_FALSE(Exists(DataSetPathOf(image_)));
  EXPECT_EQ(Rectangle(), drawn);

  Click({45, 60});  // inside: the head ten columns in
  EXPECT_FALSE(Rectangle().Defined());
  const WellRecord stored = Stored();
  ASSERT_EQ(stored.CometCount, 1u);
  EXPECT_EQ(stored.Comets[0].HeadCenter, 10);
  EXPECT_EQ(stored.Comets[0].ImageWidth, 41);
  EXPECT_EQ(stored.Comets[0].ImageHeight, 30);
  EXPECT_EQ(stored.Comets[0].CenterX, 55.0f);
  EXPECT_EQ(stored.Comets[0].CenterY, 59.0f);
  EXPECT_TRUE(Exists(ResultFolderOf(image_) + ImageNameOf(stored.Comets[0]) + ".jpg"));
  EXPECT_TRUE(Exists(ResultFolderOf(image_) + ImageNameOf(stored.Comets[0]) + ".bmp"));
  EXPECT_EQ(window_->Workspace().DataSet().CometCount, 1u);
  EXPECT_NE(window_->findChild<QLabel*>("DataPointsLabel")->text().indexOf("(1 total"), -1)
      << window_->findChild<QLabel*>("DataPointsLabel")->text().toStdString();
  // The rectangle is black in the image and on the display; the rest is not.
  EXPECT_EQ(Pixel(55, 60), 0);
  EXPECT_EQ(Pixel(35, 45), 0);
  EXPECT_EQ(Pixel(75, 74), 0);
  EXPECT_EQ(Pixel(34, 45), 10);
  EXPECT_EQ(Pixel(76, 74), 10);
  EXPECT_NE(comet, Shown(At(55, 60)));
  EXPECT_EQ(Shown(At(55, 60)), Shown(At(36, 46)));
  // The image file is untouched.
  EXPECT_EQ(ReadFile(image_), ReadFile(images_ / "a.bmp"));

  // A second comet adds a second record; the statistics are written
  // with it.
  Drag({100, 100}, {120, 120});
  Click({110, 110});
  const WellRecord again = Stored();
  ASSERT_EQ(again.CometCount, 2u);
  EXPECT_EQ(again.Comets[1].HeadCenter, 10);
  // The centres' statistics (slot 0: CenterX) count both comets.
  EXPECT_EQ(again.MinValue[0], 55.0f);
  EXPECT_EQ(again.MaxValue[0], 110.0f);
  EXPECT_EQ(again.MeanValue[0], 82.5f);
}

// A comet added by hand ends the undo of an earlier grid edit: undoing it
// afterwards would write an older data set over the new comet.
TEST_F(WindowManualScoringTest, ACometAddedByHandEndsTheUndoOfAGridEdit) {
  window_->Command("ManualScoringButton")->trigger();
  window_->ThresholdBar()->setValue(40);
  Drag({35, 45}, {75, 74});
  Click({45, 60});
  ASSERT_EQ(Stored().CometCount, 1u);
  ASSERT_TRUE(ClickComet(*window_, 0, CursorMode::kDelete));
  ASSERT_TRUE(window_->Command("UndoButton")->isEnabled());
  Drag({100, 100}, {120, 120});
  Click({110, 110});
  ASSERT_EQ(Stored().CometCount, 2u);
  for (const char* name : {"UndoButton", "UndoMenuItem", "RedoButton", "RedoMenuItem"})
    EXPECT_FALSE(window_->Command(name)->isEnabled()) << name;
  window_->Command("UndoMenuItem")->trigger();
  EXPECT_EQ(Stored().Comets[0].Deleted, 1);  // the deletion stays
  EXPECT_EQ(Stored().CometCount, 2u);
}

TEST_F(WindowManualScoringTest, EscapeDropsTheRectangleThoughItsMenuItemIsHidden) {
  ASSERT_FALSE(window_->Command("CancelRectangleMenuItem")->isVisible());
  QApplication::setActiveWindow(window_.get());
  Drag({30, 40}, {80, 80});
  ASSERT_TRUE(Rectangle().Defined());
  QTest::keyClick(display_, Qt::Key_Escape);
  EXPECT_FALSE(Rectangle().Defined());
  EXPECT_NE(Shown(At(30, 60)), QColor(255, 255, 0));
  Click({50, 60});  // no rectangle any more: only a new drag begins
  EXPECT_FALSE(Exists(ResultFolderOf(image_)));
  EXPECT_FALSE(Rectangle().Defined());
}

// Scoring with a click inside the rectangle and moving on with the button
// still held does not start a rectangle from the old corner.
TEST_F(WindowManualScoringTest, AScoringClickStartsNoNewRectangle) {
  window_->ThresholdBar()->setValue(40);
  Drag({35, 45}, {75, 74});
  QTest::mousePress(display_, Qt::LeftButton, {}, At(45, 60));
  QTest::mouseMove(display_, At(50, 65));
  QTest::mouseRelease(display_, Qt::LeftButton, {}, At(50, 65));
  EXPECT_EQ(Stored().CometCount, 1u);
  EXPECT_FALSE(Rectangle().Defined());
}

TEST_F(WindowManualScoringTest, OneClickDraggedTenPixelsScoresAtTheRaisedCutoff) {
  window_->Command("ThresholdScoringButton")->trigger();
  EXPECT_EQ(display_->cursor().shape(), Qt::PointingHandCursor);
  window_->ThresholdBar()->setValue(130);
  const QPoint press = At(50, 65);
  QTest::mousePress(display_, Qt::LeftButton, {}, press);
  QTest::mouseMove(display_, press + QPoint(0, 10));
  EXPECT_EQ(window_->ThresholdBar()->value(), 140);
  QTest::mouseMove(display_, press + QPoint(0, -5));
  EXPECT_EQ(window_->ThresholdBar()->value(), 125);
  QTest::mouseMove(display_, press + QPoint(0, 10));
  QTest::mouseRelease(display_, Qt::LeftButton, {}, press + QPoint(0, 10));
  const WellRecord stored = Stored();
  ASSERT_EQ(stored.CometCount, 1u);
  // Rows at or above 140: the comet's ten bottom rows (at 130 it would be 12).
  EXPECT_EQ(stored.Comets[0].ImageHeight, 10);
  EXPECT_EQ(stored.Comets[0].ImageWidth, 30);
  EXPECT_TRUE(Exists(ResultFolderOf(image_) + "field.bmp"));
  EXPECT_TRUE(Exists(ResultFolderOf(image_) + ImageNameOf(stored.Comets[0]) + ".jpg"));
  EXPECT_EQ(Pixel(50, 65), 255);  // white in the image
  EXPECT_EQ(Pixel(50, 55), 120);  // below the raised cutoff: untouched
  EXPECT_EQ(Rectangle(), CometRectangle{});
}

TEST_F(WindowManualScoringTest, AOneClickOnBackgroundChangesNothing) {
  window_->Command("ThresholdScoringButton")->trigger();
  window_->ThresholdBar()->setValue(40);
  Click({150, 120});
  EXPECT_FALSE(Exists(ResultFolderOf(image_)));
  EXPECT_FALSE(Exists(DataSetPathOf(image_)));
  EXPECT_EQ(window_->Workspace().DataSet().CometCount, 0u);
  EXPECT_EQ(Pixel(150, 120), 10);
}

TEST_F(WindowManualScoringTest, ACometIsRefusedWhereTheResultsAreAnotherImages) {
  // "field.png" shares the result folder of "field.bmp".
  ASSERT_TRUE(SaveRasterAsPng(Field(), images_ / "field.png"));
  window_->OpenFolder(images_.Path());
  window_->DirTreeView()->SelectImage(1);
  window_->Command("ThresholdScoringButton")->trigger();
  window_->ThresholdBar()->setValue(40);
  Click({50, 60});
  EXPECT_FALSE(Exists(ResultFolderOf(image_)));
  EXPECT_NE(window_->StatusText().find("no comet is added"), std::string::npos)
      << window_->StatusText();
}

// While the window scores, the display takes no clicks; afterwards a comet
// added by hand joins the scored ones.
TEST_F(WindowManualScoringTest, TheDisplayRestsWhileTheWindowScores) {
  window_->Command("ThresholdScoringButton")->trigger();
  window_->ThresholdBar()->setValue(40);
  window_->Command("ScoreUsingCutoffButton")->trigger();
  EXPECT_FALSE(display_->isEnabled());
  window_->WaitForScoring();
  EXPECT_TRUE(display_->isEnabled());
  const std::uint32_t scored = Stored().CometCount;
  Click({50, 60});
  EXPECT_EQ(Stored().CometCount, scored + 1);
}

TEST_F(WindowManualScoringTest, ZoomKeepsThePointUnderThePointerAndClicksMapExactly) {
  const DisplayRect fitted = display_->Dest();
  const QPoint pointer = At(55, 60);
  Wheel(pointer, 120, Qt::ControlModifier);
  Wheel(pointer, 120, Qt::ControlModifier);
  EXPECT_TRUE(display_->Zoomed());
  EXPECT_GT(display_->Dest().Width(), fitted.Width());
  EXPECT_EQ(display_->ToPicture(pointer), (PicturePoint{55, 60}));
  QTest::keyClick(display_, Qt::Key_Plus);
  QTest::keyClick(display_, Qt::Key_Equal);  // "+" without Shift
  EXPECT_GT(display_->Dest().Width(), fitted.Width() * 2);
  QApplication::processEvents();  // the scroll bars take their place

  // The plain wheel moves the cutoff, not the zoom.
  const DisplayRect zoomed = display_->Dest();
  window_->ThresholdBar()->setValue(40);
  Wheel(pointer, -120, {});
  EXPECT_EQ(window_->ThresholdBar()->value(), 41);
  EXPECT_EQ(display_->Dest().Width(), zoomed.Width());

  // A middle-button drag pans; the scroll bars follow and pan as well.
  QTest::mousePress(display_, Qt::MiddleButton, {}, pointer);
  QTest::mouseMove(display_, pointer + QPoint(-30, -20));
  QTest::mouseRelease(display_, Qt::MiddleButton, {}, pointer + QPoint(-30, -20));
  EXPECT_EQ(display_->Dest().left, zoomed.left - 30);
  EXPECT_EQ(display_->Dest().top, zoomed.top - 20);
  auto* horizontal = view_->findChildren<QScrollBar*>()[0];
  auto* vertical = view_->findChildren<QScrollBar*>()[1];
  if (horizontal->orientation() != Qt::Horizontal) std::swap(horizontal, vertical);
  EXPECT_TRUE(horizontal->isVisible());
  EXPECT_EQ(horizontal->value(), -display_->Dest().left);
  EXPECT_EQ(vertical->value(), -display_->Dest().top);
  horizontal->setValue(horizontal->value() + 7);
  EXPECT_EQ(display_->Dest().left, zoomed.left - 37);
  // Never past the picture's edge.
  horizontal->setValue(horizontal->maximum());
  EXPECT_EQ(display_->Dest().right, display_->width());
  QTest::mousePress(display_, Qt::MiddleButton, {}, pointer);
  QTest::mouseMove(display_, pointer + QPoint(5000, 5000));
  QTest::mouseRelease(display_, Qt::MiddleButton, {}, pointer + QPoint(5000, 5000));
  EXPECT_EQ(display_->Dest().left, 0);
  EXPECT_EQ(display_->Dest().top, 0);

  // Zoomed in, a rectangle is still the picture rectangle pointed at.
  window_->Command("ManualScoringButton")->trigger();
  Drag({45, 52}, {66, 69});
  Click({57, 60});
  const WellRecord stored = Stored();
  ASSERT_EQ(stored.CometCount, 1u);
  EXPECT_EQ(stored.Comets[0].HeadCenter, 12);
  EXPECT_EQ(stored.Comets[0].ImageWidth, 22);
  EXPECT_EQ(stored.Comets[0].ImageHeight, 18);
  EXPECT_EQ(Pixel(45, 52), 0);
  EXPECT_EQ(Pixel(44, 52), 100 + 4 * 2);
  EXPECT_TRUE(display_->Zoomed());  // the marked picture keeps the zoom

  // "0" fits the picture again, at every window size; "-" back to the
  // fitted view fits as well.
  QTest::keyClick(display_, Qt::Key_0);
  EXPECT_FALSE(display_->Zoomed());
  QApplication::processEvents();
  EXPECT_FALSE(horizontal->isVisible());
  EXPECT_EQ(display_->Dest().Width(), fitted.Width());
  // Enlarged less, the picture is narrower than the display: it stays
  // where it is across while the vertical bar moves it.
  QTest::keyClick(display_, Qt::Key_Plus);
  QApplication::processEvents();
  ASSERT_LT(display_->Dest().Width(), display_->width());
  ASSERT_GT(vertical->maximum(), 0);
  const int across = display_->Dest().left;
  vertical->setValue(vertical->maximum());
  EXPECT_EQ(display_->Dest().left, across);
  EXPECT_EQ(display_->Dest().bottom, display_->height());
  QTest::keyClick(display_, Qt::Key_Minus);
  EXPECT_FALSE(display_->Zoomed());
  // Zooming in stops at the largest picture pixel.
  for (int i = 0; i < 40; ++i) QTest::keyClick(display_, Qt::Key_Plus);
  EXPECT_LE(display_->Dest().Width(), kWidth * FieldOfViewDisplay::kMaxPixelSize);
  EXPECT_GT(display_->Dest().Width() * 5 / 4, kWidth * FieldOfViewDisplay::kMaxPixelSize);
  QTest::keyClick(display_, Qt::Key_0);
  // The display follows the window again.
  display_->setMinimumSize(320, 240);
  display_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  for (const QSize& size : {QSize(700, 600), QSize(1300, 900), QSize(900, 1000)}) {
    window_->resize(size);
    QApplication::processEvents();
    const DisplayRect d = display_->Dest();
    SCOPED_TRACE(size.width());
    // Within the control, touching two opposite sides, proportions kept.
    EXPECT_TRUE((d.left == 0 && d.right == display_->width()) ||
                (d.top == 0 && d.bottom == display_->height()));
    EXPECT_GE(d.left, 0);
    EXPECT_GE(d.top, 0);
    EXPECT_LE(std::abs(d.Width() * kHeight - d.Height() * kWidth), kWidth);
    for (const auto& [px, py] : std::vector<std::pair<int, int>>{{0, 0}, {199, 149}, {57, 3}})
      At(px, py);
  }
}

}  // namespace
