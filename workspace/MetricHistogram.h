#pragma once

#include <cstdint>
#include <vector>

#include "CometRecords.h"

// The bucket counts of one metric over the undeleted comets: N buckets
// spanning the data set's minimum and range of that metric (a range of 0
// is set to 1 first). A value past the maximum lands in the last bucket,
// one below the minimum (a comet outside the statistics) in the first.
std::vector<float> ComputeMetricHistogram(WellRecord& well, int metric, std::uint16_t buckets);
