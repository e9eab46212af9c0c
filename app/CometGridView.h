#pragma once

#include <QImage>
#include <QScrollArea>
#include <functional>
#include <optional>
#include <string>

#include "CometRecords.h"
#include "ReviewModel.h"
#include "ThumbnailCache.h"

// The comet grid: a scroll box holding the grid picture of the review
// model's last layout. Only the cells in sight are painted, each from the
// model's description of it, with its thumbnail decoded once and kept in a
// cache (a file rewritten by an edit is decoded again). A click on the
// picture is reported in picture coordinates.
class CometGridView : public QScrollArea {
  Q_OBJECT

 public:
  // Where a comet's thumbnail lies (nothing when no file is known) and the
  // file label to show above it (empty for none).
  struct Thumbnail {
    std::string path;
    std::string label;
  };
  using ThumbnailOf = std::function<std::optional<Thumbnail>(const CometRecord&)>;

  CometGridView(const ReviewModel& model, ThumbnailOf thumbnailOf, QWidget* parent = nullptr);

  // The data set whose last layout the model holds; nothing shows an empty
  // panel.
  void Show(const WellRecord* well);
  // The text height of the picture's font and the width the layout divides.
  int TextHeight() const;
  int ViewWidth() const { return width(); }
  // The mouse cursor of a cursor mode (0..3).
  void SetCursorMode(int mode);
  QWidget* Picture() const;
  // Paints the part of the picture from `top` to `bottom` into an image (as
  // a redraw of that band does).
  QImage Render(int top, int bottom) const;

 signals:
  void Clicked(int x, int y);
  // The view's width changed: the grid is laid out again.
  void WidthChanged();

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  class GridPicture;
  void PaintBand(QPainter& painter, const QRect& area) const;

  const ReviewModel& model_;
  ThumbnailOf thumbnailOf_;
  const WellRecord* well_ = nullptr;
  GridPicture* picture_ = nullptr;
  mutable ThumbnailCache<QImage> cache_;
};
