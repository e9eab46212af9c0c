#include "RecentFolders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"

using namespace testing_support;

namespace {

class RecentFoldersTest : public ::testing::Test {
 protected:
  TempDir dir_;
  IniFile settings_{dir_ / "strandex.ini"};
};

TEST_F(RecentFoldersTest, NewestFirstEachOnceAndNoMoreThanEight) {
  EXPECT_TRUE(ReadRecentFolders(settings_).empty());
  for (int i = 1; i <= 10; ++i) RememberRecentFolder(settings_, "/data/run" + std::to_string(i));
  // Opening one again moves it to the top instead of listing it twice.
  const auto folders = RememberRecentFolder(settings_, "/data/run5");
  const std::vector<std::string> expected = {"/data/run5", "/data/run10", "/data/run9",
                                             "/data/run8", "/data/run7",  "/data/run6",
                                             "/data/run4", "/data/run3"};
  EXPECT_EQ(folders, expected);
  // What a later start reads back.
  IniFile again(dir_ / "strandex.ini");
  EXPECT_EQ(ReadRecentFolders(again), expected);
  EXPECT_EQ(again.ReadString("recent", "Folder1", ""), "/data/run5");
  EXPECT_EQ(again.ReadString("recent", "Folder8", ""), "/data/run3");
}

TEST_F(RecentFoldersTest, AGoneFolderIsForgottenAndGapsAndRepeatsAreSkipped) {
  WriteFile(dir_ / "strandex.ini",
            "[recent]\r\nFolder1=/a\r\nFolder2=\r\nFolder3=/b\r\nFolder4=/a\r\nFolder9=/x\r\n");
  EXPECT_EQ(ReadRecentFolders(settings_), (std::vector<std::string>{"/a", "/b"}));
  EXPECT_EQ(ForgetRecentFolder(settings_, "/a"), (std::vector<std::string>{"/b"}));
  EXPECT_EQ(ReadRecentFolders(settings_), (std::vector<std::string>{"/b"}));
  EXPECT_EQ(ForgetRecentFolder(settings_, "/not/listed"), (std::vector<std::string>{"/b"}));
  EXPECT_EQ(RememberRecentFolder(settings_, ""), (std::vector<std::string>{"/b"}));
}

// A folder opened by a relative path is remembered as the folder it names,
// so that choosing it from another working folder opens the same one.
TEST_F(RecentFoldersTest, ARelativeFolderIsRememberedWhole) {
  const std::filesystem::path here = std::filesystem::current_path();
  std::filesystem::current_path(dir_.Path());
  const auto folders = RememberRecentFolder(settings_, "./slide1//");
  std::filesystem::current_path(here);
  EXPECT_EQ(folders, (std::vector<std::string>{dir_.Path() + "/slide1/"}));
}

}  // namespace
