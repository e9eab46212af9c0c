#include "RecentFolders.h"

#include <algorithm>
#include <filesystem>

namespace {

constexpr const char* kSection = "recent";

std::string Key(int place) {
  return "Folder" + std::to_string(place + 1);
}

void Write(IniFile& settings, const std::vector<std::string>& folders) {
  for (int place = 0; place < kRecentFoldersKept; ++place)
    settings.WriteString(kSection, Key(place),
                         place < static_cast<int>(folders.size()) ? folders[place] : "");
}

}  // namespace

std::vector<std::string> ReadRecentFolders(const IniFile& settings) {
  std::vector<std::string> folders;
  for (int place = 0; place < kRecentFoldersKept; ++place) {
    const std::string folder = settings.ReadString(kSection, Key(place), "");
    if (!folder.empty() && std::find(folders.begin(), folders.end(), folder) == folders.end())
      folders.push_back(folder);
  }
  return folders;
}

std::vector<std::string> RememberRecentFolder(IniFile& settings, const std::string& given) {
  std::vector<std::string> folders = ReadRecentFolders(settings);
  if (given.empty()) return folders;
  // Remembered whole, so that it names the same folder from anywhere.
  std::error_code ec;
  const std::filesystem::path whole = std::filesystem::absolute(given, ec).lexically_normal();
  const std::string folder = ec ? given : whole.string();
  folders.erase(std::remove(folders.begin(), folders.end(), folder), folders.end());
  folders.insert(folders.begin(), folder);
  if (folders.size() > static_cast<std::size_t>(kRecentFoldersKept))
    folders.resize(kRecentFoldersKept);
  Write(settings, folders);
  return folders;
}

std::vector<std::string> ForgetRecentFolder(IniFile& settings, const std::string& folder) {
  std::vector<std::string> folders = ReadRecentFolders(settings);
  const auto end = std::remove(folders.begin(), folders.end(), folder);
  if (end == folders.end()) return folders;
  folders.erase(end, folders.end());
  Write(settings, folders);
  return folders;
}
