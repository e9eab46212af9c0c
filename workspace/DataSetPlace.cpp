#include "DataSetPlace.h"

#include "AppPaths.h"
#include "ImagePaths.h"
#include "ThumbnailFiles.h"
#include "SystemInfo.h"

DataSetPlace DataSetPlace::OfImage(const std::string& imagePath) {
  DataSetPlace place;
  place.imagePath = imagePath;
  place.dataSetPath = DataSetPathOf(imagePath);
  return place;
}

DataSetPlace DataSetPlace::OfFolder(const std::string& folder) {
  return OfFolder(folder, ListFolderImages(folder));
}

DataSetPlace DataSetPlace::OfFolder(const std::string& folder, std::vector<std::string> images) {
  DataSetPlace place;
  place.isFolder = true;
  place.folder = AsFolder(folder);
  place.images = std::move(images);
  return place;
}

std::optional<CometFiles> LocateCometFiles(const DataSetPlace& place, const CometRecord& comet) {
  const std::string name = ImageNameOf(comet);
  if (!IsPlainFileName(name)) return std::nullopt;
  if (!place.isFolder)
    return CometFiles{FolderOf(place.dataSetPath) + "/" + name, place.imagePath, place.dataSetPath};
  const std::optional<FolderThumbnail> found = FindFolderThumbnail(place.images, comet, ".bmp");
  if (!found) return std::nullopt;
  const std::string& image = place.images[found->image];
  return CometFiles{ResultFolderOf(image) + name, image, DataSetPathOf(image)};
}
