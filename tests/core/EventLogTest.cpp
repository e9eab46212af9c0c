#include "EventLog.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <regex>

#include "AppPaths.h"
#include "SystemInfo.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

// A clock the test moves by hand.
struct FakeClock {
  LocalTime now{2013, 5, 7, 14, 3, 9, 42};
  std::uint64_t tick = 100000;
  EventLog::Clock Clock() {
    return {[this] { return now; }, [this] { return tick; }};
  }
};

void SetModificationTime(const std::string& path, int year, int month, int day, int hour,
                         int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  timespec times[2] = {{std::mktime(&tm), 0}, {std::mktime(&tm), 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class EventLogTest : public ::testing::Test {
 protected:
  void Enable(int value) {
    WriteFile(ini_, "[main]\r\nlog_all_events=" + std::to_string(value) + "\r\n");
  }
  std::vector<std::string> FileLines() const { return SplitCrLf(ReadFile(logPath_)); }
  // The trace lines after the nine header lines.
  std::vector<std::string> TraceLines() const {
    auto all = FileLines();
    return std::vector<std::string>(all.begin() + std::min<std::size_t>(9, all.size()), all.end());
  }

  TempDir dir_;
  std::string logPath_ = dir_ / "strandex.log";
  std::string ini_ = dir_ / "strandex.ini";
  FakeClock clock_;
  EventLog log_{clock_.Clock()};
};

TEST_F(EventLogTest, HeaderIsWrittenAtEveryStartAndAlignsItsLabels) {
  SetApplicationTitle("strandex");
  log_.Open(logPath_, ini_);
  const std::string text = ReadFile(logPath_);
  auto lines = SplitCrLf(text);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "strandex");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "File Name    = " + FileNameOf(ExecutablePath()));
  EXPECT_EQ(lines[3], "Version      = " STRANDEX_TEST_VERSION);
  EXPECT_TRUE(
      std::regex_match(lines[4], std::regex(R"(Build Date   = \d{4}-\d\d-\d\d, \d\d:\d\d:\d\d)")))
      << lines[4];
  EXPECT_EQ(lines[5], "Current Time = 2013-05-07, 14:03:09");
  EXPECT_EQ(lines[6].substr(0, 15), "Computer     = ");
  EXPECT_EQ(lines[7].substr(0, 15), "User Name    = ");
  EXPECT_EQ(lines[8], "");
  // Every line ends in CR LF; no bare LF anywhere.
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  EXPECT_EQ(std::regex_search(text, std::regex("[^\r]\n")), false);
  SetApplicationTitle("");
}

TEST_F(EventLogTest, DisabledWritesHeaderOnlyButStillKeepsThePreviousRun) {
  WriteFile(logPath_, "previous run\r\n");
  SetModificationTime(logPath_, 2013, 5, 7, 14, 3, 9);
  Enable(0);
  log_.Open(logPath_, ini_);
  log_.Log("entering WinMain()...");

  EXPECT_EQ(ReadFile(dir_ / "strandex 20130507140309.log"), "previous run\r\n");
  EXPECT_EQ(FileLines().size(), 9u);
  EXPECT_FALSE(log_.Enabled());
  EXPECT_EQ(log_.Depth(), 0);
}

TEST_F(EventLogTest, MissingSettingsFileMeansDisabled) {
  log_.Open(logPath_, dir_ / "absent.ini");
  log_.Log("entering WinMain()...");
  EXPECT_EQ(FileLines().size(), 9u);
}

TEST_F(EventLogTest, PreviousLogWithATakenNameIsNeverOverwritten) {
  WriteFile(dir_ / "strandex 20130507140309.log", "older run\r\n");
  WriteFile(logPath_, "previous run\r\n");
  SetModificationTime(logPath_, 2013, 5, 7, 14, 3, 9);
  log_.Open(logPath_, ini_);
  EXPECT_EQ(ReadFile(dir_ / "strandex 20130507140309.log"), "older run\r\n");
  EXPECT_EQ(ReadFile(dir_ / "strandex 20130507140309 (2).log"), "previous run\r\n");
}

TEST_F(EventLogTest, TraceLineFormatAndIndentationFollowTheNestingDepth) {
  Enable(1);
  log_.Open(logPath_, ini_);
  struct Step {
    std::string message;
    std::string indentation;
    int depthAfter;
  };
  const std::vector<Step> steps = {
      {"exiting  Nothing()...", "", 0},  // below zero stays zero
      {"entering A()...", "", 1},
      {"entering B()...", " ", 2},
      {"entering C()...", "  ", 3},
      {"ERROR : TPreferencesForm is undefined!!!", "***", 3},
      {"status text entering here", "   ", 3},  // "entering " not first: no change
      {"exiting  C()...", "  ", 2},
      {"exiting  B(ERROR CREATING RAW DATA FILE)...", "*", 1},
      {"", " ", 1},
      {"exiting  A()...", "", 0},
  };
  for (const auto& step : steps) {
    clock_.tick += 10;
    log_.Log(step.message);
    EXPECT_EQ(log_.Depth(), step.depthAfter) << step.message;
  }
  auto lines = TraceLines();
  ASSERT_EQ(lines.size(), steps.size() + 1);
  EXPECT_EQ(lines[0], "");  // the first line of a run follows a pause since tick 0
  for (std::size_t i = 0; i < steps.size(); ++i)
    EXPECT_EQ(lines[i + 1],
              "[2013/05/07 14:03:09.042] - " + steps[i].indentation + steps[i].message);
}

TEST_F(EventLogTest, EmptyLineSeparatesLinesMoreThanOneSecondApart) {
  Enable(1);
  log_.Open(logPath_, ini_);
  log_.Log("first");
  clock_.tick += 1000;
  log_.Log("second");
  clock_.tick += 1001;
  log_.Log("third");
  auto lines = TraceLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "");
  EXPECT_NE(lines[1].find("first"), std::string::npos);
  EXPECT_NE(lines[2].find("second"), std::string::npos);
  EXPECT_EQ(lines[3], "");
  EXPECT_NE(lines[4].find("third"), std::string::npos);
}

