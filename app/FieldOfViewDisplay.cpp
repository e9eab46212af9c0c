#include "FieldOfViewDisplay.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

namespace {

constexpr double kZoomStep = 1.25;

}  // namespace

FieldOfViewDisplay::FieldOfViewDisplay(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  // Clicked or wheeled over, the display takes the zoom keys.
  setFocusPolicy(Qt::WheelFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void FieldOfViewDisplay::SetPicture(const QImage& picture) {
  const bool sameSize = picture.size() == picture_.size();
  picture_ = picture;
  if (!sameSize || !Zoomed()) Fit();
  update();
}

PicturePoint FieldOfViewDisplay::ToPicture(const QPoint& control) const {
  return ControlToPicture(control.x(), control.y(), picture_.width(), picture_.height(), dest_);
}

void FieldOfViewDisplay::Show(const DisplayRect& dest, double zoom) {
  zoom_ = zoom;
  dest_ = Zoomed() ? KeepInView(dest, width(), height()) : dest;
  update();
  emit ViewChanged();
}

void FieldOfViewDisplay::ZoomAbout(double factor, const QPoint& control) {
  if (picture_.isNull()) return;
  // The zoom is counted against the fitted view, which changes with the
  // control's size (the scroll bars come and go with the zoom).
  const double zoom = zoom_ * factor;
  if (zoom <= 1 + 1e-6) {
    Fit();
    return;
  }
  const DisplayRect zoomed = ::ZoomAbout(dest_, factor, control.x(), control.y());
  if (zoomed.Width() > picture_.width() * kMaxPixelSize) return;
  Show(zoomed, zoom);
}

void FieldOfViewDisplay::Fit() {
  Show(FitPicture(picture_.width(), picture_.height(), width(), height()), 1);
}

void FieldOfViewDisplay::PanBy(int dx, int dy) {
  if (Zoomed()) Show({dest_.left + dx, dest_.top + dy, dest_.right + dx, dest_.bottom + dy}, zoom_);
}

void FieldOfViewDisplay::SetOutline(const CometRectangle& rectangle, int headColumn, QColor colour,
                                    int penWidth) {
  outline_ = rectangle;
  headColumn_ = headColumn;
  colour_ = colour;
  penWidth_ = std::max(penWidth, 1);
  update();
}

void FieldOfViewDisplay::SetEmptyHint(const QString& hint) {
  emptyHint_ = hint;
  update();
}

void FieldOfViewDisplay::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!emptyHint_.isEmpty()) {
    painter.fillRect(rect(), Qt::black);
    painter.setPen(QColor(200, 200, 200));
    painter.drawText(rect().adjusted(16, 16, -16, -16), Qt::AlignCenter | Qt::TextWordWrap,
                     emptyHint_);
    return;
  }
  painter.fillRect(rect(), palette().window());
  if (picture_.isNull() || dest_.Width() <= 0 || dest_.Height() <= 0) return;
  // Drawn at the device's own pixels: smoothed only where the picture is
  // shrunk; enlarged (zoomed in, or on a high-density screen) every picture
  // pixel shows as a sharp square.
  const double devicePixels =
      dest_.Width() * painter.device()->devicePixelRatioF() / picture_.width();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, devicePixels < 1);
  painter.drawImage(QRect(dest_.left, dest_.top, dest_.Width(), dest_.Height()), picture_);
  if (!outline_.Defined()) return;
  // In picture pixels: a line through the middle of the pixels it covers.
  painter.translate(dest_.left, dest_.top);
  painter.scale(static_cast<double>(dest_.Width()) / picture_.width(),
                static_cast<double>(dest_.Height()) / picture_.height());
  painter.translate(0.5, 0.5);
  QPen pen(colour_);
  pen.setWidth(penWidth_);
  painter.setPen(pen);
  const CometRectangle& r = outline_;
  painter.drawPolyline(
      QPolygon({QPoint(r.left, r.top), QPoint(r.right, r.top), QPoint(r.right, r.bottom),
                QPoint(r.left, r.bottom), QPoint(r.left, r.top)}));
  if (headColumn_ >= 0) painter.drawLine(headColumn_, r.top, headColumn_, r.bottom);
}

void FieldOfViewDisplay::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (Zoomed())
    Show(dest_, zoom_);
  else
    Fit();
}

void FieldOfViewDisplay::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    panning_ = true;
    panFrom_ = event->position().toPoint();
    return;
  }
  emit Pressed(event->button(), event->position().toPoint());
}

void FieldOfViewDisplay::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (panning_) {
    PanBy(at.x() - panFrom_.x(), at.y() - panFrom_.y());
    panFrom_ = at;
    return;
  }
  emit Moved(event->buttons(), at);
}

void FieldOfViewDisplay::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    panning_ = false;
    return;
  }
  emit Released(event->button(), event->position().toPoint());
}

void FieldOfViewDisplay::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (!(event->modifiers() & Qt::ControlModifier) || delta == 0) {
    event->ignore();  // the window moves the cutoff
    return;
  }
  ZoomAbout(delta > 0 ? kZoomStep : 1 / kZoomStep, event->position().toPoint());
  event->accept();
}

void FieldOfViewDisplay::keyPressEvent(QKeyEvent* event) {
  // About the pointer when it is over the display, else about the middle.
  const QPoint pointer = mapFromGlobal(QCursor::pos());
  const QPoint about = rect().contains(pointer) ? pointer : rect().center();
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      ZoomAbout(kZoomStep, about);
      break;
    case Qt::Key_Minus:
      ZoomAbout(1 / kZoomStep, about);
      break;
    case Qt::Key_0:
      Fit();
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}
