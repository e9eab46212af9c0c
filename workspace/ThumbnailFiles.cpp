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
    if (std::filesystem::is_regular_file(candidate, ec)) return FolderThumbnail{i, candidate};
  }
  return std::nullopt;
}

std::string FileLabelText(const std::string& imagePath) {
  return RemoveExtension(FileNameOf(imagePath));
}