TEST_F(EventLogTest, RotatesOnlyAboveTheSizeLimitAndCarriesTheDepthOver) {
  Enable(1);
  log_.Open(logPath_, ini_);
  log_.Log("entering Outer()...");
  log_.Log("entering Inner()...");
  const std::uint64_t size = GetFileSize64(logPath_);

  log_.SetSizeLimit(size);  // exactly at the limit: no rotation
  log_.Log("at the limit");
  EXPECT_NE(ReadFile(logPath_).find("at the limit"), std::string::npos);

  log_.SetSizeLimit(size);  // now above it
  log_.Log("exiting  Inner()...");

  // The full file went aside with its two closing lines.
  std::string fullName;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Path()))
    if (entry.path().filename().string().starts_with("strandex 2"))
      fullName = entry.path().filename().string();
  ASSERT_TRUE(std::regex_match(fullName, std::regex(R"(strandex \d{14}\.log)"))) << fullName;
  auto full = SplitCrLf(ReadFile(dir_ / fullName));
  ASSERT_GE(full.size(), 2u);
  EXPECT_EQ(full[full.size() - 2], "[2013/05/07 14:03:09.042] -   ");
  EXPECT_EQ(full.back(), "[2013/05/07 14:03:09.042] -   continuing log in another file...");

  // The new file: header, the line naming the full one, then the message.
  auto lines = FileLines();
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[10 - 1],
            "[2013/05/07 14:03:09.042] -   see \"" + fullName + "\" for previous details...");
  EXPECT_EQ(lines[10], "[2013/05/07 14:03:09.042] -  exiting  Inner()...");
  EXPECT_EQ(log_.Depth(), 1);
}

TEST_F(EventLogTest, AnUnwritableLogNeverDisturbsTheCaller) {
  Enable(1);
  const std::string missingFolder = dir_ / "no/such/folder/strandex.log";
  log_.Open(missingFolder, ini_);
  log_.Log("entering A()...");
  log_.Log("entering B()...");
  log_.Log("exiting  B()...");
  EXPECT_EQ(log_.Depth(), 1);
  EXPECT_FALSE(Exists(missingFolder));
}

