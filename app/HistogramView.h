#pragma once

#include <QImage>
#include <QWidget>

#include "MetricHistogram.h"

// The histogram of the review area: a picture of one-pixel bars, one per
// bucket, stretched to the view's width. A plan that draws nothing keeps the
// previous picture.
class HistogramView : public QWidget {
  Q_OBJECT

 public:
  explicit HistogramView(QWidget* parent = nullptr);

  // Paints the plan's bars into a fresh picture; false (picture unchanged)
  // when the plan draws nothing.
  bool Draw(const HistogramPicture& plan);
  void Clear();
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QImage picture_;
};

// A colour written 0xBBGGRR as the toolkit's colour.
QColor ColourOfBgr(std::uint32_t bgr);
