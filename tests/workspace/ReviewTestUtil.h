#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "CometMetrics.h"
#include "DataSets.h"

namespace testing_support {

// A data set whose comets hold the given values of one metric, all
// included, with a 30 x 20 thumbnail, Comet Area 100 and Comet Height 10
// (unless the metric is one of those), and the widest limits. Each comet's
// CenterX holds its first position, so a test can follow it. Statistics
// are not computed.
inline WellRecord WellOfValues(int metric, const std::vector<float>& values) {
  WellRecord well;
  MakeFreshDataSet(well, "review.bmp");
  well.CometCount = static_cast<std::uint32_t>(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    CometRecord& c = well.Comets[i];
    c.Included = 1;
    c.CenterX = static_cast<float>(i);
    c.ImageWidth = 30;
    c.ImageHeight = 20;
    c.Metrics[kCometArea] = 100.0f;
    c.Metrics[kCometHeight] = 10.0f;
    c.Metrics[metric] = values[i];
    SetImageName(c, "comet" + std::to_string(i));
  }
  return well;
}

// Sets the statistics of one metric directly.
inline void SetStatistics(WellRecord& well, int metric, float minimum, float maximum, float mean,
                          float stdDev) {
  const int s = SlotOfMetric(metric);
  well.MinValue[s] = minimum;
  well.MaxValue[s] = maximum;
  well.RangeValue[s] = maximum - minimum;
  well.MeanValue[s] = mean;
  well.StdDevValue[s] = stdDev;
}

// The first positions of the comets in their current order.
inline std::vector<int> Order(const WellRecord& well) {
  std::vector<int> order;
  for (std::uint32_t i = 0; i < well.CometCount; ++i)
    order.push_back(static_cast<int>(well.Comets[i].CenterX));
  return order;
}

}  // namespace testing_support
