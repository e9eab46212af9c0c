#include "FieldOfViewView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "DisplayColouring.h"
#include "FieldOfViewDisplay.h"
#include "ScopedTrace.h"
#include "ScoringWorkspace.h"
#include "ToolkitWrappers.h"

FieldOfViewView::FieldOfViewView(ScoringWorkspace& workspace, QWidget* parent)
    : QWidget(parent), workspace_(workspace), manual_(workspace) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  auto* sliderColumn = new QVBoxLayout;
  auto* caption = new QLabel("Cutoff", this);
  thresholdBar_ = new QSlider(Qt::Vertical, this);
  thresholdBar_->setObjectName("ThresholdBar");
  thresholdBar_->setRange(0, 255);
  thresholdBar_->setInvertedAppearance(true);  // position 0 at the top
  thresholdBar_->setInvertedControls(true);
  thresholdBar_->setToolTip("Set Background Segmentation Level");
  // The highlighted part of the groove runs from the handle down to 255:
  // the grey levels that are kept.
  thresholdBar_->setStyleSheet(
      "QSlider::groove:vertical { width: 6px; border-radius: 3px; background: palette(mid); }"
      "QSlider::sub-page:vertical { border-radius: 3px; background: palette(mid); }"
      "QSlider::add-page:vertical { border-radius: 3px; background: palette(highlight); }"
      "QSlider::handle:vertical { height: 12px; margin: 0 -6px; border-radius: 4px;"
      " border: 1px solid palette(dark); background: palette(button); }");
  thresholdIndicator_ = new QLabel("100%", this);
  thresholdIndicator_->setObjectName("ThresholdIndicator");
  // The cutoff as the grey level the command line's --cutoff takes.
  cutoffLevel_ = new QLabel(this);
  cutoffLevel_->setObjectName("CutoffLevelLabel");
  cutoffLevel_->setToolTip("The cutoff as a grey level (0-255), as --cutoff takes it");
  sliderColumn->addWidget(caption);
  sliderColumn->addWidget(thresholdBar_, 1);
  sliderColumn->addWidget(thresholdIndicator_);
  sliderColumn->addWidget(cutoffLevel_);
  // The column keeps one width whatever the texts say, so the picture
  // beside it never shifts while the slider moves.
  const int columnWidth = fontMetrics().horizontalAdvance("level 255") + 8;
  for (QLabel* label : {caption, thresholdIndicator_, cutoffLevel_}) {
    label->setFixedWidth(columnWidth);
    label->setAlignment(Qt::AlignCenter);
  }
  display_ = new FieldOfViewDisplay(this);
  display_->setObjectName("FieldOfViewDisplayImage");
  display_->setMinimumSize(320, 240);
  connect(display_, &FieldOfViewDisplay::Pressed, this, &FieldOfViewView::MouseDown);
  connect(display_, &FieldOfViewDisplay::Moved, this, &FieldOfViewView::MouseMove);
  connect(display_, &FieldOfViewDisplay::Released, this, &FieldOfViewView::MouseUp);
  // Scroll bars beside the display while it is zoomed.
  horizontalBar_ = new QScrollBar(Qt::Horizontal, this);
  verticalBar_ = new QScrollBar(Qt::Vertical, this);
  horizontalBar_->hide();
  verticalBar_->hide();
  // Each bar moves the picture along its own axis only.
  connect(horizontalBar_, &QScrollBar::valueChanged, this,
          [this](int x) { display_->PanBy(-x - display_->Dest().left, 0); });
  connect(verticalBar_, &QScrollBar::valueChanged, this,
          [this](int y) { display_->PanBy(0, -y - display_->Dest().top); });
  connect(display_, &FieldOfViewDisplay::ViewChanged, this, &FieldOfViewView::FollowView);
  auto* grid = new QGridLayout;
  grid->setSpacing(0);
  grid->addWidget(display_, 0, 0);
  grid->addWidget(verticalBar_, 0, 1);
  grid->addWidget(horizontalBar_, 1, 0);
  row->addLayout(sliderColumn);
  row->addLayout(grid, 1);
  ShowBlack();
  ShowCutoffLevel(thresholdBar_->value());
  connect(thresholdBar_, &QSlider::valueChanged, this, [this](int p) {
    thresholdIndicator_->setText(QString::fromStdString(ThresholdIndicatorText(p)));
    ShowCutoffLevel(p);
    emit CutoffChanged(p);
  });
}

