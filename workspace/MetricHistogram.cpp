#include "MetricHistogram.h"

#include <algorithm>
#include <cmath>

#include "CometMetrics.h"
#include "Conversions.h"
#include "ReviewTexts.h"

namespace {

// A floored single-precision value kept as a 16-bit unsigned number (the low
// 16 bits of its integer; 0 when it has none).
std::uint16_t FloorTo16Bits(float value) {
  const double k = std::floor(static_cast<double>(value));
  if (!std::isfinite(k) || std::fabs(k) >= 9.2e18) return 0;
  return static_cast<std::uint16_t>(static_cast<std::int64_t>(k));
}

}  // namespace

std::vector<float> ComputeHistogram(WellRecord& well, int metric, std::uint16_t buckets) {
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

std::uint16_t HistogramBucketCount(const std::string& text) {
  return static_cast<std::uint16_t>(AnsiString_ToInt(text));
}

std::string HistogramBucketCountError(const std::string& text) {
  return "Histogram bucket count = " + text;
}

HistogramBands ComputeHistogramBands(const WellRecord& well, int metric, std::uint16_t buckets) {
  const int slot = SlotOfMetric(metric);
  const long double perUnit = static_cast<long double>(buckets) / well.RangeValue[slot];
  const float mean = static_cast<float>(
      (static_cast<long double>(well.MeanValue[slot]) - well.MinValue[slot]) * perUnit);
  const float spread = static_cast<float>(perUnit * well.StdDevValue[slot]);
  return {FloorTo16Bits(mean), FloorTo16Bits(spread)};
}

std::uint32_t HistogramBarColour(int bucket, HistogramBands bands) {
  const int m = bands.mean;
  const int d = bands.spread;
  if (bucket < m - 3 * d) return 0x000000;
  if (bucket < m - 2 * d) return 0x000080;
  if (bucket < m - d) return 0x00DDDD;
  if (bucket < m + d) return 0x008000;
  if (bucket < m + 2 * d) return 0x00DDDD;
  if (bucket < m + 3 * d) return 0x000080;
  return 0x000000;
}

HistogramPicture PlanHistogram(WellRecord& well, int metric, const std::string& bucketText,
                               int height) {
  HistogramPicture picture;
  const std::uint16_t n = HistogramBucketCount(bucketText);
  if (n < kMinHistogramBuckets) {
    picture.error = HistogramBucketCountError(bucketText);
    return picture;
  }
  picture.drawn = true;
  picture.resultWord = "SUCCESS";
  picture.width = n;
  picture.height = std::max(height, 0);
  picture.heights.assign(n, 0);
  picture.colours.assign(n, 0);
  const int slot = SlotOfMetric(metric);
  if (well.RangeValue[slot] == 0.0f) well.RangeValue[slot] = 1.0f;
  const std::vector<float> counts = ComputeHistogram(well, metric, n);
  const HistogramBands bands = ComputeHistogramBands(well, metric, n);
  float peak = 0.0f;
  for (float c : counts) peak = std::max(peak, c);
  if (peak == 0.0f) peak = 1.0f;
  const bool bars = HasStatistics(well, metric);
  for (int i = 0; i < n; ++i) {
    picture.colours[i] = HistogramBarColour(i, bands);
    if (bars)
      picture.heights[i] =
          static_cast<int>(picture.height * (static_cast<double>(counts[i]) / peak));
  }
  return picture;
}
