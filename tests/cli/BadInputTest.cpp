// Every bad file a user's folder can hold, through the command line: each
// gets a clear message and the right exit status, and no result is lost.
#include <gtest/gtest.h>

#include <filesystem>

#include "BitmapImage.h"
#include "CliFixture.h"
#include "CometDatabase.h"
#include "LittleEndian.h"
#include "TestSupport.h"
#include "TiffBytes.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class BadInputTest : public CliTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(Cli("synth --out good --fields 3 --width 640 --height 480 --seed 9").status, 0);
    ASSERT_EQ(Cli("score good --cutoff 40 --jobs 1").status, 0);
  }
  std::string Bytes(const std::string& name) { return ReadFile(work_ / name); }
  // Every file of a result folder with a digest of its bytes.
  std::map<std::string, std::size_t> Snapshot(const std::string& folder) {
    std::map<std::string, std::size_t> files;
    for (const auto& e : fs::directory_iterator(work_ / folder))
      files[e.path().filename().string()] = std::hash<std::string>{}(ReadFile(e.path().string()));
    return files;
  }
};

TEST_F(BadInputTest, BadImagesFailAloneAndEmptyOnesScoreNothing) {
  fs::create_directories(work_ / "bad");
  const std::string png = Bytes("good/field_01.png");
  const std::string bmp = Bytes("good/field_02.bmp");
  const std::string jpg = Bytes("good/field_03.jpg");
  WriteFile(work_ / "bad/empty.jpg", "");
  WriteFile(work_ / "bad/cut.jpg", jpg.substr(0, jpg.size() / 3));
  WriteFile(work_ / "bad/cut.png", png.substr(0, png.size() / 3));
  WriteFile(work_ / "bad/cut.bmp", bmp.substr(0, bmp.size() / 3));
  WriteFile(work_ / "bad/text.png", "this is a text file\n");
  std::string absurd = bmp.substr(0, 54);
  PutLE32(reinterpret_cast<std::uint8_t*>(absurd.data()) + 18, 100000);
  PutLE32(reinterpret_cast<std::uint8_t*>(absurd.data()) + 22, 100000);
  WriteFile(work_ / "bad/absurd.bmp", absurd);

  auto plain = [&](const std::string& name, int width, int height, int value) {
    BitmapImageClass image(width, height, 8);
    image.SetAllPixelsToValue(value);
    ASSERT_TRUE(image.SaveToFile(work_ / ("bad/" + name)));
  };
  plain("tiny.bmp", 1, 1, 200);
  plain("black.bmp", 200, 150, 0);
  plain("white.bmp", 400, 300, 255);  // one feature, on the border of a large image
  {
    BitmapImageClass specks(1000, 1000, 8);  // ten thousand specks above the cutoff
    specks.SetAllPixelsToValue(0);
    for (int y = 1; y < 1000; y += 10)
      for (int x = 1; x < 1000; x += 10)
        for (int k = 0; k < 9; ++k) specks.GetScanLine(y + k / 3)[x + k % 3] = 250;
    ASSERT_TRUE(specks.SaveToFile(work_ / "bad/specks.bmp"));
    BitmapImageClass border(640, 480, 8);  // comets all cut by the border
    border.SetAllPixelsToValue(0);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) {
        border.GetScanLine(200 + y)[x] = 220;
        border.GetScanLine(y)[300 + x] = 220;
        border.GetScanLine(440 + y)[600 + x] = 220;
      }
    ASSERT_TRUE(border.SaveToFile(work_ / "bad/border.bmp"));
  }

  CliRun run = Cli("score bad --cutoff 40 --jobs 2");
  EXPECT_EQ(run.status, 1) << run.out;
  for (const char* name :
       {"empty.jpg", "cut.jpg", "cut.png", "cut.bmp", "text.png", "absurd.bmp"}) {
    EXPECT_TRUE(Contains(run, std::string(name) + ": FAILED: cannot read the image"))
        << name << run.out;
    EXPECT_FALSE(Exists(work_ / ("bad/" + fs::path(name).stem().string() + "/" +
                                 fs::path(name).stem().string() + ".cdb")))
        << name;
  }
  for (const char* name : {"tiny.bmp", "black.bmp", "white.bmp", "specks.bmp", "border.bmp"})
    EXPECT_TRUE(Contains(run, std::string(name) + ": 0 comets")) << name << run.out;
  EXPECT_FALSE(Contains(run, "Segmentation")) << run.out;
}

