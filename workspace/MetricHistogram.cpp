#include "MetricHistogram.h"

#include <cmath>

#include "CometMetrics.h"

std::vector<float> ComputeMetricHistogram(WellRecord& well, int metric, std::uint16_t buckets) {
  const int slot = SlotOfMetric(metric);
  if (well.RangeValue[slot] == 0.0f) well.RangeValue[slot] = 1.0f;
  std::vector<float> counts(buckets, 0.0f);
  if (buckets == 0 || well.Comets == nullptr) return counts;
  // The offset times buckets per unit, in extended precision, rounded once
  // to single precision before the floor.
  const long double scale = static_cast<long double>(buckets) / well.RangeValue[slot];
  const std::uint32_t n = std::min(well.CometCount, WellRecord::kMaxComets);
  for (std::uint32_t i = 0; i < n; ++i) {
    const CometRecord& c = well.Comets[i];
    if (c.Deleted != 0) continue;
    const float position = static_cast<float>(
        (static_cast<long double>(c.Metrics[metric]) - well.MinValue[slot]) * scale);
    if (std::isnan(position)) continue;
    const double k = std::floor(position);
    const int bucket = k < 0 ? 0 : k >= buckets ? buckets - 1 : static_cast<int>(k);
    counts[bucket] += 1.0f;
  }
  return counts;
}
