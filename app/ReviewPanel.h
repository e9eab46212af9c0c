#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "CometEdits.h"
#include "CometGridView.h"
#include "DataSetPlace.h"
#include "ReviewModel.h"
#include "ThumbnailFiles.h"

class HistogramView;
class QComboBox;
class ReviewOptions;
class QLabel;
class ScoringWorkspace;

// The review area below the field of view: the data-points label, the
// histogram, the statistics labels, the option row (one sentence of lists)
// and the comet grid, with their handlers. It reviews the data set of the
// workspace and edits it through the window's one CometEdits.
class ReviewPanel : public QWidget {
  Q_OBJECT

 public:
  ReviewPanel(ScoringWorkspace& workspace, CometEdits& edits, QWidget* parent = nullptr);

  // What the panel asks of the window: store a list's index under a key of
  // section "main"; the preferences' bucket count text (nothing while there
  // are no preferences) and whether file labels are shown.
  std::function<void(const char* key, int value)> storeSetting;
  std::function<std::optional<std::string>()> bucketCountText;
  std::function<bool()> showFileLabels;

  // The data set on view now comes from this place.
  void SetPlace(const DataSetPlace& place);
  // Nothing on view: the pictures show their background only.
  void ClearPictures();
  // While a scoring run owns the data set: the panel is shut off and the
  // grid neither reads nor reorders it; afterwards it shows it again.
  void SetScoring(bool running);

  void MetricComboBoxChange();
  void SortComboBoxChange();
  void MinStdDevComboBoxChange();
  void ImageModeComboBoxChange();
  void CursorModeDropDownListChange();
  void DrawHistogram();
  void DrawCometImageGrid();
  void DataPointsLabelClick();
  void CometGridDisplayImageMouseDown(int x, int y);

  const ReviewModel& Model() const { return model_; }
  HistogramView* Histogram() const { return histogram_; }
  CometGridView* Grid() const { return grid_; }
  QLabel* DataPointsLabel() const { return dataPoints_; }

 signals:
  // After a click on a comet: its edit's outcome, before the redraw.
  void CometClicked(const EditResult& result);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  std::optional<CometGridView::Thumbnail> ThumbnailOf(const CometRecord& comet);
  // The statistics labels of the chosen metric.
  void ShowLabels();
  void StoreListAndDrawGrid(const char* name, QComboBox* list);

  ScoringWorkspace& workspace_;
  CometEdits& edits_;
  ReviewModel model_;
  DataSetPlace place_;
  bool scoring_ = false;
  std::optional<FolderThumbnailIndex> folderIndex_;
  QLabel* dataPoints_ = nullptr;
  HistogramView* histogram_ = nullptr;
  QLabel* minimum_ = nullptr;
  QLabel* mean_ = nullptr;
  QLabel* maximum_ = nullptr;
  ReviewOptions* options_ = nullptr;  // its lists are bound here
  CometGridView* grid_ = nullptr;
};