void FieldOfViewView::ShowCutoffLevel(int position) {
  cutoffLevel_->setText(QString("level %1").arg(position));
}

int FieldOfViewView::Cutoff() const {
  return thresholdBar_->value();
}

void FieldOfViewView::ApplyDisplayColors(bool fullSpectrum, std::uint32_t hue) {
  BitmapImageClass* image = workspace_.MarkableImage();
  if (image == nullptr) {
    ShowBlack();
    return;
  }
  if (bitmap_.format != ToolkitPixelFormat::k24Bit ||
      bitmap_.image.width() != image->Bitmap.bmWidth ||
      bitmap_.image.height() != image->Bitmap.bmHeight)
    TBitmap_SetDimensions(&bitmap_, image->Bitmap.bmWidth, image->Bitmap.bmHeight,
                          ToolkitPixelFormat::k24Bit);
  fullSpectrum_ = fullSpectrum;
  hue_ = hue;
  ::ApplyDisplayColors(image, &bitmap_, fullSpectrum, Cutoff(), hue);
  Redraw();
}

void FieldOfViewView::ReportPointer(QPoint at) {
  const BitmapImageClass* image = workspace_.Image();
  const PicturePoint p = display_->ToPicture(at);
  if (image == nullptr || !display_->EmptyHint().isEmpty() || p.x < 0 || p.y < 0 ||
      p.x >= image->Bitmap.bmWidth || p.y >= image->Bitmap.bmHeight) {
    emit PointerText("");
    return;
  }
  QString text = QString("x %1, y %2").arg(p.x).arg(p.y);
  if (image->Bitmap.bmBitsPixel == 8)  // rows are stored bottom up
    text += QString(": level %1").arg(image->GetScanLine(image->Bitmap.bmHeight - 1 - p.y)[p.x]);
  emit PointerText(text);
}

void FieldOfViewView::ShowEmptyHint(bool show) {
  display_->SetEmptyHint(show ? kEmptyHint : "");
}

void FieldOfViewView::ShowBlack(int width, int height) {
  TBitmap_SetDimensions(&bitmap_, width, height, ToolkitPixelFormat::k24Bit);  // zero: black
  Redraw();
}

void FieldOfViewView::ShowImage(const BitmapImageClass& image) {
  TBitmap_Assign(&bitmap_, &image);
  Redraw();
}

void FieldOfViewView::Redraw() {
  if (bitmap_.image.isNull()) return;
  display_->SetPicture(bitmap_.image);
}

void FieldOfViewView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Redraw();
}

