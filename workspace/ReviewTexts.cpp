#include "ReviewTexts.h"

#include <algorithm>
#include <cstdio>

#include "CometMetrics.h"

namespace {

std::string Printf(const char* format, auto... values) {
  char buffer[512];
  const int n = std::snprintf(buffer, sizeof buffer, format, values...);
  return std::string(buffer, n < 0 ? 0 : std::min<std::size_t>(n, sizeof buffer - 1));
}

std::string Number(float value) {
  return Printf("%.03f", static_cast<double>(value));
}

}  // namespace

bool HasStatistics(const WellRecord& well, int metric) {
  const int slot = SlotOfMetric(metric);
  return well.CometCount >= 2 && !(well.MinValue[slot] > well.MaxValue[slot]);
}

StatisticsTexts StatisticsLabelTexts(const WellRecord& well, int metric) {
  const int slot = SlotOfMetric(metric);
  const bool known = HasStatistics(well, metric);
  auto shown = [known](float value) -> std::string {
    return known ? Number(value) : kNoStatisticText;
  };
  return {" " + shown(well.MinValue[slot]) + " (minimum)",
          "\u03bc = " + shown(well.MeanValue[slot]) + ", \u03c3 = " + shown(well.StdDevValue[slot]),
          "(maximum) " + shown(well.MaxValue[slot]) + " "};
}

std::string DataPointsText(const WellRecord& well) {
  const std::uint32_t n = well.Comets ? std::min(well.CometCount, WellRecord::kMaxComets) : 0;
  int kept = 0;
  int shown = 0;
  for (std::uint32_t i = 0; i < n; ++i) {
    if (well.Comets[i].Deleted != 0) continue;
    ++kept;
    shown += well.Comets[i].Included != 0;
  }
  const int total = static_cast<int>(well.CometCount);
  if (kept > 0)
    return Printf("showing %d (%0.1f%c) of %d data points (%d total points acquired)", shown,
                  100.0 * shown / kept, '%', kept, total);
  return Printf("showing %d (0.0%c) of %d data points (%d total points acquired)", shown, '%', 0,
                total);
}

std::string CellValueText(float value) {
  return Number(value);
}

int WindowBoundOfItem(int item) {
  const int i = std::clamp(item, 0, 7);
  return i <= 3 ? i - 4 : i - 3;
}

int MetricOfListIndex(int index) {
  return index >= 0 && index < kMetricCount ? index : kTailDNA;
}
