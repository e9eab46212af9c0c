#include "SpreadsheetExport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "AppPaths.h"
#include "ClassicNumbers.h"
#include "CometMetrics.h"
#include "EventLog.h"
#include "MetricHistogram.h"
#include "ReplacingFile.h"

namespace {

struct Column {
  const char* first;
  const char* second;
  const char* unit;
  const char* label;
};

const Column kColumns[18] = {
    {"Comet\t", "Probability\t", "\t", "Comet Probability\t"},
    {"Comet\t", "Length\t", "(px)\t", "Comet Length (px)\t"},
    {"Comet\t", "Height\t", "(px)\t", "Comet Height (px)\t"},
    {"Comet\t", "Area\t", "(px)\t", "Comet Area (px)\t"},
    {"Comet\t", "Intensity\t", "\t", "Comet Intensity\t"},
    {"Comet\t", "Mean Intensity\t", "\t", "Comet Mean Intensity\t"},
    {"Head\t", "Diameter\t", "(px)\t", "Head Diameter (px)\t"},
    {"Head\t", "Area\t", "(px)\t", "Head Area (px)\t"},
    {"Head\t", "Intensity\t", "\t", "Head Intensity\t"},
    {"Head\t", "Mean Intensity\t", "\t", "Head Mean Intensity\t"},
    {"Head\t", "DNA\t", "(%)\t", "Head DNA (%)\t"},
    {"Tail\t", "Length\t", "(px)\t", "Tail Length (px)\t"},
    {"Tail\t", "Area\t", "(px)\t", "Tail Area (px)\t"},
    {"Tail\t", "Intensity\t", "\t", "Tail Intensity\t"},
    {"Tail\t", "Mean Intensity\t", "\t", "Tail Mean Intensity\t"},
    {"Tail\t", "DNA\t", "(%)\t", "Tail DNA (%)\t"},
    {"Tail\t", "Moment\t", "\t", "Tail Moment\t"},
    {"Tail\t", "Olive Moment\t", "\t", "Tail Olive Moment\t"},
};

std::string Printf(const char* format, auto... values) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, values...);
  return buffer;
}

// Creates one export file, tracing it as the system's fopen; the word is
// empty when it was created.
bool Create(ReplacingFile& file, const std::string& name) {
  LogMessage("entering fopen(" + name + ")...");
  LogMessage("exiting  fopen(" + name + ")...");
  if (!file) LogMessage("ERROR: unable to create " + name + ": " + file.Reason() + "!!!");
  return static_cast<bool>(file);
}

bool WriteRawData(ReplacingFile& file, const WellRecord& well,
                  const std::array<bool, 18>& metrics) {
  std::string first = "Comet\t", second = "Image\t", units = "\t";
  for (int k = 0; k < 18; ++k)
    if (metrics[k]) {
      first += kColumns[k].first;
      second += kColumns[k].second;
      units += kColumns[k].unit;
    }
  file.Write(first + "\n" + second + "\n" + units + "\n");
  LogMessage("exporting selected metrics to file...");
  const std::uint32_t n =
      well.Comets == nullptr ? 0 : std::min(well.CometCount, WellRecord::kMaxComets);
  for (std::uint32_t i = 0; i < n; ++i) {
    const CometRecord& c = well.Comets[i];
    if (c.Deleted != 0) continue;
    std::string line = ImageNameOf(c) + ".bmp\t";
    for (int k = 0; k < 18; ++k)
      if (metrics[k]) line += Printf("%lf\t", static_cast<double>(c.Metrics[k]));
    file.Write(line + "\n");
  }
  return file.Commit();
}

