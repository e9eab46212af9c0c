#include "DataSets.h"

#include <algorithm>

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

bool LoadImageDataSet(const std::string& imagePath, WellRecord& well) {
  const std::string path = DataSetPathOf(imagePath);
  well.Comets.reset();
  if (FileExists(path) && Zelcor_ReadFromDB(path, well)) return true;
  MakeFreshDataSet(well, FileNameOf(imagePath));
  return false;
}

void BuildFolderSummary(const std::string& folder, WellRecord& well,
                        const std::function<void(int, int)>& progress) {
  LogMessage("entering BuildFolderSummary(" + folder + ")...");
  BuildImagesSummary(ListFolderImages(AsFolder(folder)), well, progress);
  LogMessage("exiting  BuildFolderSummary(" + std::to_string(well.CometCount) + ")...");
}

void BuildImagesSummary(const std::vector<std::string>& images, WellRecord& well,
                        const std::function<void(int, int)>& progress) {
  well.Comets.reset();
  MakeFreshDataSet(well, "");
  int done = 0;
  for (const std::string& image : images) {
    const std::string path = DataSetPathOf(image);
    if (FileExists(path)) {
      WellRecord scratch;
      if (Zelcor_ReadFromDB(path, scratch) && scratch.Comets != nullptr &&
          well.CometCount + scratch.CometCount < WellRecord::kMaxComets) {
        std::copy_n(scratch.Comets.get(), scratch.CometCount, well.Comets.get() + well.CometCount);
        well.CometCount += scratch.CometCount;
      }
    }
    if (progress) progress(++done, static_cast<int>(images.size()));
  }
  Zelcor_ComputeWellStatistics(well);
}
