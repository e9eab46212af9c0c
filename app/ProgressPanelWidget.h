#pragma once

#include <QFrame>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress panel shown over the window while it works: the text
// `ProgressIndicator`, `ProgressBar1` (images) and `ProgressBar2` (features
// of the image in progress), and a "Cancel" button.
class ProgressPanelWidget : public QFrame {
  Q_OBJECT

 public:
  explicit ProgressPanelWidget(QWidget* parent);

  QLabel* Indicator() const { return indicator_; }
  QProgressBar* Images() const { return images_; }
  QProgressBar* Features() const { return features_; }
  QPushButton* CancelButton() const { return cancel_; }

  void SetText(const std::string& text);
  // Centres the panel in an area of the given size (halves rounded down).
  void Centre(const QSize& area);
  // Shows the panel, centred, with both bars at 0; the first counts to
  // `images`.
  void Begin(const std::string& text, int images, bool cancellable);

 signals:
  void CancelClicked();

 private:
  QLabel* indicator_ = nullptr;
  QProgressBar* images_ = nullptr;
  QProgressBar* features_ = nullptr;
  QPushButton* cancel_ = nullptr;
};
