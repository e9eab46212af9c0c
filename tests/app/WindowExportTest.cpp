// Export and debugging commands of the window: the spreadsheet against the
// command line's, its refusals, the file names, the locale; Export BMP,
// Build Composite, and the shortcuts of the hidden items.
#include <sys/stat.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <clocale>
#include <cstring>
#include <sstream>

#include "CometDatabase.h"
#include "CometMetrics.h"
#include "DocumentOpenings.h"
#include "ExportCommands.h"
#include "PreferencesForm.h"
#include "ShellExecute.h"
#include "SpreadsheetExport.h"
#include "WindowFixture.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class WindowExportTest : public WindowTest {
 protected:
  void SetUp() override { SetDocumentOpener("true"); }  // opens nothing, succeeds
  void TearDown() override { SetDocumentOpener(""); }

  // The window with its preferences, save dialogs answered from the script.
  std::unique_ptr<TMainApplicationForm> StartWithPreferences() {
    auto window = Start();
    window->CreatePreferences();
    PathChooser chooser;
    chooser.file = [this](QWidget*) { return chosenFile_; };
    chooser.folder = [this](QWidget*) { return chosenFolder_; };
    chooser.spreadsheet = [this](QWidget*) {
      ++saveDialogs_;
      return chosenSave_;
    };
    chooser.bitmap = [this](QWidget*) {
      ++saveDialogs_;
      return chosenSave_;
    };
    window->SetPathChooser(chooser);
    return window;
  }

  // An image scored in the window.
  std::string ScoredImage(TMainApplicationForm& window) {
    const std::vector<std::string> fields = MakeFields(images_ / "fields", 1);
    window.OpenFile(fields[0]);
    Score(window);
    EXPECT_GT(window.Workspace().DataSet().CometCount, 3u);
    return fields[0];
  }

  static void Choose(TMainApplicationForm& window, const std::vector<int>& metrics,
                     const std::string& buckets) {
    QListWidget* list = window.Preferences()->MetricsCheckList();
    for (int k = 0; k < list->count(); ++k) list->item(k)->setCheckState(Qt::Unchecked);
    for (int k : metrics) list->item(k)->setCheckState(Qt::Checked);
    window.Preferences()->HistogramBucketCountEdit()->setText(QString::fromStdString(buckets));
  }

  // Runs the command-line export of an image or folder.
  int CliExport(const std::string& path, const std::string& out, const std::string& metrics,
                const std::string& buckets) {
    const std::string command = "STRANDEX_HOME='" + home_.Path() + "' '" STRANDEX_CLI "' export '" +
                                path + "' --out '" + out + "' --metrics " + metrics + " --bins " +
                                buckets + " >/dev/null 2>&1";
    return std::system(command.c_str());
  }

  // Both files of two exports hold the same bytes, but for the order of the
  // comet rows: the window writes them in the order its grid shows them
  // (sorted by the metric on view), the command line in the data set's
  // order. The raw data is returned.
  static std::string ExpectSameFiles(const std::string& chosen, const std::string& other) {
    const SpreadsheetFiles a = SpreadsheetFileNames(chosen), b = SpreadsheetFileNames(other);
    const std::string raw = ReadFile(a.rawData);
    EXPECT_TRUE(Exists(a.rawData) && Exists(b.rawData));
    auto rows = [](const std::string& text) {
      std::vector<std::string> lines = SplitCrLf(text);
      if (lines.size() > 3) std::sort(lines.begin() + 3, lines.end());  // after the 3 header lines
      return lines;
    };
    EXPECT_EQ(rows(raw), rows(ReadFile(b.rawData)));
    EXPECT_EQ(raw.size(), ReadFile(b.rawData).size());
    EXPECT_EQ(ReadFile(a.histogram), ReadFile(b.histogram));
    return raw;
  }

  static std::vector<std::string> Exits(const ScopedTraceLog& log) {
    std::vector<std::string> exits;
    for (const std::string& m : log.Messages())
      if (m.find("SaveAsSpreadsheetMenuItemClick") != std::string::npos) exits.push_back(m);
    return exits;
  }

  // The desktop's opener replaced by a script that appends each document
  // it is given to `record`, one a line.
  void UseRecordingOpener(const std::string& record) {
    const std::string script = images_ / "opener";
    WriteFile(script, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + record + "'\n");
    chmod(script.c_str(), 0755);
    SetDocumentOpener(script);
  }

  std::optional<std::string> chosenSave_;
  int saveDialogs_ = 0;
};