TEST_F(BadInputTest, BadTiffsFailAloneWithTheirReason) {
  fs::create_directories(work_ / "tiffs");
  auto recipe = [](int width, int height, int bits, int format = 1) {
    TiffRecipe s;
    s.width = width;
    s.height = height;
    s.bits = bits;
    s.sampleFormat = format;
    if (static_cast<std::int64_t>(width) * height <= 1 << 20)
      s.values.assign(static_cast<std::size_t>(width) * height, bits == 1 ? 1 : 100);
    return s;
  };
  const std::string whole = TiffBytes(recipe(64, 48, 16));
  const struct {
    const char* name;
    std::string bytes;
    std::string reason;
  } cases[] = {
      {"empty.tif", "", "the file is empty"},
      {"cut.tif", whole.substr(0, whole.size() / 3),
       "cut off after " + std::to_string(whole.size() / 3) + " bytes"},
      {"zero.tif", TiffBytes(recipe(0, 0, 8)), "its size is 0 x 0 pixels"},
      {"huge.tif", TiffBytes(recipe(100000, 100000, 16)),
       "its 100000 x 100000 pixels need more than 512 MB"},
      {"onebit.tif", TiffBytes(recipe(64, 48, 1)),
       "its samples are 1-bit; grey or RGB samples of 8 or 16 bits are read"},
      {"float.tiff", TiffBytes(recipe(64, 48, 32, 3)),
       "its samples are floating-point numbers; grey or RGB samples of 8 or 16 bits are read"},
  };
  const std::string folder = "tiffs";  // as the command line names it
  for (const auto& c : cases) WriteFile(work_ / (folder + "/" + c.name), c.bytes);
  WriteFile(work_ / "tiffs/plain.tif", whole);

  CliRun run = Cli("score tiffs --cutoff 40 --jobs 2");
  EXPECT_EQ(run.status, 1) << run.out;
  for (const auto& c : cases) {
    EXPECT_TRUE(Contains(run, std::string(c.name) + ": FAILED: cannot read the image " + folder +
                                  "/" + c.name + ": " + c.reason))
        << c.name << run.out;
    EXPECT_FALSE(Exists(work_ / (folder + "/" + fs::path(c.name).stem().string()))) << c.name;
  }
  // The whole TIFF among them is scored.
  EXPECT_TRUE(Contains(run, "plain.tif: ") && Contains(run, " comets in ")) << run.out;
  EXPECT_TRUE(Exists(work_ / "tiffs/plain/plain.cdb"));
  EXPECT_FALSE(Contains(run, "TIFF"))
      << run.out;  // the decoder's own complaints stay off the terminal
}

TEST_F(BadInputTest, DamagedDatabasesAreReportedNotTrusted) {
  const std::string cdb = "good/field_01/field_01.cdb";
  const std::string good = Bytes(cdb);
  struct Case {
    const char* name;
    std::string bytes;
  };
  std::string version0 = good, foreign = good;
  PutLE32(reinterpret_cast<std::uint8_t*>(version0.data()), 0);
  PutLE32(reinterpret_cast<std::uint8_t*>(foreign.data()) + 4, 4);
  const Case cases[] = {
      {"garbage", std::string(3000, '\x5a')},
      {"truncated", good.substr(0, 500)},
      {"version 0", version0},
      {"foreign type", foreign},
  };
  for (const auto& c : cases) {
    WriteFile(work_ / cdb, c.bytes);
    CliRun summary = Cli("summary good/field_01.png");
    EXPECT_EQ(summary.status, 1) << c.name << summary.out;
    EXPECT_TRUE(Contains(summary, "cannot be read")) << c.name << summary.out;
    CliRun exported = Cli("export good/field_01.png --out x.xls");
    EXPECT_EQ(exported.status, 1) << c.name;
    EXPECT_EQ(Bytes(cdb), c.bytes) << c.name;  // reading never changes it
  }
  // A cut-off comet list reads as far as it goes.
  WriteFile(work_ / cdb, good.substr(0, good.size() - 100));
  CliRun shortened = Cli("summary good/field_01.png");
  EXPECT_EQ(shortened.status, 0) << shortened.out;
}