TEST_F(EventLogTest, ErrorLinesAreWrittenEvenWhenTracingIsOff) {
  Enable(0);
  log_.Open(logPath_, ini_);
  log_.Log("entering A()...");
  log_.Log("ERROR: cannot read the image x.png: the file is empty");
  log_.Log("exiting  A(ERROR READING)...");
  log_.Log("exiting  A()...");
  EXPECT_EQ(log_.Depth(), 0);  // no depth is kept while tracing is off
  auto lines = TraceLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1],
            "[2013/05/07 14:03:09.042] - ERROR: cannot read the image x.png: the file is empty");
  EXPECT_EQ(lines[2], "[2013/05/07 14:03:09.042] - exiting  A(ERROR READING)...");
}

TEST_F(EventLogTest, ParallelJobsMarkTheirLinesAfterTheIndentation) {
  Enable(1);
  log_.Open(logPath_, ini_);
  log_.Log("entering Run()...");
  {
    ScopedLogJob job(2);
    log_.Log("entering Score()...");
    log_.Log("ERROR: disk full");
    log_.Log("exiting  Score()...");
  }
  log_.Log("exiting  Run()...");
  auto lines = TraceLines();
  ASSERT_EQ(lines.size(), 6u);
  const std::string stamp = "[2013/05/07 14:03:09.042] - ";
  EXPECT_EQ(lines[1], stamp + "entering Run()...");
  EXPECT_EQ(lines[2], stamp + " [job 2] entering Score()...");
  EXPECT_EQ(lines[3], stamp + "**[job 2] ERROR: disk full");
  EXPECT_EQ(lines[4], stamp + " [job 2] exiting  Score()...");
  EXPECT_EQ(lines[5], stamp + "exiting  Run()...");
}

// Another process holding the log (a shared lock on it, as every running
// process holds one): a new start appends its header whole and renames
// nothing, and a full file is not rotated until the other has let go.
TEST_F(EventLogTest, ALogInUseIsAppendedToNeverRenamedOrRotated) {
  Enable(1);
  WriteFile(logPath_, "other process\r\n");
  const int other = open(logPath_.c_str(), O_RDONLY);
  ASSERT_GE(other, 0);
  ASSERT_EQ(flock(other, LOCK_SH), 0);

  log_.Open(logPath_, ini_);
  log_.Log("entering A()...");
  auto lines = FileLines();
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "other process");
  EXPECT_EQ(lines[3], "File Name    = " + FileNameOf(ExecutablePath()));
  EXPECT_EQ(lines[9], "");
  EXPECT_EQ(lines[11], "[2013/05/07 14:03:09.042] - entering A()...");
  auto asideFiles = [&] {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path()))
      n += entry.path().filename().string().starts_with("strandex 2");
    return n;
  };
  EXPECT_EQ(asideFiles(), 0);

  log_.SetSizeLimit(10);
  log_.Log("past the limit");
  EXPECT_EQ(asideFiles(), 0);
  EXPECT_EQ(FileLines().back(), "[2013/05/07 14:03:09.042] -  past the limit");

  close(other);  // the other process ends; the file grows on and is rotated
  log_.SetSizeLimit(10);
  log_.Log("rotated");
  EXPECT_EQ(asideFiles(), 1);
  EXPECT_EQ(FileLines().back(), "[2013/05/07 14:03:09.042] -  rotated");
}

TEST_F(EventLogTest, ALogLeftByAnEndedProcessGoesAside) {
  WriteFile(logPath_, "ended process\r\n");
  const int other = open(logPath_.c_str(), O_RDONLY);
  ASSERT_GE(other, 0);
  ASSERT_EQ(flock(other, LOCK_SH), 0);
  close(other);
  log_.Open(logPath_, ini_);
  EXPECT_EQ(FileLines().size(), 9u);
}

TEST_F(EventLogTest, ProcessLogIsSilentUntilOpened) {
  ProcessEventLog() = EventLog();
  LogMessage("entering Anything()...");
  EXPECT_FALSE(EventLogEnabled());
  EXPECT_EQ(ProcessEventLog().Depth(), 0);
}

}  // namespace