namespace {

const std::string kForm = "TMainApplicationForm::";

QColor AsColour(std::uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

}  // namespace

QWidget* FieldOfViewView::DisplayImage() const {
  return display_;
}

// The scroll bars show the zoomed picture's extent and the part in view.
void FieldOfViewView::FollowView() {
  const DisplayRect& d = display_->Dest();
  const bool zoomed = display_->Zoomed();
  const QSignalBlocker blockHorizontal(horizontalBar_), blockVertical(verticalBar_);
  horizontalBar_->setRange(0, std::max(d.Width() - display_->width(), 0));
  horizontalBar_->setPageStep(display_->width());
  horizontalBar_->setValue(-d.left);
  verticalBar_->setRange(0, std::max(d.Height() - display_->height(), 0));
  verticalBar_->setPageStep(display_->height());
  verticalBar_->setValue(-d.top);
  horizontalBar_->setVisible(zoomed);
  verticalBar_->setVisible(zoomed);
}

void FieldOfViewView::SetOneClickMode(bool oneClick) {
  oneClick_ = oneClick;
  dragging_ = false;
  display_->setCursor(oneClick ? Qt::PointingHandCursor : Qt::CrossCursor);
}

void FieldOfViewView::CancelRectangle() {
  manual_.CancelRectangle();
  dragging_ = false;
  DrawOutline(-1);
}

void FieldOfViewView::DrawOutline(int headColumn) {
  const std::uint32_t colour = lineColour_ ? lineColour_() : 0x00FFFFu;
  display_->SetOutline(manual_.Rectangle(), headColumn, AsColour(colour), penWidth_);
}

// The status bar's hint, told only when it changes (the pointer moves often).
void FieldOfViewView::Hint(const std::string& text) {
  if (text == hint_) return;
  hint_ = text;
  if (!text.empty()) emit StatusText(text);
}

void FieldOfViewView::MouseDown(Qt::MouseButton button, QPoint at) {
  ScopedTrace trace(kForm + "FieldOfViewDisplayImageMouseDown");
  if (workspace_.Image() == nullptr || button != Qt::LeftButton) return;
  // About one screen pixel wide: a picture pixel, or more where the
  // picture is shown shrunk.
  const int destWidth = display_->Dest().Width();
  penWidth_ = destWidth > 0 ? std::max(display_->Picture().width() / destWidth, 1) : 1;
  press_ = at;
  pressPoint_ = display_->ToPicture(at);
  if (oneClick_) {
    pressCutoff_ = Cutoff();
    return;
  }
  if (manual_.Rectangle().Contains(pressPoint_)) {
    dragging_ = false;
    Reported(manual_.ScoreRectangle(pressPoint_.x, static_cast<std::uint8_t>(Cutoff())));
    DrawOutline(-1);
  } else {
    dragging_ = true;
    manual_.BeginDrag(pressPoint_);
  }
}

void FieldOfViewView::MouseMove(Qt::MouseButtons buttons, QPoint at) {
  ReportPointer(at);
  if (workspace_.Image() == nullptr) return;
  if (oneClick_) {
    if (buttons & Qt::LeftButton)
      thresholdBar_->setValue(OneClickCutoff(pressCutoff_, press_.y(), at.y()));
    return;
  }
  const PicturePoint p = display_->ToPicture(at);
  if (dragging_ && (buttons & Qt::LeftButton)) {
    Hint("Defining comet bounds...");
    manual_.DragTo(p);
  }
  if (manual_.Rectangle().Contains(p)) {
    Hint("Defining comet head...");
    DrawOutline(p.x);
  } else {
    if (!dragging_) Hint("");
    DrawOutline(-1);
  }
}

void FieldOfViewView::MouseUp(Qt::MouseButton button, QPoint) {
  ScopedTrace trace(kForm + "FieldOfViewDisplayImageMouseUp");
  if (button == Qt::LeftButton) dragging_ = false;
  if (workspace_.Image() == nullptr || button != Qt::LeftButton || !oneClick_) return;
  Reported(manual_.ScoreRegion(pressPoint_, static_cast<std::uint8_t>(Cutoff())));
}

// After a manual comet: the marked picture again, and the window told.
void FieldOfViewView::Reported(ManualOutcome outcome) {
  switch (outcome) {
    case ManualOutcome::kScored:
      ApplyDisplayColors(fullSpectrum_, hue_);
      if (!manual_.Message().empty()) emit StatusText(manual_.Message());
      emit ManualCometAdded();
      break;
    case ManualOutcome::kFailed:
      // The data set was read again from its file: the review follows it.
      ApplyDisplayColors(fullSpectrum_, hue_);
      emit StatusText(manual_.Message());
      emit ManualCometAdded();
      break;
    case ManualOutcome::kRefused:
      emit StatusText(manual_.Message());
      break;
    case ManualOutcome::kNothing:
      break;
  }
}
