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
      if (Writable(folder.string())) return folder.string();
      return XdgFolder("XDG_CONFIG_HOME", HomeFolder() + "/.config");
    }
  if (Writable(own.string())) return own.string();
  return XdgFolder("XDG_CONFIG_HOME", HomeFolder() + "/.config");
}

std::string SettingsFilePath() {
  auto home = HomeVariable();
  const std::string folder = home ? *home : SettingsFolderFor(ExecutablePath());
  return folder + "/" + kWindowProgramName + ".ini";
}

std::string EventLogFilePath(const std::string& program) {
  std::string folder;
  if (auto home = HomeVariable())
    folder = *home;
  else if (const std::string own = FolderOf(ExecutablePath()); Writable(own))
    folder = own;
  else
    folder = XdgFolder("XDG_STATE_HOME", HomeFolder() + "/.local/state");
  return folder + "/" + program + ".log";
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
