#include "CometGridView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include "HistogramView.h"

namespace {

// Decoded thumbnails kept: several screens of the largest cells.
constexpr std::size_t kCachedThumbnails = 2048;
// Decoded profiled thumbnails of large comets take hundreds of kilobytes
// each: the cache keeps no more than this of them.
constexpr std::size_t kCachedThumbnailBytes = std::size_t{256} << 20;

std::optional<QImage> DecodeThumbnail(const std::string& path) {
  QImage image(QString::fromStdString(path));
  if (image.isNull()) return std::nullopt;
  return image;
}

}  // namespace

// The grid picture itself: as large as the layout, painted band by band.
class CometGridView::GridPicture : public QWidget {
 public:
  explicit GridPicture(CometGridView& grid) : QWidget(nullptr), grid_(grid) {
    setObjectName("CometGridDisplayImage");
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    QPainter painter(this);
    grid_.PaintBand(painter, e->rect());
  }
  void mousePressEvent(QMouseEvent* e) override {
    emit grid_.Clicked(e->position().toPoint().x(), e->position().toPoint().y());
  }

 private:
  CometGridView& grid_;
};

CometGridView::CometGridView(const ReviewModel& model, ThumbnailOf thumbnailOf, QWidget* parent)
    : QScrollArea(parent),
      model_(model),
      thumbnailOf_(std::move(thumbnailOf)),
      cache_(kCachedThumbnails, kCachedThumbnailBytes, [](const QImage& picture) {
        return static_cast<std::size_t>(picture.sizeInBytes());
      }) {
  setObjectName("CometGridScrollBox");
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setWidgetResizable(false);
  picture_ = new GridPicture(*this);
  setWidget(picture_);
  picture_->resize(0, 0);
}

QWidget* CometGridView::Picture() const {
  return picture_;
}

void CometGridView::Show(const WellRecord* well) {
  well_ = well;
  const GridLayout& layout = model_.Layout();
  if (well == nullptr || layout.cells.empty())
    picture_->resize(0, 0);
  else
    picture_->resize(layout.PictureWidth(), layout.PictureHeight());
  picture_->update();
}

void CometGridView::resizeEvent(QResizeEvent* e) {
  QScrollArea::resizeEvent(e);
  if (e->oldSize().width() != e->size().width()) emit WidthChanged();
}

int CometGridView::TextHeight() const {
  return picture_->fontMetrics().boundingRect("0.0").height();
}

void CometGridView::SetCursorMode(int mode) {
  static const Qt::CursorShape kShapes[] = {Qt::ArrowCursor, Qt::PointingHandCursor,
                                            Qt::CrossCursor, Qt::ForbiddenCursor};
  picture_->setCursor(kShapes[std::clamp(mode, 0, 3)]);
}

QImage CometGridView::Render(int top, int bottom) const {
  const GridLayout& layout = model_.Layout();
  QImage band(std::max(layout.PictureWidth(), 1), std::max(bottom - top, 1), QImage::Format_RGB32);
  QPainter painter(&band);
  painter.setFont(picture_->font());
  painter.translate(0, -top);
  PaintBand(painter, QRect(0, top, band.width(), band.height()));
  return band;
}

void CometGridView::PaintBand(QPainter& painter, const QRect& area) const {
  painter.fillRect(area, ColourOfBgr(kReviewPanelColour));
  if (well_ == nullptr) return;
  const GridLayout& layout = model_.Layout();
  const QFontMetrics metrics = painter.fontMetrics();
  const auto [first, last] = layout.CellsBetween(area.top(), area.bottom() + 1);
  for (int c = first; c < last; ++c) {
    const std::optional<CometCell> cell = model_.Cell(*well_, c);
    if (!cell) continue;
    const QColor background = ColourOfBgr(cell->colours.background);
    const QRect rect(cell->rect.left, cell->rect.top, cell->rect.right - cell->rect.left,
                     cell->rect.bottom - cell->rect.top);
    painter.fillRect(rect, background);
    const CometRecord& comet = well_->Comets[cell->record];
    const std::optional<Thumbnail> thumbnail = thumbnailOf_(comet);
    if (thumbnail && !thumbnail->path.empty()) {
      if (auto picture = cache_.Get(thumbnail->path, DecodeThumbnail)) {
        const GridRect at =
            ThumbnailRect(layout, *cell, picture->width(), picture->height(), !model_.Profiled());
        painter.drawImage(QRect(at.left, at.top, at.right - at.left, at.bottom - at.top), *picture);
      }
    }
    painter.setPen(background);
    painter.drawLine(cell->headLineX, cell->rect.top, cell->headLineX, cell->rect.bottom - 1);
    painter.setPen(ColourOfBgr(cell->colours.text));
    const QString value = QString::fromStdString(cell->valueText);
    painter.drawText(CentredTextLeft(cell->rect, metrics.horizontalAdvance(value)),
                     cell->valueTop + metrics.ascent(), value);
    if (thumbnail && !thumbnail->label.empty()) {
      const QString label = QString::fromStdString(thumbnail->label);
      painter.drawText(CentredTextLeft(cell->rect, metrics.horizontalAdvance(label)),
                       FileLabelTop(*cell, metrics.height()) + metrics.ascent(), label);
    }
  }
}
