#pragma once

#include <optional>
#include <string>
#include <unordered_map>
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
// the comet's source image. Images that share a result folder with another
// image are never a source.
struct FolderThumbnail {
  std::size_t image = 0;  // index into the images given
  std::string path;
};
std::optional<FolderThumbnail> FindFolderThumbnail(const std::vector<std::string>& images,
                                                   const CometRecord& comet, const char* extension);

// The same lookup for many comets: the result folders are listed once, so
// finding a thumbnail costs one check that the file is still there. A name
// the listing did not see (a file written since) falls back to the search
// above, and what that finds is remembered. A file that appears, after the
// listing, in the result folder of an image earlier than the one listed for
// its name is seen once the index is built again (on the next data set).
class FolderThumbnailIndex {
 public:
  explicit FolderThumbnailIndex(std::vector<std::string> images);
  const std::vector<std::string>& Images() const { return images_; }
  std::optional<FolderThumbnail> Find(const CometRecord& comet, const char* extension);

 private:
  std::vector<std::string> images_;
  std::unordered_map<std::string, std::size_t> first_;  // file name -> first image holding it
};

// The file label of a folder comet: its source image's name without its
// extension.
std::string FileLabelText(const std::string& imagePath);
