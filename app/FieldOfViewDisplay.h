#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include "ManualScoring.h"
#include "ViewMapping.h"

// The picture of the field of view drawn into its destination rectangle:
// fitted to the control with its proportions kept, or zoomed about a point
// (Ctrl + wheel, "+" and "-"; "0" fits again) and panned by a middle-button
// drag or by PanBy. Over the picture it draws the manual-scoring
// rectangle and the head marker. Left-button presses, moves and releases
// are passed on as control points; a plain wheel is left to the window (it
// moves the cutoff).
class FieldOfViewDisplay : public QWidget {
  Q_OBJECT

 public:
  explicit FieldOfViewDisplay(QWidget* parent = nullptr);

  // A new picture; the zoom stays while its size does.
  void SetPicture(const QImage& picture);
  const QImage& Picture() const { return picture_; }
  const DisplayRect& Dest() const { return dest_; }
  // The zoom against the fitted view: 1 when fitted.
  double Zoom() const { return zoom_; }
  bool Zoomed() const { return zoom_ > 1; }
  PicturePoint ToPicture(const QPoint& control) const;

  // Zooming never goes below the fitted view (it fits again) nor above
  // kMaxPixelSize control pixels per picture pixel.
  static constexpr int kMaxPixelSize = 32;
  void ZoomAbout(double factor, const QPoint& control);
  void Fit();
  // Moves the zoomed picture by (dx, dy) control pixels, kept in view.
  void PanBy(int dx, int dy);

  // The outline to draw (none when undefined), the head marker's column
  // (-1 for none), in the given colour and pen width in picture pixels.
  void SetOutline(const CometRectangle& rectangle, int headColumn, QColor colour, int penWidth);

  // What to do when there is nothing to show yet: while set, the display is
  // black from edge to edge with this text in its middle.
  void SetEmptyHint(const QString& hint);
  const QString& EmptyHint() const { return emptyHint_; }

 signals:
  void Pressed(Qt::MouseButton button, QPoint at);
  void Moved(Qt::MouseButtons buttons, QPoint at);
  void Released(Qt::MouseButton button, QPoint at);
  // The destination rectangle or the zoom changed.
  void ViewChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Show(const DisplayRect& dest, double zoom);

  QImage picture_;
  DisplayRect dest_;
  double zoom_ = 1;
  QPoint panFrom_;
  bool panning_ = false;
  CometRectangle outline_;
  int headColumn_ = -1;
  QColor colour_ = Qt::yellow;
  int penWidth_ = 1;
  QString emptyHint_;
};
