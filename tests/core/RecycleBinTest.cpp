#include "RecycleBin.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include "TestSupport.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class RecycleBinTest : public ::testing::Test {
 protected:
  std::string Trash() const { return data_ / "Trash"; }
  std::string Info(const std::string& name) const {
    return ReadFile(Trash() + "/info/" + name + ".trashinfo");
  }

  TempDir data_;
  TempDir work_;
  ScopedEnv env_{"XDG_DATA_HOME", data_.Path().c_str()};
  ScopedTraceLog log_;
};

TEST_F(RecycleBinTest, FileGoesToTheTrashWithItsRecord) {
  const std::string path = work_ / "comet 1%.bmp";
  WriteFile(path, "pixels");
  ASSERT_TRUE(AnsiString_RecycleFile(path, true));
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(ReadFile(Trash() + "/files/comet 1%.bmp"), "pixels");
  const std::string info = Info("comet 1%.bmp");
  EXPECT_TRUE(std::regex_match(
      info,
      std::regex("\\[Trash Info\\]\nPath=" + work_.Path() +
                 "/comet%201%25\\.bmp\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n")))
      << info;
  auto messages = log_.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "entering AnsiString_RecycleFile(" + path + ")...");
  EXPECT_EQ(messages[1], "exiting  AnsiString_RecycleFile(SUCCESS)...");
}

TEST_F(RecycleBinTest, FolderGoesWholeAndNameClashesGetNumbers) {
  for (int round = 0; round < 3; ++round) {
    fs::create_directories(work_ / "image/sub");
    WriteFile(work_ / "image/image.cdb", "round " + std::to_string(round));
    WriteFile(work_ / "image/sub/a.jpg", "jpg");
    ASSERT_TRUE(AnsiString_RecycleFile(work_ / "image/", true));
    EXPECT_FALSE(Exists(work_ / "image"));
  }
  EXPECT_EQ(ReadFile(Trash() + "/files/image/image.cdb"), "round 0");
  EXPECT_EQ(ReadFile(Trash() + "/files/image.2/image.cdb"), "round 1");
  EXPECT_EQ(ReadFile(Trash() + "/files/image.3/sub/a.jpg"), "jpg");
  EXPECT_NE(Info("image.3").find("Path=" + work_.Path() + "/image\n"), std::string::npos);

  WriteFile(work_ / "x.cdb", "1");
  ASSERT_TRUE(AnsiString_RecycleFile(work_ / "x.cdb", true));
  WriteFile(work_ / "x.cdb", "2");
  ASSERT_TRUE(AnsiString_RecycleFile(work_ / "x.cdb", true));
  EXPECT_EQ(ReadFile(Trash() + "/files/x.2.cdb"), "2");
}

TEST_F(RecycleBinTest, MissingPathFailsWithAnErrorLine) {
  EXPECT_FALSE(AnsiString_RecycleFile(work_ / "nothing here", true));
  auto messages = log_.Messages();
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[1], "ERROR: " + RecycleErrorMessage(1026));
  EXPECT_EQ(messages[2], "exiting  AnsiString_RecycleFile(FAILURE)...");
  EXPECT_FALSE(Exists(Trash() + "/info/nothing here.trashinfo"));
}

TEST_F(RecycleBinTest, RefusesToTrashTheTrashOrTheRoot) {
  WriteFile(work_ / "keep", "k");
  ScopedEnv inside("XDG_DATA_HOME", (work_.Path() + "/data").c_str());
  EXPECT_EQ(MoveToTrash(work_.Path()), 118);
  EXPECT_EQ(ReadFile(work_ / "keep"), "k");
  EXPECT_EQ(MoveToTrash("/"), 116);
}

TEST_F(RecycleBinTest, AcrossFileSystemsTheItemIsCopiedWhole) {
  struct stat shm {
  }, trash{};
  fs::create_directories(Trash());
  if (stat("/dev/shm", &shm) != 0 || stat(Trash().c_str(), &trash) != 0 ||
      shm.st_dev == trash.st_dev || access("/dev/shm", W_OK) != 0)
    GTEST_SKIP() << "no second writable file system";
  std::string folder = "/dev/shm/strandex-recycle-XXXXXX";
  ASSERT_NE(mkdtemp(folder.data()), nullptr);
  fs::create_directories(folder + "/results/sub");
  WriteFile(folder + "/results/sub/c.bmp", std::string(100000, 'c'));
  ASSERT_TRUE(AnsiString_RecycleFile(folder + "/results", true));
  EXPECT_FALSE(Exists(folder + "/results"));
  EXPECT_EQ(ReadFile(Trash() + "/files/results/sub/c.bmp"), std::string(100000, 'c'));
  fs::remove_all(folder);
}

TEST(RecycleMessagesTest, TableTextsAndUnknownCodes) {
  EXPECT_EQ(RecycleErrorMessage(118), "The destination is a subtree of the source.");
  EXPECT_EQ(RecycleErrorMessage(65652), "Destination is a root directory and cannot be renamed.");
  EXPECT_EQ(RecycleErrorMessage(7), "UNKNOWN ERROR (7)!!!");
}

}  // namespace