constexpr const char* kClick = "TMainApplicationForm::SaveAsSpreadsheetMenuItemClick";

// The same data set, metrics and bin count give the same bytes from the
// window as from the command line, also under a desktop locale that writes
// a decimal comma (the toolkit hands the user's locale to the C library).
TEST_F(WindowExportTest, WindowAndCommandLineWriteTheSameBytes) {
  auto window = StartWithPreferences();
  const std::string image = ScoredImage(*window);
  struct Case {
    std::vector<int> metrics;
    std::string buckets, cliMetrics;
    bool commaLocale;
  };
  const std::vector<Case> cases = {
      {{kCometLength, kTailMoment}, "7", "1,16", false},
      {{0, 3, 10, 15, 17}, "100", "0,3,10,15,17", false},
      {{kCometLength, kTailMoment}, "7", "1,16", true},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n);
    const std::string name = "run" + std::to_string(n++);
    ASSERT_EQ(CliExport(image, images_ / (name + "cli.xls"), c.cliMetrics, c.buckets), 0);
    Choose(*window, c.metrics, c.buckets);
    chosenSave_ = images_ / (name + "window.xls");
    std::string comma;
    if (c.commaLocale) {
      comma = CommaDecimalLocale();
      if (comma.empty()) continue;  // this machine cannot make one
      ASSERT_NE(std::setlocale(LC_ALL, comma.c_str()), nullptr);
    }
    window->Command("SaveAsSpreadsheetMenuItem")->trigger();
    if (c.commaLocale) {
      char probe[16];
      std::snprintf(probe, sizeof probe, "%.1f", 1.5);
      EXPECT_STREQ(probe, "1,5");  // the locale was in force throughout
      std::setlocale(LC_ALL, "C");
    }
    EXPECT_TRUE(boxes_.Boxes().empty());
    const std::string raw = ExpectSameFiles(*chosenSave_, images_ / (name + "cli.xls"));
    const std::string histogram = ReadFile(SpreadsheetFileNames(*chosenSave_).histogram);
    EXPECT_EQ(std::count(raw.begin(), raw.end(), '\n'),
              3 + static_cast<long>(window->Workspace().DataSet().CometCount));
    EXPECT_EQ(histogram.find(','), std::string::npos);
    EXPECT_EQ(raw.find(','), std::string::npos);
    // Every line ends TAB CR LF, but for the last bin label of a histogram.
    for (const std::string& line : SplitCrLf(raw))
      if (!line.empty()) {
        EXPECT_EQ(line.back(), '\t') << line;
      }
    EXPECT_EQ(std::count(raw.begin(), raw.end(), '\n'), std::count(raw.begin(), raw.end(), '\r'));
    EXPECT_EQ(std::count(histogram.begin(), histogram.end(), '\n'),
              std::count(histogram.begin(), histogram.end(), '\r'));
  }
}

// The folder summary exports as the command line exports the folder.
TEST_F(WindowExportTest, FolderSummaryWritesTheSameBytesAsTheCommandLine) {
  auto window = StartWithPreferences();
  const std::string folder = images_ / "folder";
  MakeFields(folder, 3);
  window->OpenFolder(folder);
  Score(*window);  // the root is selected: every image
  window->OpenFolder(folder);
  const std::uint32_t comets = window->Workspace().DataSet().CometCount;
  ASSERT_GT(comets, 6u);
  Choose(*window, {kCometArea, kTailDNA}, "9");
  chosenSave_ = images_ / "summary.xls";
  window->Command("SaveAsSpreadsheetMenuItem")->trigger();
  EXPECT_TRUE(boxes_.Boxes().empty());
  ASSERT_EQ(CliExport(folder, images_ / "cli.xls", "3,15", "9"), 0);
  const std::string raw = ExpectSameFiles(*chosenSave_, images_ / "cli.xls");
  EXPECT_EQ(SplitCrLf(raw).size(), 3 + comets);
}

