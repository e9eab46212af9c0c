#include "FileVersion.h"

#include <filesystem>
#include <system_error>

#include "AppPaths.h"
#include "MessageBox.h"
#include "SystemInfo.h"

#ifndef STRANDEX_VERSION
#error "STRANDEX_VERSION must be defined by the build"
#endif

std::string ProgramVersionString() {
  return STRANDEX_VERSION;
}

std::string GetFileVersionString(const std::string& path) {
  if (path.empty() || !FileExists(path)) return "FILE NOT FOUND";
  std::error_code ec;
  const std::string exe = ExecutablePath();
  if (!exe.empty() && std::filesystem::equivalent(path, exe, ec) && !ec)
    return ProgramVersionString();
  ShowErrorBox("The specified image file did not contain a resource section.",
               "GetFileVersionInfoSizeA()");
  return "0.0.0.0";
}
