#include "StagingFolders.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "AppPaths.h"
#include "EventLog.h"
#include "RecycleBin.h"
#include "SystemInfo.h"
#include "TextFile.h"
#include "UniqueFiles.h"

namespace fs = std::filesystem;

namespace {

const std::string kInfix = ".scoring-";
constexpr std::size_t kSuffixLength = 6;
const std::string kMarker = ".strandex-staging";
constexpr std::time_t kStaleAfterSeconds = 24 * 60 * 60;

bool IsAlphanumeric(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// A marker names the process ("pid host"); it is stale when that process
// is gone from this computer, or when it is too old to belong to a live run.
bool MarkerIsStale(const std::string& marker) {
  const auto modified = GetFileModificationTime(marker);
  if (modified && std::time(nullptr) - *modified > kStaleAfterSeconds) return true;
  std::ifstream in(marker);
  long pid = 0;
  std::string host;
  if (!(in >> pid >> host) || pid <= 0) return false;
  if (host != GetComputerNameString() || pid == static_cast<long>(getpid())) return false;
  return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Writes the marker naming this process and computer into a folder.
bool WriteMarker(const std::string& folder) {
  TextFile marker = OpenTextFile(folder + "/" + kMarker, "wb");
  return marker && marker.Write(std::to_string(getpid()) + " " + GetComputerNameString() + "\n") &&
         marker.Close();
}

}  // namespace

bool IsStagingFolderName(const std::string& name) {
  const auto at = name.rfind(kInfix);
  if (at == std::string::npos || at == 0 || name.size() != at + kInfix.size() + kSuffixLength)
    return false;
  for (std::size_t i = at + kInfix.size(); i < name.size(); ++i)
    if (!IsAlphanumeric(name[i])) return false;
  return true;
}

bool MakeStagingFolder(const std::string& resultFolder, std::string& staging, std::string& error) {
  std::string folder;
  if (!CreateUniqueFolder(resultFolder + kInfix, folder)) {
    error = "cannot create a folder beside " + resultFolder + ": " + std::strerror(errno);
    return false;
  }
  staging = folder + "/";
  if (!WriteMarker(folder)) {
    error = "cannot write in " + folder + ": " + std::strerror(errno);
    std::error_code ec;
    fs::remove_all(folder, ec);
    return false;
  }
  return true;
}

void ForgetStagingMarker(const std::string& resultFolder) {
  std::error_code ec;
  fs::remove(resultFolder + "/" + kMarker, ec);
}

bool SetResultsAside(const std::string& resultFolder, std::string& aside, std::string& error) {
  const std::string marker = resultFolder + "/" + kMarker;
  if (!WriteMarker(resultFolder)) {
    error = "cannot write in " + resultFolder + ": " + std::strerror(errno);
    std::error_code ec;
    fs::remove(marker, ec);
    return false;
  }
  // An empty folder of a free name, which the rename then replaces.
  if (!CreateUniqueFolder(resultFolder + kInfix, aside) ||
      std::rename(resultFolder.c_str(), aside.c_str()) != 0) {
    error = "cannot move " + resultFolder + " aside: " + std::strerror(errno);
    std::error_code ec;
    if (!aside.empty()) fs::remove(aside, ec);
    fs::remove(marker, ec);
    aside.clear();
    return false;
  }
  return true;
}

bool PutResultsBack(const std::string& aside, const std::string& resultFolder) {
  if (std::rename(aside.c_str(), resultFolder.c_str()) != 0) return false;
  ForgetStagingMarker(resultFolder);
  return true;
}

bool TrashResultsSetAside(const std::string& aside, const std::string& resultFolder) {
  // The marker stays with them until they are in the trash: a run killed
  // on the way leaves them to the clean-up.
  LogMessage("entering AnsiString_RecycleFile(" + resultFolder + ")...");
  std::string trashed;
  const int code = MoveToTrash(aside, resultFolder, &trashed);
  if (code != 0)
    LogMessage("ERROR: " + RecycleErrorMessage(code));
  else
    ForgetStagingMarker(trashed);
  LogMessage(std::string("exiting  AnsiString_RecycleFile(") + (code == 0 ? "SUCCESS" : "FAILURE") +
             ")...");
  return code == 0;
}

void RemoveStaleStagingFolders(const std::string& resultFolder) {
  const std::string parent = FolderOf(resultFolder);
  const std::string prefix = FileNameOf(resultFolder) + kInfix;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(parent.empty() ? "." : parent, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0 || !IsStagingFolderName(name)) continue;
    std::error_code kind;
    if (!entry.is_directory(kind) || entry.is_symlink(kind)) continue;
    const std::string folder = entry.path().string();
    const std::string marker = folder + "/" + kMarker;
    if (!FileExists(marker) || !MarkerIsStale(marker)) continue;
    LogMessage("removing the staging folder " + folder + " of an interrupted run...");
    AnsiString_RecycleFile(folder, true);
  }
}
