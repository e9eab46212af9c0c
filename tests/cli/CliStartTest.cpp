// Runs the command-line program as a user would.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <filesystem>

#include "CliFixture.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

TEST_F(CliTest, StartsTheEventLogAndSaysWhere) {
  WriteFile(home_ / "strandex.ini", "[main]\r\nlog_all_events=1\r\n");
  CliRun first = Cli("version");
  ASSERT_EQ(first.status, 0) << first.out;
  EXPECT_TRUE(Contains(first, "Event log: " + home_.Path() + "/strandex-cli.log")) << first.out;
  EXPECT_TRUE(Contains(first, "Settings:  " + home_.Path() + "/strandex.ini")) << first.out;
  auto lines = SplitCrLf(ReadFile(home_ / "strandex-cli.log"));
  ASSERT_GE(lines.size(), 12u);
  EXPECT_EQ(lines[0], "strandex-cli");
  EXPECT_EQ(lines[3], "Version      = " STRANDEX_TEST_VERSION);
  EXPECT_NE(lines[10].find("] - entering main()..."), std::string::npos);

  ASSERT_EQ(Cli("version").status, 0);  // the first run's log is kept aside
  int kept = 0;
  for (const auto& entry : std::filesystem::directory_iterator(home_.Path()))
    kept += entry.path().filename().string().starts_with("strandex-cli 2");
  EXPECT_EQ(kept, 1);
}

TEST_F(CliTest, SynthesiseScoreSummariseExport) {
  CliRun synth = Cli("synth --out fields --fields 3 --width 640 --height 480 --seed 4");
  ASSERT_EQ(synth.status, 0) << synth.out;
  for (const char* name : {"field_01.png", "field_02.bmp", "field_03.jpg"})
    EXPECT_TRUE(Exists(work_ / (std::string("fields/") + name))) << name;

  CliRun score = Cli("score fields --cutoff 40 --jobs 2");
  ASSERT_EQ(score.status, 0) << score.out;
  EXPECT_TRUE(Contains(score, "field_02.bmp: ")) << score.out;
  EXPECT_TRUE(Contains(score, " comets in ")) << score.out;
  EXPECT_TRUE(Exists(work_ / "fields/field_01/field_01.cdb"));

  CliRun summary = Cli("summary fields");
  ASSERT_EQ(summary.status, 0) << summary.out;
  EXPECT_TRUE(Contains(summary, "Tail Olive Moment")) << summary.out;
  EXPECT_TRUE(Contains(summary, "counted")) << summary.out;

  CliRun exported =
      Cli("export fields/field_02.bmp --out out.xls --metrics 1,'Tail %DNA' --bins 4");
  ASSERT_EQ(exported.status, 0) << exported.out;
  const std::string raw = ReadFile(work_ / "out(raw data).xls");
  EXPECT_EQ(raw.substr(0, 36), "Comet\tComet\tTail\t\r\nImage\tLength\tDNA\t");
  EXPECT_TRUE(Exists(work_ / "out(histogram).xls"));

  // Scoring again: --no keeps the results, --yes replaces them.
  const std::string before = ReadFile(work_ / "fields/field_01/field_01.cdb");
  CliRun kept = Cli("score fields/field_01.png --cutoff 60 --no");
  EXPECT_EQ(kept.status, 0) << kept.out;
  EXPECT_TRUE(Contains(kept, "existing results kept")) << kept.out;
  EXPECT_EQ(ReadFile(work_ / "fields/field_01/field_01.cdb"), before);
  CliRun replaced = Cli("score fields/field_01.png --cutoff 60 --yes");
  EXPECT_EQ(replaced.status, 0) << replaced.out;
  EXPECT_NE(ReadFile(work_ / "fields/field_01/field_01.cdb"), before);
}

TEST_F(CliTest, MistakesGetOneClearLine) {
  struct Case {
    const char* arguments;
    int status;
    const char* says;
  };
  WriteFile(work_ / "bad.png", "not a picture");
  WriteFile(work_ / "notes.txt", "x");
  const Case cases[] = {
      {"", 2, "usage: strandex-cli COMMAND"},
      {"frobnicate", 2, "unknown command \"frobnicate\""},
      {"score", 2, "score needs an image or a folder"},
      {"score missing.png --cutoff 40", 1, "missing.png: no such file or folder"},
      {"score notes.txt --cutoff 40", 1, "not a BMP, PNG or JPEG image"},
      {"score bad.png --cutoff 40", 1, "bad.png: FAILED: cannot read the image"},
      {"score bad.png --cutoff 300", 2, "--cutoff takes a grey level from 0 to 255"},
      {"score bad.png --cutoff", 2, "--cutoff needs a value"},
      {"score bad.png", 2, "give a cutoff with --cutoff N, or --auto"},
      {"score bad.png --cutoff 4 --auto", 2, "not both"},
      {"score bad.png --cutoff 40 --jobs 0", 2, "--jobs takes a number"},
      {"score bad.png --bogus", 2, "unknown option --bogus"},
      {"summary", 2, "summary takes one image or folder"},
      {"summary bad.png", 1, "no results yet"},
      {"export bad.png", 2, "export needs --out"},
      {"export bad.png --out x.xls --bins 1", 2, "from 2 to 65535 bins"},
      {"export bad.png --out x.xls --metrics 'Tail Width'", 2, "unknown metric \"Tail Width\""},
      {"synth", 2, "synth needs --out DIR"},
      {"synth --out s --width 10", 2, "--width and --height 64-8192"},
  };
  for (const auto& c : cases) {
    CliRun run = Cli(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.out;
    EXPECT_TRUE(Contains(run, c.says)) << c.arguments << "\n" << run.out;
  }
  for (const char* command : {"score", "summary", "export", "synth"}) {
    CliRun help = Cli(std::string(command) + " --help");
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_TRUE(Contains(help, std::string("usage: strandex-cli ") + command)) << help.out;
  }
}

TEST_F(CliTest, WithoutATerminalExistingResultsAreKept) {
  ASSERT_EQ(Cli("synth --out f --fields 1 --width 320 --height 240").status, 0);
  ASSERT_EQ(Cli("score f/field_01.png --cutoff 40").status, 0);
  const std::string before = ReadFile(work_ / "f/field_01/field_01.cdb");
  CliRun again = Cli("score f/field_01.png --cutoff 50", "echo y");
  EXPECT_EQ(again.status, 0);
  EXPECT_TRUE(Contains(again, "give --yes to replace")) << again.out;
  EXPECT_EQ(ReadFile(work_ / "f/field_01/field_01.cdb"), before);
}

}  // namespace
