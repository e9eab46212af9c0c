#include "SizeFilter.h"

#include <array>
#include <cmath>
#include <map>
#include <vector>

#include "CometDatabase.h"
#include "CometMetrics.h"
#include "Conversions.h"
#include "DataSets.h"
#include "EventLog.h"
#include "ImageDataSetUpdate.h"
#include "IniFile.h"

namespace {

constexpr float kNoLimit = 2147483648.0f;

const char* const kSection = "main";
const char* const kKeys[4] = {"FilterMinAreaEdit", "FilterMaxAreaEdit", "FilterMinHeightEdit",
                              "FilterMaxHeightEdit"};

// The texts in the order of the keys.
template <typename Texts>
auto Fields(Texts& texts) {
  return std::array{&texts.minArea, &texts.maxArea, &texts.minHeight, &texts.maxHeight};
}

// Rounded once; numbers beyond the single-precision range become infinite.
float ToLimit(const std::string& text) {
  const long double value = AnsiString_ToDouble(text);
  if (std::fabs(value) >= 0x1p128L) return std::copysign(HUGE_VALF, static_cast<float>(value));
  return static_cast<float>(value);
}

}  // namespace

SizeLimits ParseSizeLimits(const SizeFilterTexts& texts) {
  return {ToLimit(texts.minArea), ToLimit(texts.maxArea), ToLimit(texts.minHeight),
          ToLimit(texts.maxHeight)};
}

SizeLimits CorrectSizeLimits(SizeLimits limits) {
  // A limit that is no number at all ("nan") is no limit either.
  for (float* minimum : {&limits.minArea, &limits.minHeight})
    if (!(*minimum > 0.0f)) *minimum = 0.0f;
  for (float* maximum : {&limits.maxArea, &limits.maxHeight})
    if (!(*maximum > 0.0f)) *maximum = kNoLimit;
  return limits;
}

void StoreSizeLimits(WellRecord& well, const SizeLimits& limits) {
  well.MinCometArea = limits.minArea;
  well.MaxCometArea = limits.maxArea;
  well.MinCometHeight = limits.minHeight;
  well.MaxCometHeight = limits.maxHeight;
}

bool WriteSizeFilterTexts(IniFile& settings, const SizeFilterTexts& texts) {
  bool written = true;
  for (int k = 0; k < 4; ++k)
    written &= settings.WriteString(kSection, kKeys[k], *Fields(texts)[k]);
  return written;
}

SizeFilterTexts ReadSizeFilterTexts(const IniFile& settings) {
  SizeFilterTexts texts;
  for (int k = 0; k < 4; ++k) {
    std::string* field = Fields(texts)[k];
    *field = settings.ReadString(kSection, kKeys[k], *field);
  }
  return texts;
}

void PreviewSizeFilter(WellRecord& well, const SizeFilterTexts& texts) {
  StoreSizeLimits(well, ParseSizeLimits(texts));
}

ApplyResult ApplySizeFilter(WellRecord& well, const DataSetPlace& place,
                            const SizeFilterTexts& texts) {
  LogMessage("entering ApplySizeFilter()...");
  ApplyResult result;
  const SizeLimits limits = CorrectSizeLimits(ParseSizeLimits(texts));
  StoreSizeLimits(well, limits);
  auto note = [&](const std::string& text) {
    if (text.empty()) return;
    result.message += result.message.empty() ? text : "; " + text;
  };
  // The changes to each image's own ".cdb", gathered to write each once.
  std::map<std::string, std::pair<std::string, std::vector<StoredCometChange>>> stored;
  std::vector<std::string> order;
  for (std::uint32_t i = 0; well.Comets != nullptr && i < well.CometCount; ++i) {
    CometRecord& comet = well.Comets[i];
    const float area = comet.Metrics[kCometArea], height = comet.Metrics[kCometHeight];
    const bool inside = area >= limits.minArea && area <= limits.maxArea &&
                        height >= limits.minHeight && height <= limits.maxHeight;
    if (inside) continue;
    comet.Deleted = 1;
    ++result.deleted;
    if (!place.isFolder) continue;
    const std::optional<CometFiles> files = LocateCometFiles(place, comet);
    if (!files) continue;  // no image holds it: only the view's data set changes
    auto [entry, fresh] = stored.try_emplace(files->dataSetPath);
    if (fresh) {
      entry->second.first = files->sourceImage;
      order.push_back(files->dataSetPath);
    }
    entry->second.second.push_back({ImageNameOf(comet), std::nullopt});
  }
  for (const std::string& path : order) {
    std::string why;
    UpdateImageDataSet(path, stored[path].first, stored[path].second, &why);
    note(why);
  }
  Zelcor_ComputeWellStatistics(well);
  if (!place.isFolder) {
    // Only an image's own results are written over: nothing is made for an
    // image that was never scored, and a ".cdb" that cannot be read or
    // holds another image's results stays as it is.
    std::string why;
    if (!HoldsOwnResults(place.imagePath, &why)) {
      if (!why.empty()) {
        note(why + "; " + place.dataSetPath + " is left as it was");
        LogMessage("ERROR: " + why + "!!!");
      }
    } else if (!Zelcor_WriteToDB(place.dataSetPath, well)) {
      note("cannot write " + place.dataSetPath + "; the file is left as it was");
      // What is on view is what the file holds: the deletions are not made.
      Zelcor_ReadFromDB(place.dataSetPath, well);
      result.deleted = 0;
    }
  }
  LogMessage("exiting  ApplySizeFilter(" + std::to_string(result.deleted) + ")...");
  return result;
}
