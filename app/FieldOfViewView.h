#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "ManualScoring.h"
#include "ToolkitPictures.h"

class BitmapImageClass;
class FieldOfViewDisplay;
class QLabel;
class QScrollBar;
class QSlider;
class ScoringWorkspace;

// The field of view: the "Cutoff" slider with its percentage indicator and
// the display, a 24-bit bitmap of the workspace's image drawn through the
// image's colour table and shown scaled into the panel, zoomable, with the
// two ways of adding comets by hand: a rectangle and a click on the head, or
// one click on a comet while a drag moves the cutoff.
class FieldOfViewView : public QWidget {
  Q_OBJECT

 public:
  FieldOfViewView(ScoringWorkspace& workspace, QWidget* parent = nullptr);

  QSlider* ThresholdBar() const { return thresholdBar_; }
  QLabel* ThresholdIndicator() const { return thresholdIndicator_; }
  QLabel* CutoffLevel() const { return cutoffLevel_; }
  QWidget* DisplayImage() const;
  const TBitmap& DisplayBitmap() const { return bitmap_; }
  int Cutoff() const;

  // Recolours the workspace's image for the mode and the cutoff and draws
  // it into the display (sized to the image); black without an image.
  void ApplyDisplayColors(bool fullSpectrum, std::uint32_t hue);
  // A black display of the given size.
  void ShowBlack(int width = 640, int height = 480);
  // Nothing opened yet: the display says how to begin.
  static constexpr const char* kEmptyHint =
      "Open a folder of images (File > Open Folder) or drop one here";
  void ShowEmptyHint(bool show);
  // Shows another picture than the workspace's image (the workspace keeps
  // its own), as it is, until the display is recoloured.
  void ShowImage(const BitmapImageClass& image);
  // Scales the display bitmap into the panel again.
  void Redraw();

  // Manual scoring: one-click mode or rectangle mode; the colour of the
  // rectangle (0x00BBGGRR) asked for on every press.
  void SetOneClickMode(bool oneClick);
  void SetLineColourSource(std::function<std::uint32_t()> source) {
    lineColour_ = std::move(source);
  }
  const CometRectangle& Rectangle() const { return manual_.Rectangle(); }
  void CancelRectangle();

 signals:
  void CutoffChanged(int position);
  // A comet was added by hand and its data set written, or the write failed
  // and the data set was read again from its file: the review follows.
  void ManualCometAdded();
  // A text for the status bar.
  void StatusText(const std::string& text);
  // Where the pointer is over the picture and the grey level there
  // ("x 45, y 60: level 123"); empty when it is over no picture pixel.
  void PointerText(const QString& text);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowCutoffLevel(int position);
  void MouseDown(Qt::MouseButton button, QPoint at);
  void MouseMove(Qt::MouseButtons buttons, QPoint at);
  void ReportPointer(QPoint at);
  void MouseUp(Qt::MouseButton button, QPoint at);
  void Reported(ManualOutcome outcome);
  void DrawOutline(int headColumn);
  void Hint(const std::string& text);
  void FollowView();

  ScoringWorkspace& workspace_;
  QSlider* thresholdBar_ = nullptr;
  QLabel* thresholdIndicator_ = nullptr;
  QLabel* cutoffLevel_ = nullptr;
  FieldOfViewDisplay* display_ = nullptr;
  QScrollBar* horizontalBar_ = nullptr;
  QScrollBar* verticalBar_ = nullptr;
  TBitmap bitmap_;
  bool fullSpectrum_ = false;
  std::uint32_t hue_ = 0xFFFFFF;

  ManualScoring manual_;
  bool oneClick_ = false;
  std::function<std::uint32_t()> lineColour_;
  QPoint press_;             // control point of the last left press
  PicturePoint pressPoint_;  // the picture pixel it pointed at
  int pressCutoff_ = 0;      // the cutoff at that press (one-click mode)
  bool dragging_ = false;    // a rectangle follows the pointer
  int penWidth_ = 1;
  std::string hint_;  // the last hint given to the status bar
};
