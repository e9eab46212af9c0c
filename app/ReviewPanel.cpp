#include "ReviewPanel.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "CometGridView.h"
#include "EventLog.h"
#include "HistogramView.h"
#include "ReviewOptions.h"
#include "ReviewTexts.h"
#include "ScopedTrace.h"
#include "ScoringWorkspace.h"

namespace {

const std::string kForm = "TMainApplicationForm::";

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The hourglass for the length of a handler.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

ReviewPanel::ReviewPanel(ScoringWorkspace& workspace, CometEdits& edits, QWidget* parent)
    : QWidget(parent), workspace_(workspace), edits_(edits) {
  setObjectName("ReviewPanel");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  auto label = [this](const char* name, const char* text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    return l;
  };
  dataPoints_ =
      label("DataPointsLabel", "showing 0 (0%) of 0 data points (0 total data points acquired)");
  dataPoints_->installEventFilter(this);
  column->addWidget(dataPoints_, 0, Qt::AlignHCenter);
  histogram_ = new HistogramView(this);
  column->addWidget(histogram_);
  auto* base = new QFrame(this);
  base->setFrameShape(QFrame::HLine);
  base->setFixedHeight(1);
  base->setStyleSheet("background: palette(window-text); border: none;");
  column->addWidget(base);

  auto* statistics = new QHBoxLayout;
  minimum_ = label("MinMetricLabel", " 00.000 (minimum)");
  mean_ = label("MeanMetricLabel", "\u03bc = 0.000, \u03c3 = 0.000");
  maximum_ = label("MaxMetricLabel", "(maximum) 00.000 ");
  minimum_->setFixedWidth(200);
  maximum_->setFixedWidth(200);
  maximum_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  statistics->addWidget(minimum_);
  statistics->addWidget(mean_, 1, Qt::AlignHCenter);
  statistics->addWidget(maximum_);
  column->addLayout(statistics);

  options_ = new ReviewOptions(this);
  column->addWidget(options_);

  grid_ = new CometGridView(
      model_, [this](const CometRecord& comet) { return ThumbnailOf(comet); }, this);
  column->addWidget(grid_, 1);

  connect(options_->Metric(), &QComboBox::currentIndexChanged, this,
          [this] { MetricComboBoxChange(); });
  connect(options_->Sort(), &QComboBox::currentIndexChanged, this,
          [this] { SortComboBoxChange(); });
  connect(options_->MinBound(), &QComboBox::currentIndexChanged, this,
          [this] { MinStdDevComboBoxChange(); });
  connect(options_->MaxBound(), &QComboBox::currentIndexChanged, this,
          [this] { MinStdDevComboBoxChange(); });
  connect(options_->ImageMode(), &QComboBox::currentIndexChanged, this,
          [this] { ImageModeComboBoxChange(); });
  connect(options_->CursorMode(), &QComboBox::currentIndexChanged, this,
          [this] { CursorModeDropDownListChange(); });
  connect(grid_, &CometGridView::WidthChanged, this, [this] { DrawCometImageGrid(); });
  connect(grid_, &CometGridView::Clicked, this,
          [this](int x, int y) { CometGridDisplayImageMouseDown(x, y); });
}

bool ReviewPanel::eventFilter(QObject* watched, QEvent* e) {
  if (watched == dataPoints_ && e->type() == QEvent::MouseButtonPress) DataPointsLabelClick();
  return QWidget::eventFilter(watched, e);
}

void ReviewPanel::SetPlace(const DataSetPlace& place) {
  place_ = place;
  folderIndex_.reset();
  if (place_.isFolder) folderIndex_.emplace(place_.images);
}

void ReviewPanel::ClearPictures() {
  histogram_->Clear();
  grid_->Show(nullptr);
  ShowLabels();
}

void ReviewPanel::SetScoring(bool running) {
  scoring_ = running;
  setEnabled(!running);
  grid_->Show(running ? nullptr : &workspace_.DataSet());
}

void ReviewPanel::ShowLabels() {
  const StatisticsTexts texts = model_.Labels(workspace_.DataSet());
  minimum_->setText(Q(texts.minimum));
  mean_->setText(Q(texts.mean));
  maximum_->setText(Q(texts.maximum));
}

std::optional<CometGridView::Thumbnail> ReviewPanel::ThumbnailOf(const CometRecord& comet) {
  const char* extension = model_.Extension();
  if (!place_.isFolder)
    return CometGridView::Thumbnail{SingleImageThumbnail(place_.dataSetPath, comet, extension), {}};
  if (!folderIndex_) return std::nullopt;
  const std::optional<FolderThumbnail> found = folderIndex_->Find(comet, extension);
  if (!found) return std::nullopt;
  const bool labels = showFileLabels ? showFileLabels() : true;
  return CometGridView::Thumbnail{
      found->path, labels ? FileLabelText(folderIndex_->Images()[found->image]) : std::string()};
}

void ReviewPanel::MetricComboBoxChange() {
  ScopedTrace trace(kForm + "MetricComboBoxChange");
  BusyCursor busy;
  if (model_.ChooseMetricFromList(options_->Metric()->currentIndex())) {
    const QSignalBlocker quiet(options_->Metric());
    options_->Metric()->setCurrentIndex(model_.Metric());
  }
  if (storeSetting) storeSetting("MetricComboBox", options_->Metric()->currentIndex());
  DrawHistogram();
  ShowLabels();
  DrawCometImageGrid();
}

void ReviewPanel::SortComboBoxChange() {
  StoreListAndDrawGrid("SortComboBox", options_->Sort());
}

void ReviewPanel::ImageModeComboBoxChange() {
  StoreListAndDrawGrid("ImageModeComboBox", options_->ImageMode());
}

// The list's index stored under its name, the grid drawn again (which takes
// the lists as they show).
void ReviewPanel::StoreListAndDrawGrid(const char* name, QComboBox* list) {
  ScopedTrace trace(kForm + name + "Change");
  BusyCursor busy;
  if (storeSetting) storeSetting(name, list->currentIndex());
  DrawCometImageGrid();
}

void ReviewPanel::MinStdDevComboBoxChange() {
  ScopedTrace trace(kForm + "MinStdDevComboBoxChange");
  model_.SetWindowItems(options_->MinBound()->currentIndex(), options_->MaxBound()->currentIndex());
  DrawCometImageGrid();
  DataPointsLabelClick();
}

void ReviewPanel::CursorModeDropDownListChange() {
  grid_->SetCursorMode(options_->CursorMode()->currentIndex());
}

void ReviewPanel::DrawHistogram() {
  const std::optional<std::string> text = bucketCountText ? bucketCountText() : std::nullopt;
  if (!text || scoring_) return;  // no preferences yet, or the data set is a run's
  ScopedTrace trace(kForm + "DrawHistogram");
  const HistogramPicture plan = model_.Histogram(workspace_.DataSet(), *text, histogram_->height());
  if (!plan.drawn) LogMessage("ERROR: " + plan.error);
  histogram_->Draw(plan);
  trace.SetResult(plan.resultWord);
}

void ReviewPanel::DrawCometImageGrid() {
  if (workspace_.Image() == nullptr || scoring_) return;
  BusyCursor busy;
  // The lists as they show now (restored settings run no handler).
  model_.SetSortItem(options_->Sort()->currentIndex());
  model_.SetImageModeItem(options_->ImageMode()->currentIndex());
  model_.SetWindowItems(options_->MinBound()->currentIndex(), options_->MaxBound()->currentIndex());
  model_.LayOutGrid(workspace_.DataSet(), grid_->TextHeight(), grid_->ViewWidth(),
                    edits_.UndoCometIndex());
  grid_->Show(&workspace_.DataSet());
}

void ReviewPanel::DataPointsLabelClick() {
  dataPoints_->setText(Q(DataPointsText(workspace_.DataSet())));
}

void ReviewPanel::CometGridDisplayImageMouseDown(int x, int y) {
  if (workspace_.Image() == nullptr) return;
  BusyCursor busy;
  grid_->setFocus();
  const std::optional<std::uint32_t> index = model_.CometAt(workspace_.DataSet(), x, y);
  if (!index) return;
  const GridLayout& layout = model_.Layout();
  const auto mode = static_cast<CursorMode>(options_->CursorMode()->currentIndex());
  const int xInCell = layout.cellWidth > 0 ? x % layout.cellWidth : 0;
  const EditResult result = edits_.Click(mode, *index, xInCell, layout.cellWidth);
  emit CometClicked(result);
  if (!result.changed) return;
  if (mode == CursorMode::kDelete) DataPointsLabelClick();
  MetricComboBoxChange();
}
