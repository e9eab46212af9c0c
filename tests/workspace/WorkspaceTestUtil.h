#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BitmapImage.h"
#include "CometDatabase.h"
#include "ImagePaths.h"
#include "TestSupport.h"

namespace testing_support {

// An 8-bit grey picture with bright squares on a dark ground; boxes are
// {left, top, width, height} in picture coordinates (row 0 at the top).
// Each square's centre pixel is 50 levels dimmer, so that stretching the
// cut-out comet leaves every other pixel lit.
inline BitmapImageClass Squares(int width, int height, const std::vector<std::array<int, 4>>& boxes,
                                int level = 200) {
  BitmapImageClass image(width, height, 8);
  image.SetAllPixelsToValue(10);
  for (const auto& b : boxes)
    for (int y = b[1]; y < b[1] + b[3]; ++y)
      for (int x = b[0]; x < b[0] + b[2]; ++x)
        image.GetScanLine(height - 1 - y)[x] = static_cast<std::uint8_t>(level);
  for (const auto& b : boxes)
    image.GetScanLine(height - 1 - (b[1] + b[3] / 2))[b[0] + b[2] / 2] =
        static_cast<std::uint8_t>(level - 50);
  return image;
}

inline std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

inline WellRecord ReadDataSet(const std::string& path) {
  WellRecord well;
  Zelcor_ReadFromDB(path, well);
  return well;
}

// Two scorings of images of the same name wrote the same data set, but for
// the comets' time-stamp names, and the same thumbnails.
inline void ExpectSameResults(const std::string& imageA, const std::string& imageB) {
  WellRecord a = ReadDataSet(DataSetPathOf(imageA));
  WellRecord b = ReadDataSet(DataSetPathOf(imageB));
  ASSERT_EQ(a.CometCount, b.CometCount) << imageA;
  EXPECT_EQ(std::memcmp(static_cast<const WellHeader*>(&a), static_cast<const WellHeader*>(&b),
                        sizeof(WellHeader)),
            0)
      << imageA;
  for (std::uint32_t k = 0; k < a.CometCount; ++k) {
    CometRecord& ca = a.Comets[k];
    CometRecord& cb = b.Comets[k];
    for (const char* type : {".bmp", ".jpg"})
      EXPECT_EQ(ReadFile(ResultFolderOf(imageA) + ImageNameOf(ca) + type),
                ReadFile(ResultFolderOf(imageB) + ImageNameOf(cb) + type))
          << imageA << " comet " << k << type;
    SetImageName(ca, "");
    SetImageName(cb, "");
    EXPECT_EQ(std::memcmp(&ca, &cb, sizeof ca), 0) << imageA << " comet " << k;
  }
}

}  // namespace testing_support
