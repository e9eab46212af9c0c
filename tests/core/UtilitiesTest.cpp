// Time stamps, file versions, sizes, error texts, text files and paths.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <regex>

#include "AppPaths.h"
#include "Documents.h"
#include "FileVersion.h"
#include "SystemInfo.h"
#include "TestSupport.h"
#include "TextFile.h"
#include "Timestamp.h"

using namespace testing_support;

namespace {

TEST(TimestampTest, SixteenDigitsDownToHundredths) {
  EXPECT_EQ(FormatTimestamp({2013, 5, 7, 14, 3, 9, 170}), "2013050714030917");
  // Two moments within one hundredth give one name.
  EXPECT_EQ(FormatTimestamp({2013, 5, 7, 14, 3, 9, 179}), "2013050714030917");
  EXPECT_EQ(FormatTimestamp({2026, 12, 31, 23, 59, 59, 999}), "2026123123595999");
  EXPECT_EQ(FormatTimestamp({2026, 1, 2, 3, 4, 5, 6}), "2026010203040500");
}

TEST(TimestampTest, NowLiesBetweenTwoReadingsOfTheClock) {
  const std::string before = FormatTimestamp(LocalTimeNow());
  const std::string stamp = GetTimestampString();
  const std::string after = FormatTimestamp(LocalTimeNow());
  EXPECT_TRUE(std::regex_match(stamp, std::regex(R"(\d{16})")));
  EXPECT_LE(before, stamp);
  EXPECT_LE(stamp, after);
}

TEST(FileVersionTest, OwnExecutableMissingPathAndForeignFile) {
  RecordingMessageBoxProvider boxes;
  ScopedMessageBoxProvider scoped(boxes);
  EXPECT_EQ(GetFileVersionString(ExecutablePath()), STRANDEX_TEST_VERSION);
  EXPECT_EQ(GetFileVersionString("/no/such/file.exe"), "FILE NOT FOUND");
  EXPECT_TRUE(boxes.Boxes().empty());

  TempDir dir;
  WriteFile(dir / "other", "not a program");
  EXPECT_EQ(GetFileVersionString(dir / "other"), "0.0.0.0");
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "GetFileVersionInfoSizeA()");
}

TEST(SystemInfoTest, FileSizes) {
  TempDir dir;
  WriteFile(dir / "f", std::string(12345, 'x'));
  EXPECT_EQ(GetFileSize64(dir / "f"), 12345u);
  EXPECT_EQ(GetFileSize64(dir / "missing"), 0u);
  EXPECT_EQ(GetFileSize64(dir.Path()), 0u);
}

TEST(SystemInfoTest, LastErrorTextIsTracedAndLeavesTheError) {
  ScopedTraceLog log;
  errno = ENOENT;
  EXPECT_EQ(GetLastErrorAsString(), "No such file or directory");
  EXPECT_EQ(errno, ENOENT);
  auto messages = log.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "entering GetLastErrorAsString()...");
  EXPECT_EQ(messages[1], "exiting  GetLastErrorAsString(No such file or directory)...");
}

TEST(SystemInfoTest, NamesFitTheirBuffers) {
  EXPECT_LT(GetUserNameString().size(), 256u);
  EXPECT_FALSE(GetComputerNameString().empty());
}

TEST(TextFileTest, TextModeWritesCrLfAndBinaryModeBytesAsGiven) {
  TempDir dir;
  {
    TextFile text = OpenTextFile(dir / "t.txt", "w");
    ASSERT_TRUE(text);
    EXPECT_TRUE(text.Write("a\tb\nc\n\n"));
    EXPECT_TRUE(text.Close());
  }
  EXPECT_EQ(ReadFile(dir / "t.txt"), "a\tb\r\nc\r\n\r\n");
  {
    TextFile text = OpenTextFile(dir / "t.txt", "a");
    EXPECT_TRUE(text.Write("d\n"));
  }
  EXPECT_EQ(ReadFile(dir / "t.txt"), "a\tb\r\nc\r\n\r\nd\r\n");
  {
    TextFile binary = OpenTextFile(dir / "b.bin", "wb");
    EXPECT_TRUE(binary.Write("x\ny"));
  }
  EXPECT_EQ(ReadFile(dir / "b.bin"), "x\ny");
  EXPECT_FALSE(OpenTextFile(dir / "missing/t.txt", "w"));
}

