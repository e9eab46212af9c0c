#include "ImagePaths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "AppPaths.h"
#include "CometRecords.h"

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

namespace {

// The listing group of an image file name: 0 BMP, 1 PNG, 2 JPEG, 3 TIFF;
// -1 for other files.
int ImageGroup(const std::string& name) {
  const std::string lower = Lower(name);
  if (EndsWith(lower, ".bmp")) return 0;
  if (EndsWith(lower, ".png")) return 1;
  if (EndsWith(lower, ".jpg") || EndsWith(lower, ".jpeg")) return 2;
  if (EndsWith(lower, ".tif") || EndsWith(lower, ".tiff")) return 3;
  return -1;
}

}  // namespace

std::vector<std::string> ListFolderImages(const std::string& folder) {
  const std::string root = AsFolder(folder);
  std::vector<std::string> groups[4];
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(root, ec)) {
    std::error_code kind;
    if (!entry.is_regular_file(kind)) continue;  // folders named like images are not images
    const std::string name = entry.path().filename().string();
    const int group = ImageGroup(name);
    if (group >= 0) groups[group].push_back(name);
  }
  std::vector<std::string> images;
  for (auto& group : groups) {
    std::sort(group.begin(), group.end());
    for (const auto& name : group) images.push_back(root + name);
  }
  return images;
}

std::vector<std::string> ImagesSharingResultsWith(const std::string& imagePath,
                                                  const std::vector<std::string>& images) {
  // "slide.png", "./slide.png" and "p//slide.png" name one file each way.
  auto normal = [](const std::string& path) { return fs::path(path).lexically_normal(); };
  const fs::path self = normal(imagePath), folder = normal(ResultFolderOf(imagePath));
  std::vector<std::string> others;
  for (const auto& image : images)
    if (normal(image) != self && normal(ResultFolderOf(image)) == folder) others.push_back(image);
  return others;
}

std::vector<std::string> ImagesSharingResultsWith(const std::string& imagePath) {
  const std::string folder = FolderOf(imagePath);
  return ImagesSharingResultsWith(imagePath, ListFolderImages(folder.empty() ? "." : folder));
}

std::string SharedResultsText(const std::string& imagePath,
                              const std::vector<std::string>& others) {
  std::string names = FileNameOf(imagePath);
  for (std::size_t i = 0; i < others.size(); ++i)
    names += (i + 1 == others.size() ? " and " : ", ") + FileNameOf(others[i]);
  std::string folder = ResultFolderOf(imagePath);
  folder.pop_back();
  return names + " would share the result folder " + folder +
         "; rename all but one of them so each has a name of its own";
}

bool DataSetBelongsTo(const std::string& wellName, const std::string& imagePath) {
  const std::string image = Lower(FileNameOf(imagePath));
  const std::string stored = Lower(wellName);
  if (stored.empty() || stored == image) return true;
  // Names longer than the field are stored cut short.
  if (stored.size() + 1 >= sizeof(WellHeader::WellName) && image.rfind(stored, 0) == 0) return true;
  // A data set of an image with the same name but another extension (the
  // pair would share the result folder) is that image's, not this one's.
  return RemoveExtension(stored) != RemoveExtension(image);
}

bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\\') == std::string::npos;
}
