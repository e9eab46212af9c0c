#include "ShellExecute.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "TestSupport.h"

using namespace testing_support;

namespace {

class ShellExecuteTest : public ::testing::Test {
 protected:
  // A stand-in for the desktop's opener: notes the document it was given and
  // exits with the status given.
  void UseOpener(const std::string& body) {
    const std::string script = dir_ / "opener";
    WriteFile(script, "#!/bin/sh\n" + body + "\n");
    chmod(script.c_str(), 0755);
    SetDocumentOpener(script);
  }
  void TearDown() override { SetDocumentOpener(""); }

  std::string WaitForFile(const std::string& path) {
    for (int i = 0; i < 300 && !Exists(path); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return ReadFile(path);
  }

  TempDir dir_;
  RecordingMessageBoxProvider boxes_;
  ScopedMessageBoxProvider scoped_{boxes_};
  ScopedTraceLog log_;
};

TEST_F(ShellExecuteTest, OpensAnExistingDocumentWithTheOpener) {
  UseOpener("printf '%s' \"$1\" > '" + dir_ / "opened" + "'; exit 0");
  WriteFile(dir_ / "report.txt", "data");
  EXPECT_GT(AnsiString_ShellExecute("open", "report.txt", "", dir_.Path(), 1, false), 32);
  EXPECT_EQ(WaitForFile(dir_ / "opened"), dir_ / "report.txt");
  EXPECT_TRUE(boxes_.Boxes().empty());
  auto messages = log_.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "entering AnsiString_ShellExecute(open, report.txt, , " + dir_.Path() +
                             ", 1, NOT SILENT)...");
  EXPECT_EQ(messages[1], "exiting  AnsiString_ShellExecute(SUCCESS)...");
}

TEST_F(ShellExecuteTest, AWebAddressGoesToTheOpenerAsItIs) {
  UseOpener("printf '%s' \"$1\" > '" + dir_ / "opened" + "'; exit 0");
  EXPECT_GT(AnsiString_ShellExecute("open", "https://example.org/a?b=1", "", dir_.Path(), 1, false),
            32);
  EXPECT_EQ(WaitForFile(dir_ / "opened"), "https://example.org/a?b=1");
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(ShellExecuteTest, AnOpenerThatKeepsRunningHasSucceeded) {
  UseOpener("sleep 5");
  WriteFile(dir_ / "doc.pdf", "%PDF");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_GT(AnsiString_ShellExecute("open", dir_ / "doc.pdf", "", "", 1, true), 32);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
}

TEST_F(ShellExecuteTest, FailuresMapToTheShellsCodesAndMessages) {
  WriteFile(dir_ / "doc.xyz", "x");
  struct Case {
    const char* opener;  // script body; nullptr: no opener exists
    std::string file;
    std::string directory;
    int code;
  };
  const Case cases[] = {
      {"exit 0", dir_ / "missing.txt", "", 2}, {"exit 0", "doc.xyz", dir_ / "nofolder", 3},
      {"exit 3", dir_ / "doc.xyz", "", 31},  // no tool to open this kind of file
      {"exit 4", dir_ / "doc.xyz", "", 31},  // no application for the type
      {"exit 2", dir_ / "doc.xyz", "", 2},     {nullptr, dir_ / "doc.xyz", "", 31},
  };
  for (const auto& c : cases) {
    if (c.opener != nullptr)
      UseOpener(c.opener);
    else
      SetDocumentOpener(dir_ / "no-such-opener");
    EXPECT_EQ(AnsiString_ShellExecute("open", c.file, "", c.directory, 1, false), c.code) << c.file;
    ASSERT_FALSE(boxes_.Boxes().empty());
    EXPECT_EQ(boxes_.Boxes().back().text, ShellExecuteErrorMessage(c.code));
    EXPECT_EQ(boxes_.Boxes().back().caption, "ShellExecute(" + c.file + ")");
  }
  EXPECT_EQ(boxes_.Boxes().size(), std::size(cases));
  auto messages = log_.Messages();
  EXPECT_EQ(messages[1], "ERROR: The specified file was not found.");
  EXPECT_EQ(messages[2], "exiting  AnsiString_ShellExecute(FAILURE)...");
  EXPECT_EQ(messages[7],
            "ERROR: There is no application associated with the given filenamce extension.");
}

TEST_F(ShellExecuteTest, SilentFailureLogsButShowsNoBox) {
  UseOpener("exit 4");
  WriteFile(dir_ / "doc.xyz", "x");
  EXPECT_EQ(AnsiString_ShellExecute("open", dir_ / "doc.xyz", "", "", 1, true), 31);
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(log_.Messages()[1],
            "ERROR: There is no application associated with the given filenamce extension.");
}

TEST(ShellExecuteMessagesTest, TableTexts) {
  EXPECT_EQ(ShellExecuteErrorMessage(28),
            "The DDE transaction could not be completed because\nthe request timed out.");
  EXPECT_EQ(ShellExecuteErrorMessage(5),
            "The operating system denied access to the specified file.");
  EXPECT_EQ(ShellExecuteErrorMessage(1), "Unknown error.");
}

}  // namespace
