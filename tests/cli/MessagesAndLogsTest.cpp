// Where the command line's messages go and what they say; its event log,
// shared by concurrent runs; the window's settings seen from the command
// line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QByteArray>
#include <filesystem>
#include <regex>

#include "BitmapImage.h"
#include "CliFixture.h"
#include "ImageFileChecks.h"
#include "LittleEndian.h"
#include "TestSupport.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// A PNG chunk with its length and checksum.
std::string PngChunk(const std::string& type, const std::string& data) {
  std::string chunk(4, '\0');
  for (int i = 0; i < 4; ++i) chunk[i] = static_cast<char>(data.size() >> (24 - 8 * i));
  const std::string body = type + data;
  const std::uint32_t crc = Crc32(body);
  chunk += body;
  for (int i = 0; i < 4; ++i) chunk += static_cast<char>(crc >> (24 - 8 * i));
  return chunk;
}

class MessagesAndLogsTest : public CliTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(Cli("synth --out good --fields 3 --width 640 --height 480 --seed 5").status, 0);
  }
  std::string Bytes(const std::string& name) { return ReadFile(work_ / name); }
  std::string Log() { return ReadFile(home_ / "strandex-cli.log"); }
};

TEST_F(MessagesAndLogsTest, UnreadableImagesSayWhyAndLeaveTheirErrorInTheLog) {
  // Default settings: no settings file, so no trace lines.
  fs::create_directories(work_ / "bad");
  const std::string png = Bytes("good/field_01.png");
  const std::string bmp = Bytes("good/field_02.bmp");
  const std::string jpg = Bytes("good/field_03.jpg");
  std::string absurd = bmp.substr(0, 54), flat = bmp;
  PutLE32(reinterpret_cast<std::uint8_t*>(absurd.data()) + 18, 100000);
  PutLE32(reinterpret_cast<std::uint8_t*>(absurd.data()) + 22, 100000);
  PutLE32(reinterpret_cast<std::uint8_t*>(flat.data()) + 18, 0);
  std::string flipped = png;
  flipped[png.find("IDAT") + 40] ^= 0x55;
  const std::string header = std::string("\0\0\0\x40\0\0\0\x40\x08\0\0\0\0", 13);  // 64 x 64 grey
  const std::string garbled = png.substr(0, 8) + PngChunk("IHDR", header) +
                              PngChunk("IDAT", "\x78\x9c" + std::string(100, '\xff')) +
                              PngChunk("IEND", "");
  // A valid grey PNG of one row of a million and one pixels, all black
  // (its data: the row's filter byte and pixels, packed as zlib does).
  const QByteArray row(1 + 1000001, '\0');
  const std::string wide =
      png.substr(0, 8) + PngChunk("IHDR", std::string("\0\x0f\x42\x41\0\0\0\1\x08\0\0\0\0", 13)) +
      PngChunk("IDAT", qCompress(row).mid(4).toStdString()) + PngChunk("IEND", "");
  struct Case {
    const char* name;
    std::string bytes;
    std::string reason;
  };
  const Case cases[] = {
      {"empty.jpg", "", "the file is empty"},
      {"cut.jpg", jpg.substr(0, 3000), "cut off after 3000 bytes"},
      {"cut.png", png.substr(0, 3000), "cut off after 3000 bytes"},
      {"cut.bmp", bmp.substr(0, 3000),
       "cut off after 3000 of " + std::to_string(bmp.size()) + " bytes"},
      {"text.png", "this is a text file\n", "not a PNG file (it holds text)"},
      {"photo.png", jpg, "not a PNG file (it holds a JPEG image)"},
      {"absurd.bmp", absurd, "its 100000 x 100000 pixels need more than 512 MB"},
      {"flat.bmp", flat, "its size is 0 x 480 pixels"},
      {"flipped.png", flipped, "damaged (its IDAT chunk fails its checksum)"},
      {"garbled.png", garbled, "damaged (its image data cannot be unpacked)"},
      {"wide.png", wide,
       "its 1000001 x 1 pixels have a side longer than 1000000 pixels, more than PNG files are "
       "read with"},
  };
  for (const auto& c : cases) WriteFile(work_ / ("bad/" + std::string(c.name)), c.bytes);
  WriteFile(work_ / "bad/fine.png", png);

  CliRun run = Cli("score bad --cutoff 40 --jobs 2");
  EXPECT_EQ(run.status, 1) << run.out;
  const std::string log = Log();
  for (const auto& c : cases) {
    EXPECT_TRUE(run.stderrText.find(std::string(c.name) + ": FAILED: cannot read the image " +
                                    "bad/" + c.name + ": " + c.reason + "\n") != std::string::npos)
        << c.name << "\n"
        << run.stderrText;
    EXPECT_TRUE(std::regex_search(
        log, std::regex("\\] - (\\[job \\d\\] )?ERROR: bad/" + std::string(c.name) + ": ")))
        << c.name << "\n"
        << log;
    EXPECT_NE(log.find(c.reason), std::string::npos) << c.name;
  }
  // Results on stdout, and nothing else; the decoder's own complaints
  // reach no one.
  EXPECT_NE(run.stdoutText.find("fine.png: "), std::string::npos) << run.stdoutText;
  for (const char* text : {"FAILED", "ERROR", "cannot", "libpng", "warning"})
    EXPECT_EQ(run.stdoutText.find(text), std::string::npos) << text << "\n" << run.stdoutText;
  EXPECT_EQ(run.stderrText.find("libpng"), std::string::npos) << run.stderrText;
}

