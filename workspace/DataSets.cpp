#include "DataSets.h"

#include <algorithm>
#include <set>

#include "AppPaths.h"
#include "CometDatabase.h"
#include "CometMetrics.h"
#include "EventLog.h"
#include "ImagePaths.h"
#include "SystemInfo.h"

void MakeFreshDataSet(WellRecord& well, const std::string& wellName) {
  well.Version = kDatabaseVersion;
  well.DatabaseType = kCometDataSet;
  well.MinCometArea = 0.0f;
  well.MaxCometArea = 2147483648.0f;
  well.MinCometHeight = 0.0f;
  well.MaxCometHeight = 2147483648.0f;
  well.ScaleX = 1000.0;
  well.ScaleY = 1000.0;
  well.CometCount = 0;
  SetWellName(well, wellName);
  well.Comets = NewCometArray();
}

std::string ForeignResultsText(const std::string& imagePath, const std::string& owner) {
  return "the results in " + DataSetPathOf(imagePath) + " are those of " + owner + ", not of " +
         FileNameOf(imagePath);
}

std::string OwnerOfForeignResults(const std::string& imagePath) {
  const std::string path = DataSetPathOf(imagePath);
  WellRecord well;
  if (!FileExists(path) || !Zelcor_ReadFromDB(path, well)) return {};
  const std::string owner = WellNameOf(well);
  return DataSetBelongsTo(owner, imagePath) ? std::string() : owner;
}

bool HoldsOwnResults(const std::string& imagePath, std::string* why) {
  const std::string path = DataSetPathOf(imagePath);
  std::string text;
  WellRecord well;
  std::string reason;
  if (const std::vector<std::string> sharing = ImagesSharingResultsWith(imagePath);
      !sharing.empty())
    text = SharedResultsText(imagePath, sharing);
  else if (!FileExists(path))
    return false;
  else if (!Zelcor_ReadFromDB(path, well, &reason))
    text = "its results in " + path + " cannot be read: " + reason;
  else if (!DataSetBelongsTo(WellNameOf(well), imagePath))
    text = ForeignResultsText(imagePath, WellNameOf(well));
  else
    return true;
  if (why != nullptr) *why = text;
  return false;
}

bool LoadImageDataSet(const std::string& imagePath, WellRecord& well, std::string* why) {
  const std::string path = DataSetPathOf(imagePath);
  well.Comets.reset();
  if (FileExists(path)) {
    if (std::string reason; !Zelcor_ReadFromDB(path, well, &reason)) {
      if (why != nullptr) *why = "its results in " + path + " cannot be read: " + reason;
    } else if (!DataSetBelongsTo(WellNameOf(well), imagePath)) {
      const std::string text = ForeignResultsText(imagePath, WellNameOf(well));
      LogMessage("ERROR: " + text + "!!!");
      if (why != nullptr) *why = text;
      well.Comets.reset();
    } else {
      return true;
    }
  }
  MakeFreshDataSet(well, FileNameOf(imagePath));
  return false;
}

void BuildFolderSummary(const std::string& folder, WellRecord& well,
                        const std::function<void(int, int)>& progress,
                        std::vector<std::string>* notes) {
  LogMessage("entering BuildFolderSummary(" + folder + ")...");
  BuildImagesSummary(ListFolderImages(AsFolder(folder)), well, progress, notes);
  LogMessage("exiting  BuildFolderSummary(" + std::to_string(well.CometCount) + ")...");
}

void BuildImagesSummary(const std::vector<std::string>& images, WellRecord& well,
                        const std::function<void(int, int)>& progress,
                        std::vector<std::string>* notes) {
  well.Comets.reset();
  MakeFreshDataSet(well, "");
  auto note = [&](const std::string& text) {
    LogMessage("ERROR: " + text + "!!!");
    if (notes != nullptr) notes->push_back(text);
  };
  std::set<std::string> reported;
  int done = 0;
  for (const std::string& image : images) {
    const std::string path = DataSetPathOf(image);
    const std::vector<std::string> sharing = ImagesSharingResultsWith(image, images);
    if (!sharing.empty()) {
      if (reported.insert(ResultFolderOf(image)).second)  // once per group
        note(SharedResultsText(image, sharing) + "; none is counted");
    } else if (FileExists(path)) {
      WellRecord scratch;
      std::string reason;
      if (!Zelcor_ReadFromDB(path, scratch, &reason) || scratch.Comets == nullptr) {
        note(path + " cannot be read (" + (reason.empty() ? "no comet list" : reason) +
             "); its comets are not counted");
      } else if (!DataSetBelongsTo(WellNameOf(scratch), image)) {
        note(ForeignResultsText(image, WellNameOf(scratch)) + "; they are not counted");
      } else if (well.CometCount + scratch.CometCount < WellRecord::kMaxComets) {
        std::copy_n(scratch.Comets.get(), scratch.CometCount, well.Comets.get() + well.CometCount);
        well.CometCount += scratch.CometCount;
      }
    }
    if (progress) progress(++done, static_cast<int>(images.size()));
  }
  Zelcor_ComputeWellStatistics(well);
}
