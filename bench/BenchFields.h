#pragma once

// The fields the scoring benchmarks work on: eight 1280 x 960 synthetic
// fields of view of about thirty comets each, as PNG files in a folder.
#include <filesystem>
#include <string>

#include "ImagePaths.h"
#include "SyntheticField.h"
#include "ToolkitWrappers.h"

namespace bench_fields {

constexpr int kImages = 8;

// Makes the folder afresh once per run of the program.
inline const std::string& FieldFolder(const std::string& path) {
  static const std::string folder = [&path] {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    for (int i = 0; i < kImages; ++i) {
      SyntheticField field = MakeSyntheticField(1280, 960, 500 + i);
      SaveRasterAsPng(*field.image, path + "/field_" + std::to_string(i) + ".png");
    }
    return path;
  }();
  return folder;
}

// Removes every result folder of the folder's images.
inline void ClearResults(const std::string& folder) {
  for (const auto& image : ListFolderImages(folder))
    std::filesystem::remove_all(ResultFolderOf(image));
}

}  // namespace bench_fields