// A finished export: the trace balances every fopen, the raw data opens at
// once and the histogram a second later, while the window goes on answering.
TEST_F(WindowExportTest, ExportTracesBalancedAndOpensBothFiles) {
  const std::string opened = images_ / "opened";
  UseRecordingOpener(opened);
  auto window = StartWithPreferences();
  ScoredImage(*window);
  chosenSave_ = images_ / "t.xls";
  const SpreadsheetFiles files = SpreadsheetFileNames(*chosenSave_);
  ScopedTraceLog log;
  window->Command("SaveAsSpreadsheetButton")->trigger();
  const std::vector<std::string> messages = log.Messages();
  const std::vector<std::string> expected = {
      "entering " + std::string(kClick) + "()...",
      "entering TSaveDialog::Execute()...",
      "exiting  TSaveDialog::Execute(" + *chosenSave_ + ")...",
      "entering fopen(" + files.rawData + ")...",
      "exiting  fopen(" + files.rawData + ")...",
      "exporting selected metrics to file...",
      "entering fopen(" + files.histogram + ")...",
      "exiting  fopen(" + files.histogram + ")...",
  };
  auto at = messages.begin();
  for (const std::string& line : expected) {
    at = std::find(at, messages.end(), line);
    EXPECT_NE(at, messages.end()) << line;  // present, in this order
  }
  EXPECT_EQ(Exits(log).back(), "exiting  " + std::string(kClick) + "()...");
  int depth = 0;
  for (const std::string& m : messages) depth += m.rfind("entering ", 0) == 0 ? 1 : 0;
  for (const std::string& m : messages) depth -= m.rfind("exiting  ", 0) == 0 ? 1 : 0;
  EXPECT_EQ(depth, 0);
  EXPECT_TRUE(Exists(files.rawData));
  EXPECT_TRUE(Exists(files.histogram));

  // The command has returned while the files are still being opened, the
  // raw data first, the histogram after it.
  EXPECT_TRUE(window->Exports()->Openings()->Pending());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Exports()->Openings()->Pending(); }, 10000));
  EXPECT_EQ(ReadFile(opened), files.rawData + "\n" + files.histogram + "\n");
  EXPECT_TRUE(boxes_.Boxes().empty());
}

// An image opened but never scored: both files hold their headers, every
// histogram count is 0, and both are opened.
TEST_F(WindowExportTest, ADataSetWithoutCometsExportsItsHeaders) {
  const std::string opened = images_ / "opened";
  UseRecordingOpener(opened);
  auto window = StartWithPreferences();
  window->OpenFile(MakeFields(images_ / "fields", 1)[0]);
  ASSERT_NE(window->CurrentImage(), nullptr);
  ASSERT_EQ(window->Workspace().DataSet().CometCount, 0u);
  Choose(*window, {kCometLength, kHeadDNA}, "2");
  chosenSave_ = images_ / "empty.xls";
  window->Command("SaveAsSpreadsheetMenuItem")->trigger();
  EXPECT_TRUE(boxes_.Boxes().empty());
  const SpreadsheetFiles files = SpreadsheetFileNames(*chosenSave_);
  EXPECT_EQ(ReadFile(files.rawData),
            "Comet\tComet\tHead\t\r\nImage\tLength\tDNA\t\r\n\t(px)\t(%)\t\r\n");
  const std::vector<std::string> lines = SplitCrLf(ReadFile(files.histogram));
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[1], "Comet Length (px)\t0.000000\t0.000000\t");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[4], "Head DNA (%)\t0.000000\t0.000000\t");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Exports()->Openings()->Pending(); }, 10000));
  EXPECT_EQ(ReadFile(opened), files.rawData + "\n" + files.histogram + "\n");
}

