#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CometRecords.h"

// Which thumbnail files the grid shows: "unaltered" the ".bmp" (the comet as
// cut out), "profiled" the ".jpg" (the comet with its profile plot).
const char* ThumbnailExtension(bool profiled);

// A comet's thumbnail in a single image's data set: beside the data set's
// ".cdb". Empty when the comet's stored name is no plain file name.
std::string SingleImageThumbnail(const std::string& dataSetPath, const CometRecord& comet,
                                 const char* extension);

// A comet's thumbnail in a folder's data set: the first image, in the order
// given, whose result folder holds a file of the comet's name. That image is
// the comet's source image.
struct FolderThumbnail {
  std::size_t image = 0;  // index into the images given
  std::string path;
};
std::optional<FolderThumbnail> FindFolderThumbnail(const std::vector<std::string>& images,
                                                   const CometRecord& comet, const char* extension);

// The file label of a folder comet: its source image's name without its
// extension.
std::string FileLabelText(const std::string& imagePath);