TEST_F(MessagesAndLogsTest, AnImageThatCannotBeOpenedSaysSo) {
  WriteFile(work_ / "locked.png", Bytes("good/field_01.png"));
  chmod((work_ / "locked.png").c_str(), 0);
  if (access((work_ / "locked.png").c_str(), R_OK) == 0)
    GTEST_SKIP() << "running as root: every file is readable";
  CliRun run = Cli("score locked.png --cutoff 40");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.stderrText.find("locked.png: permission denied"), std::string::npos)
      << run.stderrText;
  EXPECT_EQ(run.stdoutText, "");
}

TEST_F(MessagesAndLogsTest, DamagedDatabasesSayWhyAndASummaryKeepsStdoutClean) {
  ASSERT_EQ(Cli("score good --cutoff 40 --jobs 1").status, 0);
  const std::string cdb = "good/field_01/field_01.cdb";
  const std::string good = Bytes(cdb);
  std::string version0 = good, foreign = good;
  PutLE32(reinterpret_cast<std::uint8_t*>(version0.data()), 0);
  PutLE32(reinterpret_cast<std::uint8_t*>(foreign.data()) + 4, 4);
  struct Case {
    const char* name;
    std::string bytes;
    const char* reason;
  };
  const Case cases[] = {
      {"short", good.substr(0, 5), "cut off after 5 bytes"},
      {"truncated", good.substr(0, 500), "cut off after 500 bytes, inside its header"},
      {"version 0", version0, "a database of an unknown version (0)"},
      {"foreign type", foreign, "a database of another kind (type 4), not comet results"},
  };
  for (const auto& c : cases) {
    WriteFile(work_ / cdb, c.bytes);
    CliRun one = Cli("summary good/field_01.png");
    EXPECT_EQ(one.status, 1) << c.name;
    EXPECT_NE(one.stderrText.find("cannot be read: " + std::string(c.reason)), std::string::npos)
        << c.name << "\n"
        << one.stderrText;
    EXPECT_EQ(one.stdoutText, "") << c.name;

    // The folder's summary counts the others; the table alone goes to stdout.
    CliRun folder = Cli("summary good");
    EXPECT_EQ(folder.status, 0) << c.name << folder.out;
    EXPECT_NE(folder.stderrText.find(std::string("(") + c.reason + "); its comets are not counted"),
              std::string::npos)
        << c.name << "\n"
        << folder.stderrText;
    EXPECT_NE(folder.stdoutText.find("Tail Olive Moment"), std::string::npos);
    for (const char* text : {"ERROR", "cannot", "warning", "field_01"})
      EXPECT_EQ(folder.stdoutText.find(text), std::string::npos) << c.name << ": " << text;
    EXPECT_NE(Log().find("ERROR: "), std::string::npos);
  }
}

TEST_F(MessagesAndLogsTest, AFailedScoreWritesNoErrorToStdout) {
  ASSERT_EQ(Cli("score good --cutoff 40 --jobs 1").status, 0);
  // Files may grow to 2 KB at most: the comet thumbnails do not fit.
  CliRun run = Cli("score good/field_01.png --cutoff 30 --yes", "", "ulimit -f 2; ");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_EQ(run.stdoutText, "");
  EXPECT_NE(run.stderrText.find("field_01.png: FAILED: "), std::string::npos) << run.stderrText;
  EXPECT_NE(run.stderrText.find(": file too large"), std::string::npos) << run.stderrText;
}

