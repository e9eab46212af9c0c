#pragma once

#include <cstdint>

#include "CometImage.h"
#include "CometRecords.h"
#include "FeatureTypes.h"

// The eighteen metrics, in the order of CometRecord::Metrics.
enum CometMetric {
  kCometProbability,
  kCometLength,
  kCometHeight,
  kCometArea,
  kCometIntensity,
  kCometMeanIntensity,
  kHeadDiameter,
  kHeadArea,
  kHeadIntensity,
  kHeadMeanIntensity,
  kHeadDNA,
  kTailLength,
  kTailArea,
  kTailIntensity,
  kTailMeanIntensity,
  kTailDNA,
  kTailMoment,
  kTailOliveMoment,
  kMetricCount
};

// The metric names as the user sees them, in metric order.
extern const char* const kMetricNames[kMetricCount];

// Statistic slot k of a comet: 0 CenterX, 1 CenterY, 2 + m metric m.
float& StatisticSlot(CometRecord& comet, int k);
constexpr int kStatisticSlots = 30;
constexpr int SlotOfMetric(int metric) {
  return metric + 2;
}

// Whether a comet counts in the statistics: included and not deleted.
inline bool IsCounted(const CometRecord& comet) {
  return comet.Included != 0 && comet.Deleted == 0;
}

// Measures the comet (finding its head when `head` is negative), calibrates
// lengths and areas by ScaleX and ScaleY (per mille), stores the head and
// the comet image's size in the record and returns the head column.
std::int32_t Zelcor_ComputeMetrics(CometImageClass& comet, CometRecord& record, std::int32_t head,
                                   double scaleX, double scaleY);

// Calibrates a comet's metrics in place: lengths by ScaleX, heights by
// ScaleY (per mille), areas by both, the two %DNA fractions to percent.
void CalibrateMetrics(float* metrics, double scaleX, double scaleY);

// No probability model is applied; the statistics pass sets the value.
void Zelcor_ComputeCometProbability(CometRecord& record, const FeatureRecord& feature,
                                    WellRecord& well);

// Minimum, maximum, range, mean and standard deviation of every slot over
// the counted comets, and every comet's Comet Probability.
void Zelcor_ComputeWellStatistics(WellRecord& well);
