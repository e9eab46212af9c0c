// strandex-cli summary and export: what a data set holds.
#include <array>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>

#include "AppPaths.h"
#include "CliSupport.h"
#include "CometMetrics.h"
#include "Commands.h"
#include "DataSets.h"
#include "ImagePaths.h"
#include "IniFile.h"
#include "ShellExecute.h"
#include "SpreadsheetExport.h"
#include "SystemInfo.h"

namespace {

const char* const kSummaryHelp =
    "usage: strandex-cli summary PATH\n"
    "\n"
    "The comets of an image's data set, or of every image of a folder:\n"
    "their number, the rotation the images were scored at, and each\n"
    "metric's minimum, mean, standard deviation and maximum.\n";

const char* const kExportHelp =
    "usage: strandex-cli export PATH --out NAME.xls [--metrics LIST] [--bins N] [--open]\n"
    "\n"
    "Writes NAME(raw data).xls (one row per comet) and NAME(histogram).xls\n"
    "(one histogram per metric), tab-delimited for any spreadsheet.\n"
    "  --metrics  metric numbers 0-17 or names, comma-separated (default:\n"
    "             the preferences' choice, all of them unless changed)\n"
    "  --bins N   histogram bins (default: the preferences' count, 100)\n"
    "  --open     open both files with the desktop's default application\n";

// Metric numbers or names, comma-separated.
bool ParseMetrics(const std::string& list, std::array<bool, 18>& chosen, std::string& error) {
  chosen.fill(false);
  std::stringstream in(list);
  std::string item;
  while (std::getline(in, item, ',')) {
    while (!item.empty() && item.front() == ' ') item.erase(item.begin());
    while (!item.empty() && item.back() == ' ') item.pop_back();
    if (auto number = ParseNumber(item, 0, 17)) {
      chosen[static_cast<std::size_t>(*number)] = true;
      continue;
    }
    bool found = false;
    for (int k = 0; k < kMetricCount; ++k)
      if (item == kMetricNames[k]) chosen[k] = found = true;
    if (!found) {
      error = "unknown metric \"" + item + "\"";
      return false;
    }
  }
  return true;
}

std::string TurnText(int degrees) {
  return degrees == 0 ? "none" : std::to_string(degrees) + " degrees counter-clockwise";
}

// The turn an image's data set records, or for a folder those of its
// scored images ("90 degrees counter-clockwise (3 images), none (1 image)").
std::string RotationText(const std::string& path, const WellRecord& well) {
  std::error_code ec;
  if (!std::filesystem::is_directory(path, ec)) return TurnText(well.Rotation);
  std::map<int, int> images;
  for (const std::string& image : ListFolderImages(path)) {
    WellRecord scored;
    if (FileExists(DataSetPathOf(image)) && LoadImageDataSet(image, scored))
      ++images[scored.Rotation];
  }
  if (images.empty()) return "none";
  if (images.size() == 1) return TurnText(images.begin()->first);
  std::string text;
  for (const auto& [degrees, count] : images)
    text += (text.empty() ? "" : ", ") + TurnText(degrees) + " (" + std::to_string(count) +
            (count == 1 ? " image)" : " images)");
  return text;
}

}  // namespace

int SummaryCommand(const std::vector<std::string>& args) {
  Arguments a;
  std::string error;
  if (!ParseArguments(args, {"--help"}, {}, a, error)) return Fail(error);
  if (a.Has("--help")) {
    std::cout << kSummaryHelp;
    return 0;
  }
  if (a.positional.size() != 1) return Fail("summary takes one image or folder (see --help)");
  WellRecord well;
  std::string name;
  const std::string path = a.positional[0];
  if (auto problem = LoadDataSetOf(path, well, name)) return Fail(*problem, 1);
  std::uint32_t counted = 0;
  for (std::uint32_t i = 0; i < well.CometCount; ++i) counted += IsCounted(well.Comets[i]);
  std::printf("%s: %u comets, %u counted\n", name.c_str(), well.CometCount, counted);
  std::printf("rotation before scoring: %s\n\n", RotationText(path, well).c_str());
  std::printf("%-22s %14s %14s %14s %14s\n", "metric", "minimum", "mean", "std dev", "maximum");
  for (int m = 0; m < kMetricCount; ++m) {
    const int s = SlotOfMetric(m);
    if (counted < 2) {
      std::printf("%-22s %14s %14s %14s %14s\n", kMetricNames[m], "-", "-", "-", "-");
      continue;
    }
    std::printf("%-22s %14.3f %14.3f %14.3f %14.3f\n", kMetricNames[m], well.MinValue[s],
                well.MeanValue[s], well.StdDevValue[s], well.MaxValue[s]);
  }
  return 0;
}

int ExportCommand(const std::vector<std::string>& args) {
  Arguments a;
  std::string error;
  if (!ParseArguments(args, {"--open", "--help"}, {"--out", "--metrics", "--bins"}, a, error))
    return Fail(error);
  if (a.Has("--help")) {
    std::cout << kExportHelp;
    return 0;
  }
  if (a.positional.size() != 1) return Fail("export takes one image or folder (see --help)");
  auto out = a.Value("--out");
  if (!out || out->empty()) return Fail("export needs --out NAME.xls");

  IniFile settings(SettingsFilePath());
  std::array<bool, 18> metrics{};
  if (auto list = a.Value("--metrics")) {
    if (!ParseMetrics(*list, metrics, error)) return Fail(error);
  } else {
    const int mask = settings.ReadInteger("main", "MetricsCheckList", -1);
    for (int k = 0; k < 18; ++k) metrics[k] = (mask >> k) & 1;
  }
  long bins = 100;
  const std::string binText =
      a.Value("--bins").value_or(settings.ReadString("main", "HistogramBucketCountEdit", "100"));
  if (auto n = ParseNumber(binText, 2, 65535))
    bins = *n;
  else
    return Fail("the histogram needs from 2 to 65535 bins, not \"" + binText + "\"");

  WellRecord well;
  std::string name;
  if (auto problem = LoadDataSetOf(a.positional[0], well, name)) return Fail(*problem, 1);
  std::string why;
  const std::string word =
      WriteSpreadsheet(well, *out, metrics, static_cast<std::uint16_t>(bins), &why);
  if (!word.empty()) return Fail(why.empty() ? *out + ": " + word : why, 1);
  const SpreadsheetFiles files = SpreadsheetFileNames(*out);
  std::printf("%s\n%s\n", files.rawData.c_str(), files.histogram.c_str());
  if (a.Has("--open")) {
    AnsiString_ShellExecute("open", files.rawData, "", "", 1, false);
    AnsiString_ShellExecute("open", files.histogram, "", "", 1, false);
  }
  return 0;
}