// Two runs at once in one home: whatever their timing, every log file holds
// whole headers and whole lines, the previous run's log is kept untouched,
// and each run's lines are there.
TEST_F(MessagesAndLogsTest, ConcurrentRunsLeaveWholeLogs) {
  WriteFile(home_ / "strandex.ini", "[main]\r\nlog_all_events=1\r\n");
  WriteFile(home_ / "strandex-cli.log", "previous run\r\n");
  fs::copy(work_ / "good", work_ / "other");
  const std::string command = "cd '" + work_.Path() + "' && export STRANDEX_HOME='" + home_.Path() +
                              "' XDG_DATA_HOME='" + home_.Path() +
                              "/data'; for f in good other; do '" + STRANDEX_CLI +
                              "' score $f --cutoff 40 --jobs 2 >/dev/null 2>&1 & done; wait";
  ASSERT_EQ(std::system(command.c_str()), 0);

  const std::regex trace(
      R"(\[\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\.\d{3}\] - [ *]*(\[job [12]\] )?[^\[]*)");
  const std::vector<std::string> headerStarts = {"strandex-cli",
                                                 "",
                                                 "File Name    = strandex-cli",
                                                 "Version      = ",
                                                 "Build Date   = ",
                                                 "Current Time = ",
                                                 "Computer     = ",
                                                 "User Name    = ",
                                                 ""};
  int headers = 0, previous = 0, mains = 0, exits = 0, jobLines = 0;
  for (const auto& entry : fs::directory_iterator(home_.Path())) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("strandex-cli") || !name.ends_with(".log")) continue;
    const std::string text = ReadFile(entry.path().string());
    if (text == "previous run\r\n") {
      ++previous;
      continue;
    }
    const auto lines = SplitCrLf(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i] == "strandex-cli") {
        ASSERT_LE(i + headerStarts.size(), lines.size()) << name;
        for (std::size_t k = 0; k < headerStarts.size(); ++k)
          EXPECT_TRUE(lines[i + k].starts_with(headerStarts[k])) << name << ": " << lines[i + k];
        ++headers;
        i += headerStarts.size() - 1;
        continue;
      }
      if (lines[i].empty()) continue;
      EXPECT_TRUE(std::regex_match(lines[i], trace)) << name << ": " << lines[i];
      mains += lines[i].ends_with("] - entering main()...");
      exits += lines[i].ends_with("] - exiting  main(0)...");
      jobLines += lines[i].find("[job 2] entering ") != std::string::npos;
    }
  }
  EXPECT_EQ(previous, 1);
  EXPECT_EQ(headers, 2);
  EXPECT_EQ(mains, 2);
  EXPECT_EQ(exits, 2);
  EXPECT_GT(jobLines, 0);
}

// Laid out as in the build tree (app/ and cli/ side by side) without
// STRANDEX_HOME, the command line takes the window's cutoff from the
// window's settings file and keeps its own log beside itself.
TEST_F(MessagesAndLogsTest, TheCommandLineReadsTheWindowsSettings) {
  fs::create_directories(work_ / "tree/app");
  fs::create_directories(work_ / "tree/cli");
  WriteFile(work_ / "tree/app/strandex", "#!/bin/sh\n");
  chmod((work_ / "tree/app/strandex").c_str(), 0755);
  fs::copy_file(STRANDEX_CLI, work_ / "tree/cli/strandex-cli");
  WriteFile(work_ / "tree/app/strandex.ini", "[main]\r\nThresholdBar=45\r\n");
  const std::string cli = work_ / "tree/cli/strandex-cli";
  const std::string run = "cd '" + work_.Path() + "' && unset STRANDEX_HOME; XDG_DATA_HOME='" +
                          home_.Path() + "/data' '" + cli + "' ";
  EXPECT_EQ(std::system((run + "score good/field_01.png >/dev/null 2>&1").c_str()), 0);
  EXPECT_TRUE(Exists(work_ / "good/field_01/field_01.cdb"));
  EXPECT_TRUE(Exists(work_ / "tree/cli/strandex-cli.log"));
  EXPECT_FALSE(Exists(work_ / "tree/cli/strandex.ini"));
  EXPECT_FALSE(Exists(work_ / "tree/app/strandex-cli.log"));

  // Without the slider's position the cutoff must be given.
  WriteFile(work_ / "tree/app/strandex.ini", "[main]\r\n");
  EXPECT_NE(std::system((run + "score good/field_02.bmp >/dev/null 2>&1").c_str()), 0);
  EXPECT_FALSE(Exists(work_ / "good/field_02/field_02.cdb"));
}

}  // namespace
