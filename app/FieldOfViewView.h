#pragma once

#include <QWidget>
#include <cstdint>

#include "ToolkitPictures.h"

class BitmapImageClass;
class QLabel;
class QSlider;
class ScoringWorkspace;

// The field of view: the "Cutoff" slider with its percentage indicator and
// the display, a 24-bit bitmap of the workspace's image drawn through the
// image's colour table and shown scaled into the panel.
class FieldOfViewView : public QWidget {
  Q_OBJECT

 public:
  FieldOfViewView(ScoringWorkspace& workspace, QWidget* parent = nullptr);

  QSlider* ThresholdBar() const { return thresholdBar_; }
  QLabel* ThresholdIndicator() const { return thresholdIndicator_; }
  QLabel* CutoffLevel() const { return cutoffLevel_; }
  QLabel* DisplayImage() const { return display_; }
  const TBitmap& DisplayBitmap() const { return bitmap_; }
  int Cutoff() const;

  // Recolours the workspace's image for the mode and the cutoff and draws
  // it into the display (sized to the image); black without an image.
  void ApplyDisplayColors(bool fullSpectrum, std::uint32_t hue);
  // A black display of the given size.
  void ShowBlack(int width = 640, int height = 480);
  // Shows another picture than the workspace's image (the workspace keeps
  // its own), as it is, until the display is recoloured.
  void ShowImage(const BitmapImageClass& image);
  // Scales the display bitmap into the panel again.
  void Redraw();

 signals:
  void CutoffChanged(int position);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowCutoffLevel(int position);

  ScoringWorkspace& workspace_;
  QSlider* thresholdBar_ = nullptr;
  QLabel* thresholdIndicator_ = nullptr;
  QLabel* cutoffLevel_ = nullptr;
  QLabel* display_ = nullptr;
  TBitmap bitmap_;
};