TEST_F(BadInputTest, StoredNamesNeverBecomePaths) {
  const std::string cdb = work_ / "good/field_02/field_02.cdb";
  WellRecord well;
  ASSERT_TRUE(Zelcor_ReadFromDB(cdb, well));
  SetImageName(well.Comets[0], "../../x");
  SetImageName(well.Comets[1], "");
  ASSERT_TRUE(Zelcor_WriteToDB(cdb, well));
  CliRun exported = Cli("export good/field_02.bmp --out names.xls");
  EXPECT_EQ(exported.status, 0) << exported.out;
  EXPECT_NE(Bytes("names(raw data).xls").find("../../x.bmp\t"), std::string::npos);
  EXPECT_FALSE(Exists(work_ / "x.bmp"));
  EXPECT_FALSE(Exists(work_.Path() + "/../x.bmp"));
}

TEST_F(BadInputTest, AFullDiskKeepsThePreviousResults) {
  const auto before = Snapshot("good/field_01");
  // Files may grow to 2 KB at most: the comet thumbnails do not fit.
  CliRun run = Cli("score good/field_01.png --cutoff 30 --yes", "", "ulimit -f 2; ");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_TRUE(Contains(run, "field_01.png: FAILED: ")) << run.out;
  EXPECT_EQ(Snapshot("good/field_01"), before);
  for (const auto& e : fs::directory_iterator(work_ / "good"))
    EXPECT_EQ(e.path().filename().string().find(".scoring-"), std::string::npos) << e.path();
}

// An export that runs out of room half-way says which file and why, and
// leaves the earlier export of that name whole.
TEST_F(BadInputTest, AFullDiskKeepsThePreviousExport) {
  ASSERT_EQ(Cli("export good --out r.xls --bins 4").status, 0);
  const std::string raw = Bytes("r(raw data).xls"), histogram = Bytes("r(histogram).xls");
  ASSERT_GT(raw.size(), 4096u);
  CliRun run = Cli("export good --out r.xls --bins 5", "", "ulimit -f 4; ");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_TRUE(Contains(run, "cannot write r(raw data).xls: File too large")) << run.out;
  EXPECT_EQ(Bytes("r(raw data).xls"), raw);
  EXPECT_EQ(Bytes("r(histogram).xls"), histogram);
  for (const auto& e : fs::directory_iterator(work_.Path()))
    EXPECT_EQ(e.path().filename().string().find(".xls."), std::string::npos) << e.path();
}

// The command line writes "." whatever the locale of the shell.
TEST_F(BadInputTest, ExportsUnderACommaLocaleUseDecimalPoints) {
  const std::string comma = CommaDecimalLocale();
  if (comma.empty()) GTEST_SKIP() << "no de_DE locale can be made here (localedef missing)";
  ASSERT_EQ(Cli("export good --out p.xls --bins 4").status, 0);
  const CliRun run = Cli("export good --out c.xls --bins 4", "",
                         "LOCPATH='" + std::string(getenv("LOCPATH")) + "' LC_ALL=" + comma + " ");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(Bytes("c(raw data).xls"), Bytes("p(raw data).xls"));
  EXPECT_EQ(Bytes("c(histogram).xls"), Bytes("p(histogram).xls"));
}

TEST_F(BadInputTest, AResultFolderThatCannotBeReplacedIsReported) {
  // A plain file where the staging folder's parent should be writable is
  // hard to arrange as root; an immutable result folder does it where the
  // file system allows.
  if (std::system(("chattr +i '" + work_ / "good/field_03" + "' 2>/dev/null").c_str()) != 0)
    GTEST_SKIP() << "chattr +i is not available on this file system";
  const auto before = Snapshot("good/field_03");
  CliRun run = Cli("score good/field_03.jpg --cutoff 30 --yes");
  std::system(("chattr -i '" + work_ / "good/field_03" + "'").c_str());
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_TRUE(Contains(run, "field_03.jpg: FAILED: ")) << run.out;
  EXPECT_EQ(Snapshot("good/field_03"), before);
}

}  // namespace
