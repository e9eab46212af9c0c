// The real microscope images kept beside the project (never in it).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "FieldImageLoader.h"
#include "FolderScoring.h"
#include "TestSupport.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

const std::string kReal = STRANDEX_SOURCE_DIR "/../shared/data/real";

std::vector<std::string> Images(const std::string& folder) {
  std::vector<std::string> paths;
  std::error_code ec;
  for (const auto& e : fs::recursive_directory_iterator(folder, ec))
    if (e.is_regular_file() && IsFieldImageName(e.path().string()))
      paths.push_back(e.path().string());
  std::sort(paths.begin(), paths.end());
  return paths;
}

TEST(RealImagesTest, EveryImageDecodes) {
  if (!fs::is_directory(kReal)) GTEST_SKIP() << kReal << " is absent: no real images to read";
  const auto images = Images(kReal);
  ASSERT_GT(images.size(), 50u);
  for (const auto& path : images) {
    auto image = LoadFieldImage(path);
    ASSERT_NE(image, nullptr) << path;
    EXPECT_EQ(image->Bitmap.bmBitsPixel, 8) << path;
  }
}

TEST(RealImagesTest, AutomaticScoringFindsTheirComets) {
  const std::string source = kReal + "/hicomet";
  if (!fs::is_directory(source)) GTEST_SKIP() << source << " is absent: no real images to score";
  std::ifstream manifest(source + "/manifest.csv");
  const std::string text((std::istreambuf_iterator<char>(manifest)),
                         std::istreambuf_iterator<char>());
  TempDir work, trash;
  ScopedEnv env("XDG_DATA_HOME", trash.Path().c_str());
  int scored = 0;
  for (const auto& path : Images(source + "/images")) {
    if (scored == 3) break;
    const std::string name = fs::path(path).filename().string();
    std::smatch m;
    if (!std::regex_search(
            text, m,
            std::regex("images/" +
                       std::regex_replace(name, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)") +
                       R"(,.*?,~(\d+),)")))
      continue;
    const unsigned approximate = std::stoul(m[1]);
    fs::copy_file(path, work / name);
    const ImageScoreReport report = ScoreImage(work / name, {true, 0, 1}, false);
    ASSERT_EQ(report.outcome, ScoreOutcome::kScored) << name << ": " << report.message;
    EXPECT_GE(report.comets * 3, approximate) << name;  // at least a third of the hand count
    EXPECT_LE(report.comets, approximate * 3) << name;
    ++scored;
  }
  EXPECT_EQ(scored, 3);
}

}  // namespace
