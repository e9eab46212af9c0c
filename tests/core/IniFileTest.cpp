#include "IniFile.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testing_support;

namespace {

class IniFileTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& text) {
    WriteFile(path_, text);
    return path_;
  }
  TempDir dir_;
  std::string path_ = dir_ / "strandex.ini";
};

TEST_F(IniFileTest, FindsKeysWithoutRegardToCase) {
  Write(
      "; settings\r\n"
      "[other]\r\n"
      "ThresholdBar=1\r\n"
      "[Main]\r\n"
      "  thresholdBAR = 128  \r\n"
      ";ThresholdBar=5\r\n"
      "ThresholdBar=77\r\n"  // a duplicate: the first wins
      "Label=\"quoted text\"\r\n"
      "Empty=\r\n");
  IniFile ini(path_);
  EXPECT_EQ(ini.ReadString("MAIN", "ThresholdBar", "x"), "128");
  EXPECT_EQ(ini.ReadString("main", "label", "x"), "quoted text");
  EXPECT_EQ(ini.ReadString("main", "Empty", "x"), "");
  EXPECT_EQ(ini.ReadString("main", "Missing", "x"), "x");
  EXPECT_EQ(ini.ReadString("nosuch", "ThresholdBar", "x"), "x");
  EXPECT_EQ(IniFile(dir_ / "absent.ini").ReadString("main", "ThresholdBar", "x"), "x");
}

TEST_F(IniFileTest, UnixLineEndsReadAsWell) {
  Write("[main]\nlog_all_events=1\nMetricComboBox=4");  // no line end at the very end
  EXPECT_EQ(IniFile(path_).ReadInteger("main", "MetricComboBox", -1), 4);
  EXPECT_EQ(ReadProfileInt("main", "log_all_events", 0, path_), 1);
}

TEST_F(IniFileTest, IntegerReadsTakeTheDefaultUnlessTheWholeValueIsANumber) {
  struct Case {
    const char* value;
    int expected;
  };
  const Case cases[] = {{"42", 42},
                        {"-7", -7},
                        {"+3", 3},
                        {"12abc", -1},
                        {"abc", -1},
                        {"", -1},
                        {"2147483647", 2147483647},
                        {"2147483648", -1},
                        {"-2147483648", -2147483647 - 1},
                        {"1.5", -1}};
  for (const auto& c : cases) {
    Write(std::string("[main]\r\nKey=") + c.value + "\r\n");
    EXPECT_EQ(IniFile(path_).ReadInteger("main", "Key", -1), c.expected) << c.value;
  }
}

TEST_F(IniFileTest, ProfileIntReadsTheLeadingNumber) {
  struct Case {
    const char* value;
    int expected;
  };
  const Case cases[] = {{"1", 1}, {"  12abc", 12}, {"abc", 0},
                        {"", 0},  {"-5x", -5},     {"99999999999", 2147483647}};
  for (const auto& c : cases) {
    Write(std::string("[main]\r\nlog_all_events=") + c.value + "\r\n");
    EXPECT_EQ(ReadProfileInt("main", "log_all_events", 9, path_), c.expected) << c.value;
  }
  EXPECT_EQ(ReadProfileInt("main", "other", 9, path_), 9);
  EXPECT_EQ(ReadProfileInt("main", "log_all_events", 9, dir_ / "absent.ini"), 9);
}

TEST_F(IniFileTest, WritesReplaceOneLineAndKeepEveryOther) {
  Write("; comment\r\n[main]\r\nA=1\r\n\r\nB=2\r\n\r\n[other]\r\nA=5\r\n");
  IniFile ini(path_);
  ASSERT_TRUE(ini.WriteInteger("MAIN", "b", 3));
  EXPECT_EQ(ReadFile(path_), "; comment\r\n[main]\r\nA=1\r\n\r\nb=3\r\n\r\n[other]\r\nA=5\r\n");
  ASSERT_TRUE(ini.WriteString("main", "C", "text"));
  EXPECT_EQ(ReadFile(path_),
            "; comment\r\n[main]\r\nA=1\r\n\r\nb=3\r\nC=text\r\n\r\n[other]\r\nA=5\r\n");
  ASSERT_TRUE(ini.WriteString("third", "X", "1"));
  EXPECT_EQ(ReadFile(path_),
            "; comment\r\n[main]\r\nA=1\r\n\r\nb=3\r\nC=text\r\n\r\n[other]\r\nA=5\r\n"
            "[third]\r\nX=1\r\n");
  EXPECT_EQ(ini.ReadInteger("other", "A", 0), 5);
}

TEST_F(IniFileTest, WritesCreateTheFileAndKeepItsOwnLineEnds) {
  IniFile fresh(dir_ / "new.ini");
  ASSERT_TRUE(fresh.WriteInteger("main", "ThresholdBar", 12));
  EXPECT_EQ(ReadFile(fresh.Path()), "[main]\r\nThresholdBar=12\r\n");

  Write("[main]\nA=1");
  ASSERT_TRUE(IniFile(path_).WriteInteger("main", "B", 2));
  EXPECT_EQ(ReadFile(path_), "[main]\nA=1\nB=2\n");
}

TEST_F(IniFileTest, GarbageIsReadWithoutHarmAndKeptOnWrite) {
  const char raw[] = "\x00\xff[\x01=\x02\n\n==\n[unterminated\n";
  const std::string garbage(raw, sizeof raw - 1);
  Write(garbage);
  IniFile ini(path_);
  EXPECT_EQ(ini.ReadInteger("main", "Key", 7), 7);
  ASSERT_TRUE(ini.WriteInteger("main", "Key", 1));
  EXPECT_EQ(ReadFile(path_), garbage + "[main]\nKey=1\n");
  EXPECT_EQ(ini.ReadInteger("main", "Key", 7), 1);
}

TEST_F(IniFileTest, OversizedFileIsIgnoredAndNeverRewritten) {
  std::string big = "[main]\r\nKey=5\r\n" + std::string(IniFile::kMaxFileSize, ';');
  Write(big);
  IniFile ini(path_);
  EXPECT_EQ(ini.ReadInteger("main", "Key", 7), 7);
  EXPECT_EQ(ReadProfileInt("main", "Key", 7, path_), 7);
  EXPECT_FALSE(ini.WriteInteger("main", "Key", 1));
  EXPECT_EQ(ReadFile(path_).size(), big.size());
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFile) {
  IniFile ini(dir_ / "no/such/folder/strandex.ini");
  EXPECT_FALSE(ini.WriteInteger("main", "Key", 1));
}

}  // namespace
