#pragma once

// The fields the scoring benchmarks work on: 1280 x 960 synthetic fields of
// view of about thirty comets each (eight unless told), as PNG files in a
// folder.
#include <filesystem>
#include <set>
#include <string>

#include "ImagePaths.h"
#include "SyntheticField.h"
#include "ToolkitWrappers.h"

namespace bench_fields {

constexpr int kImages = 8;

// Makes the folder afresh once per run of the program.
inline const std::string& FieldFolder(const std::string& path, int images = kImages) {
  static std::set<std::string> made;
  if (made.insert(path).second) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    for (int i = 0; i < images; ++i) {
      SyntheticField field = MakeSyntheticField(1280, 960, 500 + i);
      SaveRasterAsPng(*field.image, path + "/field_" + std::to_string(i) + ".png");
    }
  }
  return *made.find(path);
}

// Removes every result folder of the folder's images.
inline void ClearResults(const std::string& folder) {
  for (const auto& image : ListFolderImages(folder))
    std::filesystem::remove_all(ResultFolderOf(image));
}

}  // namespace bench_fields
