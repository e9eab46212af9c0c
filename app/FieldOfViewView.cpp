#include "FieldOfViewView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QSlider>
#include <QVBoxLayout>

#include "DisplayColouring.h"
#include "ScoringWorkspace.h"
#include "ToolkitWrappers.h"

FieldOfViewView::FieldOfViewView(ScoringWorkspace& workspace, QWidget* parent)
    : QWidget(parent), workspace_(workspace) {
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
  display_ = new QLabel(this);
  display_->setObjectName("FieldOfViewDisplayImage");
  display_->setAlignment(Qt::AlignCenter);
  display_->setMinimumSize(320, 240);
  row->addLayout(sliderColumn);
  row->addWidget(display_, 1);
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
  ::ApplyDisplayColors(image, &bitmap_, fullSpectrum, Cutoff(), hue);
  Redraw();
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
  display_->setPixmap(QPixmap::fromImage(bitmap_.image)
                          .scaled(display_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void FieldOfViewView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Redraw();
}
