#include "DisplayWindow.h"

#include <algorithm>

#include "CometMetrics.h"

BandLimits::BandLimits(float mean, float stdDev) {
  const long double a = mean;
  const long double s = stdDev;
  for (int k = -3; k <= 3; ++k) limit_[k + 3] = a + k * s;
}

int BandLimits::BandOf(float value) const {
  const long double c = value;
  if (c < limit_[0]) return 1;
  // Bands 2..7 hold [limit k-2, limit k-1); both ends are tested, so a value
  // that is not a number, or a zero spread, falls through to band 8.
  for (int band = 2; band <= 7; ++band)
    if (limit_[band - 2] <= c && c < limit_[band - 1]) return band;
  return 8;
}

int ValueBand(float value, float mean, float stdDev) {
  return BandLimits(mean, stdDev).BandOf(value);
}

bool BandInWindow(int band, int lo, int hi) {
  if (band == 1) return lo == -4 && hi == 4;
  if (band == 8) return lo <= 2 && hi == 4;
  const int bound = band <= 4 ? band - 5 : band - 4;
  return lo <= bound && hi >= bound;
}

DisplayWindowResult RunDisplayWindowPass(WellRecord& well, int metric, int lo, int hi) {
  DisplayWindowResult result;
  if (well.Comets == nullptr) return result;
  const std::uint32_t n = std::min(well.CometCount, WellRecord::kMaxComets);
  const int slot = SlotOfMetric(metric);
  const BandLimits limits(well.MeanValue[slot], well.StdDevValue[slot]);
  bool inWindow[9];
  for (int band = 1; band <= 8; ++band) inWindow[band] = BandInWindow(band, lo, hi);
  for (std::uint32_t i = 0; i < n; ++i) {
    CometRecord& c = well.Comets[i];
    const float area = c.Metrics[kCometArea];
    const float height = c.Metrics[kCometHeight];
    const bool shown = inWindow[limits.BandOf(c.Metrics[metric])] && c.Deleted == 0 &&
                       well.MinCometArea <= area && area <= well.MaxCometArea &&
                       well.MinCometHeight <= height && height <= well.MaxCometHeight;
    c.Included = shown ? 1 : 0;
    if (!shown) continue;
    ++result.shown;
    result.maxWidth = std::max<int>(result.maxWidth, c.ImageWidth);
    result.maxHeight = std::max<int>(result.maxHeight, c.ImageHeight);
  }
  return result;
}