TEST(TextFileTest, AFullDiskIsReportedOnClose) {
  TextFile full = OpenTextFile("/dev/full", "w");
  if (!full) GTEST_SKIP() << "/dev/full is not available here";
  full.Write(std::string(1 << 16, 'x'));
  EXPECT_FALSE(full.Close());
}

TEST(AppPathsTest, PathHelpers) {
  struct Case {
    const char* path;
    const char* name;
    const char* folder;
    const char* withoutExtension;
  };
  const Case cases[] = {
      {"/a/b/strandex.log", "strandex.log", "/a/b", "/a/b/strandex"},
      {"/a.b/c", "c", "/a.b", "/a.b/c"},
      {"x.tar.gz", "x.tar.gz", "", "x.tar"},
      {"/top", "top", "/", "/top"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileNameOf(c.path), c.name);
    EXPECT_EQ(FolderOf(c.path), c.folder);
    EXPECT_EQ(RemoveExtension(c.path), c.withoutExtension);
  }
}

TEST(AppPathsTest, HomeVariableChoosesTheFolderOfSettingsAndLog) {
  TempDir dir;
  const std::string home = dir / "home/sub";
  ScopedEnv env("STRANDEX_HOME", home.c_str());
  EXPECT_EQ(SettingsFilePath(), home + "/strandex.ini");
  EXPECT_EQ(EventLogFilePath("strandex"), home + "/strandex.log");
  EXPECT_EQ(EventLogFilePath("strandex-cli"), home + "/strandex-cli.log");
  struct stat st {};
  EXPECT_EQ(stat(home.c_str(), &st), 0);
}

TEST(AppPathsTest, WithoutHomeTheLogIsBesideTheExecutableWhenWritable) {
  ScopedEnv env("STRANDEX_HOME", nullptr);
  const std::string folder = FolderOf(ExecutablePath());
  if (access(folder.c_str(), W_OK) != 0) GTEST_SKIP() << "build folder is not writable";
  EXPECT_EQ(EventLogFilePath("strandex-cli"), folder + "/strandex-cli.log");
}

