#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <set>

#include "IniFile.h"
#include "TestSupport.h"
#include "UniqueFiles.h"

using namespace testing_support;

namespace {

int ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return static_cast<int>(st.st_mode & 07777);
}

// Sets the process's umask for the lifetime of this object.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : old_(umask(mask)) {}
  ~ScopedUmask() { umask(old_); }

 private:
  mode_t old_;
};

TEST(UniqueFilesTest, NewFilesAndFoldersTakeTheUmasksModes) {
  TempDir dir;
  for (const auto& [mask, file, folder] :
       std::vector<std::tuple<mode_t, int, int>>{{022, 0644, 0755}, {027, 0640, 0750}, {077, 0600, 0700}}) {
    ScopedUmask scoped(mask);
    std::string path;
    const int fd = CreateUniqueFile(dir / "data.cdb.", path);
    ASSERT_GE(fd, 0);
    close(fd);
    EXPECT_EQ(path.rfind(dir / "data.cdb.", 0), 0u) << path;
    EXPECT_EQ(path.size(), (dir / "data.cdb.").size() + 6) << path;
    EXPECT_EQ(ModeOf(path), file);
    ASSERT_TRUE(CreateUniqueFolder(dir / "slide.scoring-", path));
    EXPECT_EQ(ModeOf(path), folder);

    // The settings file: a new one gets the usual mode, an old one keeps its own.
    const std::string ini = dir / ("new" + std::to_string(mask) + ".ini");
    ASSERT_TRUE(IniFile(ini).WriteInteger("main", "ThresholdBar", 40));
    EXPECT_EQ(ModeOf(ini), file);
    chmod(ini.c_str(), 0604);
    ASSERT_TRUE(IniFile(ini).WriteInteger("main", "ThresholdBar", 41));
    EXPECT_EQ(ModeOf(ini), 0604);
  }
}

TEST(UniqueFilesTest, NamesAreNeverTakenTwice) {
  TempDir dir;
  std::set<std::string> names;
  for (int i = 0; i < 200; ++i) {
    std::string path;
    const int fd = CreateUniqueFile(dir / "x.", path);
    ASSERT_GE(fd, 0);
    close(fd);
    EXPECT_TRUE(names.insert(path).second) << path;
  }
}

TEST(UniqueFilesTest, FailuresSayWhy) {
  TempDir dir;
  std::string path;
  EXPECT_EQ(CreateUniqueFile(dir / "missing/x.", path), -1);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(CreateUniqueFolder(dir / "missing/x.", path));
  EXPECT_EQ(errno, ENOENT);
}

}  // namespace