// Deleted comets are in neither file; comets left out of the statistics
// (filtered, outside the display window) are in both.
TEST_F(WindowExportTest, DeletedCometsAreLeftOutAndExcludedOnesKept) {
  auto window = StartWithPreferences();
  const std::string image = ScoredImage(*window);
  const std::string dataSet = window->Workspace().DataSetPath();
  WellRecord well;
  ASSERT_TRUE(Zelcor_ReadFromDB(dataSet, well));
  ASSERT_GE(well.CometCount, 3u);
  well.Comets[0].Deleted = 1;
  well.Comets[1].Included = 0;
  const std::string deleted = ImageNameOf(well.Comets[0]), excluded = ImageNameOf(well.Comets[1]);
  Zelcor_ComputeWellStatistics(well);
  ASSERT_TRUE(Zelcor_WriteToDB(dataSet, well));
  const std::uint32_t comets = well.CometCount;
  window->OpenFile(image);  // reads the changed data set

  Choose(*window, {kCometArea}, "3");
  chosenSave_ = images_ / "d.xls";
  window->Command("SaveAsSpreadsheetMenuItem")->trigger();
  const SpreadsheetFiles files = SpreadsheetFileNames(*chosenSave_);
  const std::string raw = ReadFile(files.rawData);
  EXPECT_EQ(raw.find("\n" + deleted + ".bmp\t"), std::string::npos) << raw;
  EXPECT_NE(raw.find("\n" + excluded + ".bmp\t"), std::string::npos) << raw;
  EXPECT_EQ(SplitCrLf(raw).size(), 3 + comets - 1);
  // The counts of the one histogram add up to the undeleted comets.
  const std::vector<std::string> lines = SplitCrLf(ReadFile(files.histogram));
  ASSERT_GE(lines.size(), 2u);
  double counted = 0;
  std::istringstream counts(lines[1].substr(lines[1].find('\t')));
  for (double n; counts >> n;) counted += n;
  EXPECT_EQ(counted, comets - 1);
}

TEST_F(WindowExportTest, NoMetricCheckedWritesOnlyTheImageColumn) {
  auto window = StartWithPreferences();
  ScoredImage(*window);
  Choose(*window, {}, "100");
  chosenSave_ = images_ / "none.xls";
  window->Command("SaveAsSpreadsheetMenuItem")->trigger();
  const SpreadsheetFiles files = SpreadsheetFileNames(*chosenSave_);
  const std::string raw = ReadFile(files.rawData);
  ASSERT_EQ(raw.rfind("Comet\t\r\nImage\t\r\n\t\r\n", 0), 0u) << raw;
  const std::vector<std::string> lines = SplitCrLf(raw.substr(19));
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    EXPECT_EQ(line.substr(line.size() - 5), ".bmp\t") << line;
  }
  EXPECT_TRUE(Exists(files.histogram));
  EXPECT_EQ(ReadFile(files.histogram), "");
}

// The checks come first, in their order: no image, then the bin count.
TEST_F(WindowExportTest, RefusedWithoutAnImageOrWithTooFewBins) {
  {
    auto window = StartWithPreferences();
    Choose(*window, {1}, "1");  // no data is said before the bin count
    ScopedTraceLog log;
    window->Command("SaveAsSpreadsheetMenuItem")->trigger();
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text,
              "Unable to export data. No data exists.\nPlease select an image or image set.");
    EXPECT_EQ(boxes_.Boxes()[0].caption, "Save as Spreadsheet");
    EXPECT_EQ(Exits(log).back(), "exiting  " + std::string(kClick) + "(NO DATA)...");
  }
  auto window = StartWithPreferences();
  ScoredImage(*window);
  chosenSave_ = images_ / "bins.xls";
  // The count is taken as a 16-bit unsigned number: "65536" is 0, "65537"
  // and "-65535" are 1; text without digits converts to 0.
  for (const char* buckets : {"1", "0", "none", "", "65536", "65537", "-65535"}) {
    SCOPED_TRACE(buckets);
    const std::size_t shown = boxes_.Boxes().size();
    Choose(*window, {1}, buckets);
    ScopedTraceLog log;
    window->Command("SaveAsSpreadsheetMenuItem")->trigger();
    ASSERT_EQ(boxes_.Boxes().size(), shown + 1);
    EXPECT_EQ(boxes_.Boxes().back().text, "Number of bins in histogram\nmust be greater than 1.");
    EXPECT_EQ(boxes_.Boxes().back().caption, "Preferences");
    const std::vector<std::string> messages = log.Messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "ERROR : Histogram bucket count = " + std::string(buckets)),
              messages.end());
    EXPECT_EQ(Exits(log).back(), "exiting  " + std::string(kClick) + "(BIN COUNT)...");
  }
  EXPECT_EQ(saveDialogs_, 0);
  EXPECT_FALSE(Exists(SpreadsheetFileNames(*chosenSave_).rawData));
}

