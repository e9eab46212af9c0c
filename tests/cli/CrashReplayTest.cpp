// Replays every input the fuzzers ever crashed on: each reader must now
// answer it without harm.
#include <gtest/gtest.h>

#include <filesystem>

#include "BitmapImage.h"
#include "CometDatabase.h"
#include "FieldImageLoader.h"
#include "IniFile.h"
#include "TestSupport.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

const std::string kCrashes = STRANDEX_SOURCE_DIR "/fuzz/crashes";

std::vector<std::string> Inputs(const std::string& kind) {
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(kCrashes + "/" + kind, ec))
    if (e.is_regular_file() && e.path().filename().string()[0] != '.')
      files.push_back(e.path().string());
  return files;
}

TEST(CrashReplayTest, EveryKeptCrashInputIsHarmless) {
  TempDir dir;
  int replayed = 0;
  for (const auto& input : Inputs("cdb")) {
    WellRecord well;
    if (Zelcor_ReadFromDB(input, well)) {
      EXPECT_LE(well.CometCount, WellRecord::kMaxComets) << input;
    }
    ++replayed;
  }
  for (const auto& input : Inputs("bmp")) {
    BitmapImageClass image(input);
    if (!image.IsEmpty()) image.SetBitsPerPixel(8);
    ++replayed;
  }
  for (const auto& input : Inputs("ini")) {
    fs::copy_file(input, dir / "s.ini", fs::copy_options::overwrite_existing);
    IniFile ini(dir / "s.ini");
    ini.WriteInteger("main", "ThresholdBar", 7);
    EXPECT_EQ(ini.ReadInteger("main", "ThresholdBar", 0), 7) << input;
    ++replayed;
  }
  for (const auto& input : Inputs("image")) {
    const std::string bytes = ReadFile(input);
    if (bytes.empty()) continue;
    static const char* const kExtensions[] = {".png", ".jpg", ".bmp", ".tif"};
    const std::string path =
        dir / (std::string("i") + kExtensions[static_cast<unsigned char>(bytes[0]) % 4]);
    WriteFile(path, bytes.substr(1));
    auto image = LoadFieldImage(path);
    if (image != nullptr) {
      EXPECT_EQ(image->Bitmap.bmBitsPixel, 8) << input;
    }
    ++replayed;
  }
  if (replayed == 0) GTEST_SKIP() << "the fuzzers have kept no crash inputs in " << kCrashes;
}

}  // namespace
