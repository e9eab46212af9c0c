#include "DeleteThisData.h"

#include <algorithm>
#include <filesystem>

#include "AppPaths.h"
#include "DataSets.h"
#include "EventLog.h"
#include "ImagePaths.h"
#include "MessageBox.h"
#include "RecycleBin.h"
#include "SystemInfo.h"

namespace {

const char* const kCaption = "Delete this data?";

// Moves the folders to the trash, all or (when it cannot be reached) none.
DeleteReport MoveFolders(const std::vector<std::string>& folders) {
  DeleteReport report;
  report.outcome = DeleteOutcome::kDeleted;
  if (!folders.empty() && !TrashIsReachable()) {
    report.outcome = DeleteOutcome::kFailed;
    report.message = "the trash " + TrashFolder() + " cannot be reached; nothing is deleted";
    LogMessage("ERROR: " + report.message + "!!!");
    return report;
  }
  std::vector<std::string> left;
  for (const std::string& folder : folders) {
    if (AnsiString_RecycleFile(folder, true))
      report.moved.push_back(folder);
    else
      left.push_back(folder);
  }
  if (!left.empty()) {
    report.outcome = DeleteOutcome::kFailed;
    report.message = "cannot move to the trash:";
    for (const std::string& folder : left) report.message += " " + folder;
  }
  return report;
}

DeleteReport Declined() {
  DeleteReport report;
  report.outcome = DeleteOutcome::kDeclined;
  return report;
}

}  // namespace

DeleteReport DeleteImageData(const std::string& imagePath) {
  if (AskYesNo("Delete all data for this image?\n\n" + FileNameOf(imagePath), kCaption) != kIdYes)
    return Declined();
  // As for a folder: only a folder holding a ".cdb" of its own name is a
  // result folder; and the results of another image of the same name (with
  // another extension) are not this image's to delete.
  const std::string owner = OwnerOfForeignResults(imagePath);
  if (!owner.empty()) {
    DeleteReport report;
    report.message = ForeignResultsText(imagePath, owner) + "; nothing is deleted";
    LogMessage("ERROR: " + report.message + "!!!");
    return report;
  }
  const std::string folder = RemoveExtension(imagePath);
  return MoveFolders(FileExists(DataSetPathOf(imagePath)) ? std::vector<std::string>{folder}
                                                          : std::vector<std::string>{});
}

DeleteReport DeleteFolderData(const std::string& folder) {
  const std::string root = AsFolder(folder);
  if (AskYesNo("Delete all data this folder?\n\n" + root, kCaption) != kIdYes) return Declined();
  std::vector<std::string> results;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(root, ec)) {
    const std::string name = entry.path().filename().string();
    if (FileExists(root + name + "/" + name + ".cdb")) results.push_back(root + name);
  }
  std::sort(results.begin(), results.end());
  return MoveFolders(results);
}
