#include "AppPaths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
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

std::optional<std::string> HomeVariable() {
  const char* home = std::getenv("STRANDEX_HOME");
  if (home == nullptr || *home == '\0') return std::nullopt;
  MakeFolders(home);
  return std::string(home);
}

std::string XdgFolder(const char* xdgVariable, const std::string& xdgDefault) {
  const std::string folder = EnvOr(xdgVariable, xdgDefault) + "/strandex";
  MakeFolders(folder);
  return folder;
}

bool Writable(const std::string& folder) {
  return !folder.empty() && access(folder.c_str(), W_OK) == 0;
}

// An installed program (in a "bin" folder beside "share/doc/strandex")
// keeps nothing in its own folder, even where it could write there (an
// installation of root's, or under ~/.local).
bool IsInstalledProgramFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  return folder.filename() == "bin" &&
         std::filesystem::is_directory(folder / ".." / "share" / "doc" / "strandex", ec);
}

bool KeepsOwnFiles(const std::filesystem::path& folder) {
  return Writable(folder.string()) && !IsInstalledProgramFolder(folder);
}

bool HoldsWindowProgram(const std::filesystem::path& folder) {
  std::error_code ec;
  const auto program = folder / kWindowProgramName;
  return std::filesystem::is_regular_file(program, ec) && access(program.c_str(), X_OK) == 0;
}

}  // namespace

std::string ExecutablePath() {
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : path.string();
}

std::string SettingsFolderFor(const std::string& executablePath) {
  const std::filesystem::path own = FolderOf(executablePath);
  for (const auto& folder : {own, (own / ".." / "app").lexically_normal()})
    if (!own.empty() && HoldsWindowProgram(folder)) {
      if (KeepsOwnFiles(folder)) return folder.string();
      return XdgFolder("XDG_CONFIG_HOME", HomeFolder() + "/.config");
    }
  if (!own.empty() && KeepsOwnFiles(own)) return own.string();
  return XdgFolder("XDG_CONFIG_HOME", HomeFolder() + "/.config");
}

std::string EventLogFolderFor(const std::string& executablePath) {
  const std::filesystem::path own = FolderOf(executablePath);
  if (!own.empty() && KeepsOwnFiles(own)) return own.string();
  return XdgFolder("XDG_STATE_HOME", HomeFolder() + "/.local/state");
}

std::string SettingsFilePath() {
  auto home = HomeVariable();
  const std::string folder = home ? *home : SettingsFolderFor(ExecutablePath());
  return folder + "/" + kWindowProgramName + ".ini";
}

std::string EventLogFilePath(const std::string& program) {
  const auto home = HomeVariable();
  return (home ? *home : EventLogFolderFor(ExecutablePath())) + "/" + program + ".log";
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
