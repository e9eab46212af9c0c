#include "SpreadsheetExport.h"

#include <cstdio>
#include <vector>

#include "AppPaths.h"
#include "CometMetrics.h"
#include "EventLog.h"
#include "MetricHistogram.h"
#include "TextFile.h"

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

bool WriteRawData(const std::string& name, const WellRecord& well,
                  const std::array<bool, 18>& metrics) {
  LogMessage("entering fopen(" + name + ")...");
  TextFile file = OpenTextFile(name, "w");
  if (!file) {
    LogMessage("exiting  fopen(" + name + ")...");
    return false;
  }
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
  return file.Close();
}

bool WriteHistograms(const std::string& name, WellRecord& well, const std::array<bool, 18>& metrics,
                     std::uint16_t buckets) {
  LogMessage("entering fopen(" + name + ")...");
  TextFile file = OpenTextFile(name, "w");
  if (!file) {
    LogMessage("exiting  fopen(" + name + ")...");
    return false;
  }
  for (int k = 0; k < 18; ++k) {
    if (!metrics[k]) continue;
    const std::vector<float> counts = ComputeHistogram(well, k, buckets);
    const int slot = SlotOfMetric(k);
    const long double low = well.MinValue[slot], range = well.RangeValue[slot];
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
  return file.Close();
}

}  // namespace

SpreadsheetFiles SpreadsheetFileNames(const std::string& chosenName) {
  const std::string stem = RemoveExtension(chosenName);
  const std::string extension = chosenName.substr(stem.size());
  return {stem + "(raw data)" + extension, stem + "(histogram)" + extension};
}

std::string WriteSpreadsheet(WellRecord& well, const std::string& chosenName,
                             const std::array<bool, 18>& metrics, std::uint16_t buckets) {
  const SpreadsheetFiles files = SpreadsheetFileNames(chosenName);
  if (!WriteRawData(files.rawData, well, metrics)) return "ERROR CREATING RAW DATA FILE";
  if (!WriteHistograms(files.histogram, well, metrics, buckets))
    return "ERROR CREATING HISTOGRAM FILE";
  return "";
}