// The span of a metric's histogram: the data set's statistics, or where it
// has none (fewer than two counted comets) the undeleted comets' own
// values, 0 and 1 when there are none.
std::pair<float, float> HistogramSpan(const WellRecord& well, int metric) {
  const int slot = SlotOfMetric(metric);
  if (well.MinValue[slot] <= well.MaxValue[slot])
    return {well.MinValue[slot], well.RangeValue[slot] == 0.0f ? 1.0f : well.RangeValue[slot]};
  float low = 0.0f, high = 0.0f;
  bool any = false;
  const std::uint32_t n =
      well.Comets == nullptr ? 0 : std::min(well.CometCount, WellRecord::kMaxComets);
  for (std::uint32_t i = 0; i < n; ++i) {
    const float v = well.Comets[i].Metrics[metric];
    if (well.Comets[i].Deleted != 0 || std::isnan(v)) continue;
    low = any ? std::min(low, v) : v;
    high = any ? std::max(high, v) : v;
    any = true;
  }
  const float range = high - low;
  return {low, range == 0.0f ? 1.0f : range};
}

bool WriteHistograms(ReplacingFile& file, WellRecord& well, const std::array<bool, 18>& metrics,
                     std::uint16_t buckets) {
  for (int k = 0; k < 18; ++k) {
    if (!metrics[k]) continue;
    const int slot = SlotOfMetric(k);
    // Counted over the span the labels show; the data set keeps its own values.
    const auto [lowValue, rangeValue] = HistogramSpan(well, k);
    const float storedMin = well.MinValue[slot], storedRange = well.RangeValue[slot];
    well.MinValue[slot] = lowValue;
    well.RangeValue[slot] = rangeValue;
    const std::vector<float> counts = ComputeHistogram(well, k, buckets);
    well.MinValue[slot] = storedMin;
    well.RangeValue[slot] = storedRange == 0.0f ? 1.0f : storedRange;
    const long double low = lowValue, range = rangeValue;
    std::string bins = "\t";
    for (int j = 1; j < buckets; ++j)
      bins += Printf("%.01lf - %.01lf\t",
                     static_cast<double>((j - 1) / static_cast<long double>(buckets) * range + low),
                     static_cast<double>(j / static_cast<long double>(buckets) * range + low));
    bins +=
        Printf("%.01lf - %.01lf\n",
               static_cast<double>((buckets - 1) / static_cast<long double>(buckets) * range + low),
               static_cast<double>(range + low));
    std::string line = kColumns[k].label;
    for (float count : counts) line += Printf("%lf\t", static_cast<double>(count));
    file.Write(bins + line + "\n\n");
  }
  return file.Commit();
}

}  // namespace

SpreadsheetFiles SpreadsheetFileNames(const std::string& chosenName) {
  const std::string stem = RemoveExtension(chosenName);
  const std::string extension = chosenName.substr(stem.size());
  return {stem + "(raw data)" + extension, stem + "(histogram)" + extension};
}

std::string WriteSpreadsheet(WellRecord& well, const std::string& chosenName,
                             const std::array<bool, 18>& metrics, std::uint16_t buckets,
                             std::string* error) {
  const ScopedClassicNumbers classic;
  const SpreadsheetFiles files = SpreadsheetFileNames(chosenName);
  auto failed = [&](const ReplacingFile& file, const std::string& name, const char* what) {
    const std::string sentence = std::string(file.WriteFailed() ? "cannot write " : "cannot create ") +
                                 name + ": " + file.Reason();
    LogMessage("ERROR: " + sentence + "!!!");
    if (error != nullptr) *error = sentence;
    return std::string(file.WriteFailed() ? "ERROR WRITING " : "ERROR CREATING ") + what + " FILE";
  };
  {
    ReplacingFile raw(files.rawData, true);
    if (!Create(raw, files.rawData) || !WriteRawData(raw, well, metrics))
      return failed(raw, files.rawData, "RAW DATA");
  }
  ReplacingFile histogram(files.histogram, true);
  if (!Create(histogram, files.histogram) || !WriteHistograms(histogram, well, metrics, buckets))
    return failed(histogram, files.histogram, "HISTOGRAM");
  return "";
}
