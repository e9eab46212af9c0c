#include "ImageDataSetUpdate.h"

#include <cerrno>

#include "CometDatabase.h"
#include "CometMetrics.h"
#include "EventLog.h"
#include "ImagePaths.h"
#include "SystemInfo.h"

StoredUpdate UpdateImageDataSet(const std::string& dataSetPath, const std::string& imagePath,
                                const std::vector<StoredCometChange>& changes,
                                std::string* message) {
  LogMessage("entering UpdateImageDataSet(" + dataSetPath + ")...");
  auto finish = [&](StoredUpdate result, const std::string& text, const char* word) {
    if (!text.empty()) LogMessage("ERROR: " + text + "!!!");
    if (message != nullptr) *message = text;
    LogMessage(std::string("exiting  UpdateImageDataSet(") + word + ")...");
    return result;
  };
  WellRecord well;
  std::string reason;
  if (!Zelcor_ReadFromDB(dataSetPath, well, &reason) || well.Comets == nullptr)
    return finish(StoredUpdate::kUnreadable,
                  "cannot read " + dataSetPath + " (" +
                      (reason.empty() ? "it holds no comet list" : reason) +
                      "); the change is kept in the data set on view only",
                  "FAILURE");
  if (!DataSetBelongsTo(WellNameOf(well), imagePath))
    return finish(StoredUpdate::kUnreadable,
                  dataSetPath + " holds the results of " + WellNameOf(well) +
                      "; the change is kept in the data set on view only",
                  "FAILURE");
  bool matched = false;
  for (const StoredCometChange& change : changes) {
    for (std::uint32_t i = 0; i < well.CometCount; ++i) {
      CometRecord& stored = well.Comets[i];
      if (ImageNameOf(stored) != change.imageName) continue;
      if (change.replacement)
        stored = *change.replacement;
      else
        stored.Deleted = 1;
      matched = true;
      break;
    }
  }
  if (!matched) return finish(StoredUpdate::kNoMatch, "", "NO MATCH");
  Zelcor_ComputeWellStatistics(well);
  errno = 0;  // a failure that is not the system's names no error
  if (!Zelcor_WriteToDB(dataSetPath, well)) {
    const int error = errno;
    return finish(StoredUpdate::kNotWritten,
                  "cannot write " + dataSetPath +
                      (error != 0 ? " (" + ErrnoText(error) + ")" : "") +
                      "; the file is left as it was",
                  "FAILURE");
  }
  return finish(StoredUpdate::kWritten, "", "SUCCESS");
}