TEST_F(WindowExportTest, CancellingTheDialogWritesNothing) {
  auto window = StartWithPreferences();
  ScoredImage(*window);
  chosenSave_.reset();
  ScopedTraceLog log;
  window->Command("SaveAsSpreadsheetMenuItem")->trigger();
  EXPECT_EQ(saveDialogs_, 1);
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(Exits(log).back(), "exiting  " + std::string(kClick) + "(ABORTED)...");
  EXPECT_FALSE(window->Exports()->Openings()->Pending());
}

TEST_F(WindowExportTest, TheChosenNameNamesTheTwoFilesAndIsLeftAlone) {
  auto window = StartWithPreferences();
  ScoredImage(*window);
  WriteFile(images_ / "results.txt", "kept");
  chosenSave_ = images_ / "results.txt";
  window->Command("SaveAsSpreadsheetMenuItem")->trigger();
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(ReadFile(images_ / "results.txt"), "kept");
  EXPECT_TRUE(Exists(images_ / "results(raw data).txt"));
  EXPECT_TRUE(Exists(images_ / "results(histogram).txt"));
}

// A file that cannot be made stops the export with a box that says which
// file and why; nothing is opened.
TEST_F(WindowExportTest, AFileThatCannotBeMadeIsReportedWithItsReason) {
  auto window = StartWithPreferences();
  ScoredImage(*window);
  struct Case {
    std::string chosen, word, failing;
  };
  fs::create_directories(images_ / "blocked(histogram).xls");  // a folder in the way
  const std::vector<Case> cases = {
      {images_ / "missing/r.xls", "ERROR CREATING RAW DATA FILE",
       images_ / "missing/r(raw data).xls"},
      {images_ / "blocked.xls", "ERROR CREATING HISTOGRAM FILE",
       images_ / "blocked(histogram).xls"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    const std::size_t shown = boxes_.Boxes().size();
    chosenSave_ = c.chosen;
    ScopedTraceLog log;
    window->Command("SaveAsSpreadsheetMenuItem")->trigger();
    ASSERT_EQ(boxes_.Boxes().size(), shown + 1);
    const std::string text = boxes_.Boxes().back().text;
    EXPECT_EQ(text.rfind("Unable to create file!\n", 0), 0u) << text;
    EXPECT_NE(text.find(c.failing + ": "), std::string::npos) << text;  // which file ...
    EXPECT_GT(text.size(), text.find(c.failing + ": ") + c.failing.size() + 2)
        << text;  // ... and why
    EXPECT_EQ(boxes_.Boxes().back().caption, window->windowTitle().toStdString());
    EXPECT_EQ(Exits(log).back(), "exiting  " + std::string(kClick) + "(" + c.word + ")...");
    EXPECT_FALSE(window->Exports()->Openings()->Pending());
  }
  // The raw data of the second case was written before the histogram failed.
  EXPECT_TRUE(Exists(images_ / "blocked(raw data).xls"));
}

// A write that fails after the file was made (here the process's file size
// limit, as a full disk would) is reported with the file's name, and the
// file of an earlier export under that name stays whole.
TEST_F(WindowExportTest, AFailedWriteKeepsTheEarlierFile) {
  auto window = StartWithPreferences();
  ScoredImage(*window);
  Choose(*window, {kCometLength, kTailMoment}, "4");
  chosenSave_ = images_ / "w.xls";
  const SpreadsheetFiles files = SpreadsheetFileNames(*chosenSave_);
  window->Command("SaveAsSpreadsheetMenuItem")->trigger();
  const std::string earlier = ReadFile(files.rawData);
  ASSERT_GT(earlier.size(), 100u);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Exports()->Openings()->Pending(); }, 10000));

  // A longer file this time. (The event log cannot grow either, so the
  // result word is not looked for in it.)
  Choose(*window, {0, 1, 2, 3, 4, 5}, "4");
  {
    ScopedFileSizeLimit limit(100);
    window->Command("SaveAsSpreadsheetMenuItem")->trigger();
  }
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  const std::string text = boxes_.Boxes()[0].text;
  EXPECT_EQ(text.rfind("Unable to write file!\n", 0), 0u) << text;
  EXPECT_NE(text.find(files.rawData + ": "), std::string::npos) << text;
  EXPECT_EQ(ReadFile(files.rawData), earlier);
  EXPECT_FALSE(window->Exports()->Openings()->Pending());
}

