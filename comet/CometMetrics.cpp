#include "CometMetrics.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "EventLog.h"

const char* const kMetricNames[kMetricCount] = {
    "Comet Probability", "Comet Length",         "Comet Height",        "Comet Area",
    "Comet Intensity",   "Comet Mean Intensity", "Head Diameter",       "Head Area",
    "Head Intensity",    "Head Mean Intensity",  "Head %DNA",           "Tail Length",
    "Tail Area",         "Tail Intensity",       "Tail Mean Intensity", "Tail %DNA",
    "Tail Moment",       "Tail Olive Moment"};

float& StatisticSlot(CometRecord& comet, int k) {
  return k == 0 ? comet.CenterX : k == 1 ? comet.CenterY : comet.Metrics[k - 2];
}

std::int32_t Zelcor_ComputeMetrics(CometImageClass& comet, CometRecord& record, std::int32_t head,
                                   double scaleX, double scaleY) {
  LogMessage("entering Zelcor_ComputeMetrics(" + std::to_string(head) + ")...");
  comet.ComputeProfiles();
  if (head < 0)
    head = comet.FindHeadCenter(record.Metrics, 0);
  else
    comet.MeasureHeadAndTail(record.Metrics, head);
  record.HeadCenter = static_cast<std::int16_t>(head);

  CalibrateMetrics(record.Metrics, scaleX, scaleY);
  record.ImageWidth = static_cast<std::uint16_t>(comet.Width());
  record.ImageHeight = static_cast<std::uint16_t>(comet.Height());
  LogMessage("exiting  Zelcor_ComputeMetrics(" + std::to_string(head) + ")...");
  return head;
}

void CalibrateMetrics(float* m, double scaleX, double scaleY) {
  // Factors and products in extended precision, each stored once.
  const long double sx = static_cast<long double>(scaleX) * 0.001;
  const long double sy = static_cast<long double>(scaleY) * 0.001;
  auto scale = [&](int metric, long double factor) {
    m[metric] = static_cast<float>(factor * m[metric]);
  };
  for (int metric : {kCometLength, kHeadDiameter, kTailLength}) scale(metric, sx);
  scale(kCometHeight, sy);
  for (int metric : {kCometArea, kHeadArea, kTailArea}) scale(metric, sx * sy);
  for (int metric : {kHeadDNA, kTailDNA}) scale(metric, 100);
}

void Zelcor_ComputeCometProbability(CometRecord&, const FeatureRecord&, WellRecord&) {
  LogMessage("entering Zelcor_ComputeCometProbability(DISABLED)...");
  LogMessage("exiting  Zelcor_ComputeCometProbability(DISABLED)...");
}

void Zelcor_ComputeWellStatistics(WellRecord& well) {
  LogMessage("entering Zelcor_ComputeWellStatistics()...");
  for (int k = 0; k < kStatisticSlots; ++k) {
    well.MinValue[k] = 2147483648.0f;
    well.MaxValue[k] = -2147483648.0f;
    well.RangeValue[k] = -2147483648.0f;
    well.MeanValue[k] = 0;
    well.StdDevValue[k] = 0;
  }
  const std::uint32_t count =
      well.Comets == nullptr ? 0 : std::min(well.CometCount, WellRecord::kMaxComets);
  if (count > 1) {
    std::uint32_t excluded = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
      CometRecord& c = well.Comets[i];
      if (!IsCounted(c)) {
        ++excluded;
        continue;
      }
      for (int k = 0; k < kStatisticSlots; ++k) {
        const float v = StatisticSlot(c, k);
        well.MinValue[k] = std::min(well.MinValue[k], v);
        well.MaxValue[k] = std::max(well.MaxValue[k], v);
        well.MeanValue[k] += v;
      }
    }
    for (int k = 0; k < kStatisticSlots; ++k) {
      well.RangeValue[k] = well.MaxValue[k] - well.MinValue[k];
      if (well.RangeValue[k] == 0) well.RangeValue[k] = 1.0f;
    }
    const std::uint32_t n = count - excluded == 0 ? 1 : count - excluded;
    for (int k = 0; k < kStatisticSlots; ++k) well.MeanValue[k] /= static_cast<float>(n);

    // Comet Probability: how far the comet's height lies below the mean,
    // for every comet, counted or not.
    const int probability = SlotOfMetric(kCometProbability);
    const int height = SlotOfMetric(kCometHeight);
    for (std::uint32_t i = 0; i < count; ++i) {
      CometRecord& c = well.Comets[i];
      const float p = well.MeanValue[height] - StatisticSlot(c, height);
      StatisticSlot(c, probability) = p;
      well.MeanValue[probability] += p;
    }
    well.MeanValue[probability] /= static_cast<float>(n);

    for (std::uint32_t i = 0; i < count; ++i) {
      CometRecord& c = well.Comets[i];
      if (!IsCounted(c)) continue;
      for (int k = 0; k < kStatisticSlots; ++k) {
        const long double d = static_cast<long double>(StatisticSlot(c, k)) - well.MeanValue[k];
        well.StdDevValue[k] = static_cast<float>(well.StdDevValue[k] + d * d);
      }
    }
    // The divisor is taken without sign: all comets excluded make it
    // 4294967295 and the deviations 0.
    const std::uint32_t divisor = count - 1 - excluded;
    for (int k = 0; k < kStatisticSlots; ++k) {
      if (divisor == 0) {
        well.StdDevValue[k] = 0;
        continue;
      }
      const long double sum = std::max(static_cast<long double>(well.StdDevValue[k]), 0.0L);
      well.StdDevValue[k] = static_cast<float>(std::sqrt(sum / divisor));
    }
  }
  LogMessage("exiting  Zelcor_ComputeWellStatistics(SUCCESS)...");
}
