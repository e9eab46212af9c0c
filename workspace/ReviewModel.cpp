#include "ReviewModel.h"

#include <algorithm>

#include "ThumbnailFiles.h"
#include "WellSort.h"

bool ReviewModel::ChooseMetricFromList(int listIndex) {
  metric_ = MetricOfListIndex(listIndex);
  return metric_ != listIndex;
}

void ReviewModel::SetWindowItems(int minItem, int maxItem) {
  lo_ = WindowBoundOfItem(minItem);
  hi_ = WindowBoundOfItem(maxItem);
}

const char* ReviewModel::Extension() const {
  return ThumbnailExtension(profiled_);
}

HistogramPicture ReviewModel::Histogram(WellRecord& well, const std::string& bucketText,
                                        int height) const {
  return PlanHistogram(well, metric_, bucketText, height);
}

StatisticsTexts ReviewModel::Labels(const WellRecord& well) const {
  return StatisticsLabelTexts(well, metric_);
}

const GridLayout& ReviewModel::LayOutGrid(WellRecord& well, int textHeight, int viewWidth,
                                          std::int32_t& undoCometIndex) {
  if (well.CometCount == 0 || well.Comets == nullptr) {
    pass_ = {};
    layout_.columns = layout_.rows = 0;
    layout_.cells.clear();
    return layout_;
  }
  pass_ = RunDisplayWindowPass(well, metric_, lo_, hi_);
  layout_ = ComputeGridLayout(pass_, textHeight, viewWidth);
  SortThisWell(well, metric_, descending_, undoCometIndex);
  FillCellMap(layout_, well);
  return layout_;
}

std::optional<CometCell> ReviewModel::Cell(const WellRecord& well, int cell) const {
  return DescribeCell(layout_, well, metric_, cell);
}

std::optional<std::uint32_t> ReviewModel::CometAt(const WellRecord& well, int x, int y) const {
  const std::optional<std::uint32_t> record = layout_.CometAt(x, y);
  if (!record || *record >= std::min(well.CometCount, WellRecord::kMaxComets)) return std::nullopt;
  return record;
}

std::int16_t ReviewModel::HeadColumnAt(int x, int thumbnailWidth) const {
  return ManualHeadColumn(layout_, x, thumbnailWidth);
}