TEST_F(WindowExportTest, ExportBmpWritesTheWorkspaceImageOnlyAfterOpenFile) {
  auto window = StartWithPreferences();
  MakeFields(images_ / "fields", 2);
  window->OpenFolder(images_ / "fields");
  chosenSave_ = images_ / "export.bmp";
  window->Command("SaveBMP")->trigger();
  EXPECT_EQ(saveDialogs_, 0);
  EXPECT_FALSE(Exists(*chosenSave_));

  window->OpenFile(images_.Path() + "/fields/field1.bmp");
  ASSERT_NE(window->CurrentImage(), nullptr);
  chosenSave_.reset();
  window->Command("SaveBMP")->trigger();  // cancelled
  EXPECT_EQ(saveDialogs_, 1);
  chosenSave_ = images_ / "export.bmp";
  window->Command("SaveBMP")->trigger();
  EXPECT_EQ(saveDialogs_, 2);
  BitmapImageClass saved(*chosenSave_);
  const BitmapImageClass& shown = *window->CurrentImage();
  ASSERT_EQ(saved.Bitmap.bmWidth, shown.Bitmap.bmWidth);
  ASSERT_EQ(saved.Bitmap.bmHeight, shown.Bitmap.bmHeight);
  ASSERT_EQ(saved.Bitmap.bmBitsPixel, 8);
  for (int r = 0; r < shown.Bitmap.bmHeight; ++r)
    ASSERT_EQ(std::memcmp(saved.GetScanLine(r), shown.GetScanLine(r), shown.Bitmap.bmWidth), 0);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(WindowExportTest, Blur3x3SmoothsTheWorkspaceImage) {
  auto window = StartWithPreferences();
  window->Command("Blur3x3MenuItem")->trigger();  // no image: nothing to do
  MakeFields(images_ / "fields", 2);
  window->OpenFile(images_.Path() + "/fields/field1.bmp");
  BitmapImageClass expected(*window->CurrentImage());
  expected.Blur3x3();
  window->Command("Blur3x3MenuItem")->trigger();
  const BitmapImageClass& blurred = *window->CurrentImage();
  for (int r = 0; r < blurred.Bitmap.bmHeight; ++r)
    ASSERT_EQ(std::memcmp(expected.GetScanLine(r), blurred.GetScanLine(r), blurred.Bitmap.bmWidth),
              0);
}

TEST_F(WindowExportTest, BuildCompositeWritesItsPicturesAndShowsTheSum) {
  auto window = StartWithPreferences();
  window->Command("BuildCompositeMenuItem")->trigger();  // no folder open: nothing
  EXPECT_TRUE(boxes_.Boxes().empty());

  const std::string folder = images_ / "bitmaps";
  fs::create_directories(folder);
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(MakeSyntheticField(320, 240, 40 + i)
                    .image->SaveToFile(folder + "/f" + std::to_string(i) + ".bmp"));
  window->OpenFolder(folder);
  const BitmapImageClass* before = window->CurrentImage();
  const std::vector<std::uint8_t> workspacePixels(before->GetScanLine(0),
                                                  before->GetScanLine(0) + before->Bitmap.bmWidth);
  window->Exports()->SetCompositeBlurRounds(3);
  window->Command("BuildCompositeMenuItem")->trigger();

  const std::string composite = folder + "/Composite";
  int steps = 0;
  for (const auto& e : fs::directory_iterator(composite)) {
    const std::string name = e.path().filename().string();
    if (name.size() == 20) ++steps;  // a 16-digit time stamp and ".bmp"
  }
  EXPECT_GE(steps, 1);  // two in one hundredth of a second share a name
  EXPECT_LE(steps, 3);
  for (const char* name : {"01.bmp", "02.bmp", "03.bmp", "04.bmp"})
    EXPECT_TRUE(Exists(composite + "/" + name)) << name;
  BitmapImageClass sum(composite + "/04.bmp");
  ASSERT_EQ(sum.Bitmap.bmWidth, 640);
  ASSERT_EQ(sum.Bitmap.bmHeight, 480);
  EXPECT_EQ(window->DisplayBitmap().image.width(), 640);
  EXPECT_EQ(window->DisplayBitmap().image.height(), 480);
  // The display shows the sum; the workspace keeps its image.
  const QImage shown = window->DisplayBitmap().image;
  int same = 0;
  for (int x = 0; x < 640; ++x) same += qGray(shown.pixel(x, 100)) == sum.GetScanLine(479 - 100)[x];
  EXPECT_EQ(same, 640);
  EXPECT_EQ(window->CurrentImage(), before);
  EXPECT_TRUE(std::equal(workspacePixels.begin(), workspacePixels.end(), before->GetScanLine(0)));
}

// The save dialogs as the user meets them: title, filters, default
// extension, the question before a file is replaced; a name typed without
// extension gets the default one.
TEST_F(WindowExportTest, SaveDialogsAskBeforeReplacing) {
  struct Case {
    std::function<std::optional<std::string>(QWidget*)> chooser;
    QString title;
    QStringList filters;
    QString extension;
  };
  const PathChooser dialogs = DialogPathChooser();
  const std::vector<Case> cases = {
      {dialogs.spreadsheet,
       "Save as Spreadsheet",
       {"Tab Delimited Text (*.xls)", "Tab Delimited Text (*.txt)"},
       "xls"},
      {dialogs.bitmap, "Save Image As BMP", {"Bitmaps (*.bmp)"}, "bmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title.toStdString());
    for (const bool accept : {false, true}) {
      bool seen = false;
      QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;  // the test fails below on `seen`
        seen = true;
        EXPECT_EQ(dialog->windowTitle(), c.title);
        EXPECT_EQ(dialog->nameFilters(), c.filters);
        EXPECT_EQ(dialog->defaultSuffix(), c.extension);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        if (!accept) return dialog->reject();
        dialog->setDirectory(QString::fromStdString(images_.Path()));
        dialog->selectFile("chosen");
        static_cast<QDialog*>(dialog)->accept();
      });
      const std::optional<std::string> chosen = c.chooser(nullptr);
      ASSERT_TRUE(seen);
      if (accept) {
        EXPECT_EQ(chosen, images_ / ("chosen." + c.extension.toStdString()));
      } else {
        EXPECT_FALSE(chosen.has_value());
      }
    }
  }
}

