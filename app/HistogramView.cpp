#include "HistogramView.h"

#include <QPainter>

QColor ColourOfBgr(std::uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

HistogramView::HistogramView(QWidget* parent) : QWidget(parent) {
  setObjectName("HistogramImage");
  setFixedHeight(105);  // the design height
}

bool HistogramView::Draw(const HistogramPicture& plan) {
  if (!plan.drawn || plan.width <= 0 || plan.height <= 0) return false;
  QImage picture(plan.width, plan.height, QImage::Format_RGB32);
  picture.fill(ColourOfBgr(kReviewPanelColour));
  // Bar i is the line from (i, H) up to (i, H - B), its end left out.
  const int h = plan.height;
  for (int i = 0; i < plan.width && i < static_cast<int>(plan.heights.size()); ++i) {
    const QRgb colour = ColourOfBgr(plan.colours[i]).rgb();
    for (int y = std::max(h - plan.heights[i] + 1, 0); y < h; ++y) picture.setPixel(i, y, colour);
  }
  picture_ = std::move(picture);
  update();
  return true;
}

void HistogramView::Clear() {
  picture_ = QImage();
  update();
}

void HistogramView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ColourOfBgr(kReviewPanelColour));
  if (!picture_.isNull()) painter.drawImage(QRect(0, 0, width(), picture_.height()), picture_);
}
