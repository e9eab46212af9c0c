#include "ThumbnailFiles.h"

#include <filesystem>

#include "AppPaths.h"
#include "ImagePaths.h"

const char* ThumbnailExtension(bool profiled) {
  return profiled ? ".jpg" : ".bmp";
}

std::string SingleImageThumbnail(const std::string& dataSetPath, const CometRecord& comet,
                                 const char* extension) {
  const std::string name = ImageNameOf(comet);
  if (!IsPlainFileName(name)) return {};
  const std::string folder = FolderOf(dataSetPath);
  return (folder.empty() ? std::string() : AsFolder(folder)) + name + extension;
}

std::optional<FolderThumbnail> FindFolderThumbnail(const std::vector<std::string>& images,
                                                   const CometRecord& comet,
                                                   const char* extension) {
  const std::string name = ImageNameOf(comet);
  if (!IsPlainFileName(name)) return std::nullopt;
  for (std::size_t i = 0; i < images.size(); ++i) {
    std::string candidate = ResultFolderOf(images[i]) + name + extension;
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec) &&
        ImagesSharingResultsWith(images[i], images).empty())
      return FolderThumbnail{i, candidate};
  }
  return std::nullopt;
}

FolderThumbnailIndex::FolderThumbnailIndex(std::vector<std::string> images)
    : images_(std::move(images)) {
  for (std::size_t i = 0; i < images_.size(); ++i) {
    if (!ImagesSharingResultsWith(images_[i], images_).empty()) continue;  // never a source
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(ResultFolderOf(images_[i]), ec))
      first_.emplace(entry.path().filename().string(), i);
  }
}

std::optional<FolderThumbnail> FolderThumbnailIndex::Find(const CometRecord& comet,
                                                          const char* extension) {
  const std::string name = ImageNameOf(comet);
  if (!IsPlainFileName(name)) return std::nullopt;
  const std::string file = name + extension;
  auto known = first_.find(file);
  if (known != first_.end()) {
    std::string path = ResultFolderOf(images_[known->second]) + file;
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) return FolderThumbnail{known->second, path};
  }
  std::optional<FolderThumbnail> found = FindFolderThumbnail(images_, comet, extension);
  if (found) first_[file] = found->image;
  return found;
}

std::string FileLabelText(const std::string& imagePath) {
  return RemoveExtension(FileNameOf(imagePath));
}
