#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CometRecords.h"

// Where the current data set comes from: one image (its ".cdb" beside the
// comet thumbnails in the image's result folder), or a folder whose images'
// comets were gathered into one data set that has no file of its own.
struct DataSetPlace {
  bool isFolder = false;
  std::string imagePath;    // one image: the image
  std::string dataSetPath;  // one image: its ".cdb"
  std::string folder;       // a folder: the folder, ending with '/'
  std::vector<std::string> images;  // a folder: its images, in the order they are listed

  static DataSetPlace OfImage(const std::string& imagePath);
  // The images as the folder lists them, or as given (the tree's order).
  static DataSetPlace OfFolder(const std::string& folder);
  static DataSetPlace OfFolder(const std::string& folder, std::vector<std::string> images);

  bool operator==(const DataSetPlace&) const = default;
};

// The files of one comet of a data set.
struct CometFiles {
  std::string stem;         // result folder + ImageName: add ".bmp" or ".jpg"
  std::string sourceImage;  // the image the comet came from
  std::string dataSetPath;  // that image's own ".cdb"
};

// Finds a comet's thumbnails. For one image they lie in the folder of its
// ".cdb". For a folder, the first image (in the listed order) whose result
// folder holds the comet's ".bmp" is its source; images that share a result
// folder with another image are never a source. Nothing when the folder's
// images hold no such thumbnail, or the comet's name cannot be a file name.
std::optional<CometFiles> LocateCometFiles(const DataSetPlace& place, const CometRecord& comet);
