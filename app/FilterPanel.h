#pragma once

#include <QGroupBox>

#include "SizeFilter.h"

class QLineEdit;
class QPushButton;

// The size filter's panel, captioned "Filter": two rows that read
// "min < Comet Area < max" and "min < Comet Height < max", then "Preview"
// and "Apply". Hidden until the filter button shows it.
class FilterPanel : public QGroupBox {
  Q_OBJECT

 public:
  explicit FilterPanel(QWidget* parent = nullptr);

  // The four edits' texts as typed, and setting them (at start).
  SizeFilterTexts Texts() const;
  void SetTexts(const SizeFilterTexts& texts);

  // Centred under a tool button whose left edge and width are given, just
  // below a tool bar whose bottom edge is `toolBarBottom`, all in the
  // parent's coordinates.
  void PlaceUnder(int buttonLeft, int buttonWidth, int toolBarBottom);

  QPushButton* PreviewButton() const { return preview_; }
  QPushButton* ApplyButton() const { return apply_; }

 signals:
  void PreviewClicked();
  void ApplyClicked();

 private:
  QLineEdit* minArea_;
  QLineEdit* maxArea_;
  QLineEdit* minHeight_;
  QLineEdit* maxHeight_;
  QPushButton* preview_;
  QPushButton* apply_;
};
