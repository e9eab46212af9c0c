#pragma once

#include <string>
#include <vector>

#include "IniFile.h"

// The folders opened last, newest first, for the File menu: at most
// kRecentFoldersKept, each once, in section "recent" of the settings file as
// "Folder1" .. "Folder8" (an empty value is an unused place).
inline constexpr int kRecentFoldersKept = 8;

std::vector<std::string> ReadRecentFolders(const IniFile& settings);

// Puts the folder first (moving it up when it is already listed), drops the
// oldest beyond the limit, writes the list and returns it. A relative
// folder is remembered as the whole path it names from here.
std::vector<std::string> RememberRecentFolder(IniFile& settings, const std::string& folder);

// Takes the folder off the list (one that is gone), writes and returns it.
std::vector<std::string> ForgetRecentFolder(IniFile& settings, const std::string& folder);