// Where a program finds the window's settings: beside the window program,
// which is the program itself, its neighbour in one folder, or in the
// sibling folder "app" of the build tree.
TEST(AppPathsTest, EveryProgramFindsTheWindowsSettingsFolder) {
  TempDir dir;
  auto program = [&](const std::string& path) {
    std::filesystem::create_directories(FolderOf(dir / path));
    WriteFile(dir / path, "#!/bin/sh\n");
    chmod((dir / path).c_str(), 0755);
  };
  program("build/app/strandex");
  program("build/cli/strandex-cli");
  program("build/tests/core_tests");
  program("bin/strandex");
  program("bin/strandex-cli");
  program("alone/strandex-cli");
  struct Case {
    const char* executable;
    std::string folder;
  };
  const Case cases[] = {
      {"build/app/strandex", dir / "build/app"},
      {"build/cli/strandex-cli", dir / "build/app"},
      {"build/tests/core_tests", dir / "build/app"},
      {"bin/strandex", dir / "bin"},
      {"bin/strandex-cli", dir / "bin"},
      {"alone/strandex-cli", dir / "alone"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SettingsFolderFor(dir / c.executable), c.folder) << c.executable;
}

// Installed programs keep their settings and logs in the XDG folders even
// where they could write beside themselves (installed by root, or under
// ~/.local); the build tree and a program alone in a folder do not.
TEST(AppPathsTest, InstalledProgramsUseTheXdgFolders) {
  TempDir dir;
  const std::string config = dir / "config", state = dir / "state";
  ScopedEnv configHome("XDG_CONFIG_HOME", config.c_str());
  ScopedEnv stateHome("XDG_STATE_HOME", state.c_str());
  std::filesystem::create_directories(dir / "usr/share/doc/strandex");
  std::filesystem::create_directories(dir / "usr/bin");
  std::filesystem::create_directories(dir / "build/bin");
  for (const char* name : {"usr/bin/strandex", "usr/bin/strandex-cli", "build/bin/strandex"}) {
    WriteFile(dir / name, "#!/bin/sh\n");
    chmod((dir / name).c_str(), 0755);
  }
  for (const char* installed : {"usr/bin/strandex", "usr/bin/strandex-cli"}) {
    SCOPED_TRACE(installed);
    EXPECT_EQ(SettingsFolderFor(dir / installed), config + "/strandex");
    EXPECT_EQ(EventLogFolderFor(dir / installed), state + "/strandex");
  }
  // A folder named bin with no installed documents beside it is no installation.
  EXPECT_EQ(SettingsFolderFor(dir / "build/bin/strandex"), dir / "build/bin");
  EXPECT_EQ(EventLogFolderFor(dir / "build/bin/strandex"), dir / "build/bin");
}

// A window whose folder is not writable keeps its settings in the XDG
// folder, and so does every program that finds it.
TEST(AppPathsTest, AnUnwritableWindowFolderMeansTheXdgFolder) {
  TempDir dir;
  const std::string xdg = dir / "xdg";
  ScopedEnv env("XDG_CONFIG_HOME", xdg.c_str());
  std::filesystem::create_directories(dir / "locked");
  for (const char* name : {"locked/strandex", "locked/strandex-cli"}) {
    WriteFile(dir / name, "#!/bin/sh\n");
    chmod((dir / name).c_str(), 0755);
  }
  chmod((dir / "locked").c_str(), 0555);
  if (access((dir / "locked").c_str(), W_OK) == 0) {
    chmod((dir / "locked").c_str(), 0755);
    GTEST_SKIP() << "running as root: every folder is writable";
  }
  EXPECT_EQ(SettingsFolderFor(dir / "locked/strandex"), xdg + "/strandex");
  EXPECT_EQ(SettingsFolderFor(dir / "locked/strandex-cli"), xdg + "/strandex");
  chmod((dir / "locked").c_str(), 0755);
}

TEST(AppPathsTest, TitleDefaultsToTheExecutablesName) {
  SetApplicationTitle("");
  EXPECT_EQ(GetApplicationTitle(), RemoveExtension(FileNameOf(ExecutablePath())));
  SetApplicationTitle("Quorel Strandex 1.0.0.0");
  EXPECT_EQ(GetApplicationTitle(), "Quorel Strandex 1.0.0.0");
  SetApplicationTitle("");
}

}  // namespace

namespace {

// The manual and the release notes: beside the executable in a build tree,
// in share/doc/strandex/ of an installed prefix.
TEST(DocumentPathTest, BesideTheProgramThenInTheInstalledDocs) {
  const std::string folder = FolderOf(ExecutablePath());
  const std::string name = "document-" + std::to_string(getpid()) + ".txt";
  const std::string beside = folder + "/" + name;
  const std::string installed = FolderOf(folder) + "/share/doc/strandex/" + name;
  EXPECT_EQ(DocumentPath(name), beside);  // neither: the path to report
  ASSERT_TRUE(MakeFolders(FolderOf(installed)));
  testing_support::WriteFile(installed, "x");
  EXPECT_EQ(DocumentPath(name), installed);
  testing_support::WriteFile(beside, "x");
  EXPECT_EQ(DocumentPath(name), beside);
  std::remove(beside.c_str());
  std::remove(installed.c_str());
}

}  // namespace
