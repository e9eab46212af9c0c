#include "ImagePaths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "AppPaths.h"

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string ResultFolderOf(const std::string& imagePath) {
  return RemoveExtension(imagePath) + "/";
}

std::string DataSetPathOf(const std::string& imagePath) {
  return ResultFolderOf(imagePath) + RemoveExtension(FileNameOf(imagePath)) + ".cdb";
}

std::string AsFolder(const std::string& folder) {
  std::string f = folder;
  while (f.size() > 1 && f.back() == '/') f.pop_back();
  return f == "/" ? f : f + "/";
}

std::vector<std::string> ListFolderImages(const std::string& folder) {
  const std::string root = AsFolder(folder);
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(root, ec))
    names.push_back(entry.path().filename().string());
  std::vector<std::string> images;
  // JPEG files may end in ".jpeg" as well; they are listed with the ".jpg" ones.
  const std::vector<std::vector<std::string>> groups = {{".bmp"}, {".png"}, {".jpg", ".jpeg"}};
  for (const auto& extensions : groups) {
    std::vector<std::string> group;
    for (const auto& name : names)
      for (const auto& extension : extensions)
        if (EndsWith(Lower(name), extension)) group.push_back(name);
    std::sort(group.begin(), group.end());
    for (const auto& name : group) images.push_back(root + name);
  }
  return images;
}

bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\\') == std::string::npos;
}
