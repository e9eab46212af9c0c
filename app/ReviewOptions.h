#pragma once

#include <QWidget>

class QComboBox;

// The option row of the review area: one sentence of lists over two lines
// ("Display between .. and .. standard deviation(s) of <metric>" / "as
// <order> and <pictures>"), the cursor mode at the end of the second. The
// review panel binds the lists to its handlers.
class ReviewOptions : public QWidget {
  Q_OBJECT

 public:
  explicit ReviewOptions(QWidget* parent = nullptr);

  QComboBox* MinBound() const { return minBound_; }
  QComboBox* MaxBound() const { return maxBound_; }
  QComboBox* Metric() const { return metric_; }
  QComboBox* Sort() const { return sort_; }
  QComboBox* ImageMode() const { return imageMode_; }
  QComboBox* CursorMode() const { return cursorMode_; }

 private:
  QComboBox* minBound_ = nullptr;
  QComboBox* maxBound_ = nullptr;
  QComboBox* metric_ = nullptr;
  QComboBox* sort_ = nullptr;
  QComboBox* imageMode_ = nullptr;
  QComboBox* cursorMode_ = nullptr;
};
