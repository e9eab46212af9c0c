#include "AppPaths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string& ApplicationTitle() {
  static std::string title;
  return title;
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

std::string HomeFolder() {
  return EnvOr("HOME", "/tmp");
}

// The folder for one kind of file: STRANDEX_HOME, the executable's folder, or
// the XDG folder given.
std::string DataFolder(const char* xdgVariable, const std::string& xdgDefault) {
  if (const char* home = std::getenv("STRANDEX_HOME"); home != nullptr && *home != '\0') {
    MakeFolders(home);
    return home;
  }
  const std::string exeFolder = FolderOf(ExecutablePath());
  if (!exeFolder.empty() && access(exeFolder.c_str(), W_OK) == 0) return exeFolder;
  const std::string folder = EnvOr(xdgVariable, xdgDefault) + "/strandex";
  MakeFolders(folder);
  return folder;
}

}  // namespace

std::string ExecutablePath() {
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : path.string();
}

std::string SettingsFilePath() {
  return DataFolder("XDG_CONFIG_HOME", HomeFolder() + "/.config") + "/strandex.ini";
}

std::string EventLogFilePath() {
  return DataFolder("XDG_STATE_HOME", HomeFolder() + "/.local/state") + "/strandex.log";
}

std::string GetApplicationTitle() {
  if (ApplicationTitle().empty()) return RemoveExtension(FileNameOf(ExecutablePath()));
  return ApplicationTitle();
}

void SetApplicationTitle(const std::string& title) {
  ApplicationTitle() = title;
}

std::string FileNameOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string RemoveExtension(const std::string& path) {
  auto slash = path.find_last_of('/');
  auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

bool MakeFolders(const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return std::filesystem::is_directory(folder, ec);
}