namespace {

// The names of the regular files in a folder, sorted.
std::vector<std::string> FileNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Stamp(int day, int second) {
  char text[32];
  std::snprintf(text, sizeof text, "201305%02d1403%02d", day, second);
  return text;
}

}  // namespace

TEST_F(EventLogTest, OnlyTheNewestPreviousLogsAreKept) {
  struct Case {
    const char* setting;  // "log_files_kept" in the settings file; null: absent
    std::size_t kept;     // previous logs of this name left after the start
  };
  const Case cases[] = {{nullptr, 20}, {"3", 3}, {"0", 0}, {"-1", 26}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setting ? c.setting : "absent");
    TempDir dir;
    const std::string logPath = dir / "strandex.log";
    const std::string ini = dir / "strandex.ini";
    WriteFile(ini, c.setting ? std::string("[main]\r\nlog_files_kept=") + c.setting + "\r\n"
                             : std::string("[main]\r\n"));
    // 25 earlier runs, two of them sharing a second, and the live file of
    // the run before this one.
    std::vector<std::string> previous;
    for (int i = 0; i < 24; ++i) previous.push_back("strandex " + Stamp(1 + i, 0) + ".log");
    previous.push_back("strandex " + Stamp(1, 0) + " (2).log");
    for (const auto& name : previous) WriteFile(dir / name, name);
    WriteFile(logPath, "the run before\r\n");
    SetModificationTime(logPath, 2013, 5, 28, 14, 3, 9);
    // Names that only look alike are never touched.
    const std::vector<std::string> others = {
        "strandex-cli " + Stamp(1, 0) + ".log", "strandex " + Stamp(2, 0) + ".txt",
        "strandex 2013.log",  "strandex " + Stamp(3, 0) + " (x).log",
        "notes.log",         "strandex " + Stamp(4, 0) + "(2).log"};
    for (const auto& name : others) WriteFile(dir / name, name);
    std::filesystem::create_directory(std::string(dir / ("strandex " + Stamp(1, 1) + ".log")));

    EventLog log(clock_.Clock());
    log.Open(logPath, ini);

    std::vector<std::string> expected = others;
    expected.push_back("strandex.ini");
    expected.push_back("strandex.log");
    // Oldest first: the day-1 pair (plain before " (2)"), then days 2..24,
    // then the run before this one.
    std::vector<std::string> ordered = {"strandex " + Stamp(1, 0) + ".log",
                                        "strandex " + Stamp(1, 0) + " (2).log"};
    for (int i = 1; i < 24; ++i) ordered.push_back("strandex " + Stamp(1 + i, 0) + ".log");
    ordered.push_back("strandex 20130528140309.log");
    ASSERT_EQ(ordered.size(), 26u);
    expected.insert(expected.end(), ordered.end() - static_cast<long>(c.kept), ordered.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FileNames(dir.Path()), expected);
    EXPECT_TRUE(std::filesystem::is_directory(std::string(dir / ("strandex " + Stamp(1, 1) + ".log"))));
  }
}

TEST_F(EventLogTest, RotationKeepsOnlyTheNewestPreviousLogsToo) {
  WriteFile(ini_, "[main]\r\nlog_all_events=1\r\nlog_files_kept=2\r\n");
  for (int i = 0; i < 3; ++i) WriteFile(dir_ / ("strandex " + Stamp(1 + i, 0) + ".log"), "old");
  log_.Open(logPath_, ini_);  // no previous live file: nothing pruned yet
  EXPECT_EQ(FileNames(dir_.Path()).size(), 5u);

  log_.SetSizeLimit(1);
  log_.Log("past the limit");
  const auto names = FileNames(dir_.Path());
  // The full file and the newest old one remain beside the live file.
  ASSERT_EQ(names.size(), 4u) << ::testing::PrintToString(names);
  EXPECT_EQ(names[0], "strandex " + Stamp(3, 0) + ".log");
  EXPECT_TRUE(std::regex_match(names[1], std::regex(R"(strandex \d{14}\.log)")));
  EXPECT_NE(names[1], names[0]);
  EXPECT_EQ(names[2], "strandex.ini");
  EXPECT_EQ(names[3], "strandex.log");
}