// The hidden items answer their shortcuts.
TEST_F(WindowExportTest, HiddenItemsAnswerTheirShortcuts) {
  auto window = StartWithPreferences();
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_FALSE(window->Command("TestMenuItem")->isVisible());
  QTest::keyClick(window.get(), Qt::Key_T, Qt::ControlModifier);
  // The outer size; the width stays above 1280 only where the window's
  // contents cannot be made narrower.
  const QSize outer = window->frameGeometry().size();
  EXPECT_EQ(outer.height(), 960);
  EXPECT_EQ(outer.width(),
            std::max(1280, window->minimumWidth() + outer.width() - window->width()));

  MakeFields(images_ / "fields", 2);
  window->OpenFile(images_.Path() + "/fields/field1.bmp");
  chosenSave_ = images_ / "keyed.bmp";
  EXPECT_FALSE(window->Command("SaveBMP")->isVisible());
  QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(saveDialogs_, 1);
  EXPECT_TRUE(Exists(*chosenSave_));

  // A disabled hidden command stays quiet; shown, it answers once, through
  // its own shortcut.
  chosenSave_.reset();
  window->Command("SaveBMP")->setEnabled(false);
  QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(saveDialogs_, 1);
  window->Command("SaveBMP")->setEnabled(true);
  window->Command("SaveBMP")->setVisible(true);
  QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(saveDialogs_, 2);

  // The visible items' shortcuts as before: Ctrl+S exports.
  chosenSave_ = images_ / "keyed.xls";
  QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(saveDialogs_, 3);
  EXPECT_TRUE(Exists(SpreadsheetFileNames(*chosenSave_).rawData));
}

}  // namespace
