#include "Documents.h"

#include "AppPaths.h"
#include "SystemInfo.h"

std::string DocumentPath(const std::string& fileName) {
  const std::string folder = FolderOf(ExecutablePath());
  const std::string beside = folder + "/" + fileName;
  if (FileExists(beside)) return beside;
  const std::string installed = FolderOf(folder) + "/share/doc/strandex/" + fileName;
  return FileExists(installed) ? installed : beside;
}
