// Scoring from the window: the results against the command line's, the
// questions, cancelling, errors and the border rule.
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "CometDatabase.h"
#include "ImagePaths.h"
#include "ProgressPanelWidget.h"
#include "ScoringRunner.h"
#include "WindowFixture.h"
#include "WorkspaceTestUtil.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class WindowScoringTest : public WindowTest {
 protected:
  // Runs the command-line program on a folder or an image.
  int Cli(const std::string& arguments) {
    const std::string command = "STRANDEX_HOME='" + home_.Path() + "' XDG_DATA_HOME='" +
                                home_.Path() + "/data' '" STRANDEX_CLI "' " + arguments +
                                " >/dev/null 2>&1";
    return std::system(command.c_str());
  }
  // Holds every image of the next run at its start until the run is
  // cancelled, so exactly the images of the jobs in flight get scored,
  // however slowly this machine runs the test.
  static void HoldImagesUntilCancelled(TMainApplicationForm& window) {
    ScoringRunner* runner = window.Runner();
    runner->onWorkerImageStart = [runner](const std::string&) {
      const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
      while (!runner->Cancelled() && std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
  }
  // Every file of every result folder below a folder, with its bytes.
  static std::map<std::string, std::string> Results(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder))
      if (e.is_regular_file() && e.path().parent_path() != fs::path(folder))
        files[e.path().string()] = ReadFile(e.path().string());
    return files;
  }
};

// The ".cdb" files agree byte for byte once every comet's thumbnail name
// (a time stamp) is blanked.
void ExpectSameDataSet(const std::string& window, const std::string& cli) {
  std::string a = ReadFile(window), b = ReadFile(cli);
  ASSERT_EQ(a.size(), b.size()) << window;
  ASSERT_GE(a.size(), 748u);
  const std::size_t comets = (a.size() - 748) / sizeof(CometRecord);
  ASSERT_GT(comets, 0u) << window;
  for (std::size_t i = 0; i < comets; ++i) {
    const std::size_t at = 748 + i * sizeof(CometRecord) + offsetof(CometRecord, ImageName);
    EXPECT_NE(a.substr(at, 32), std::string(32, '\0'));
    std::memset(a.data() + at, 0, 32);
    std::memset(b.data() + at, 0, 32);
  }
  EXPECT_TRUE(a == b) << window;
}

TEST_F(WindowScoringTest, AScoredFolderHoldsWhatTheCommandLineWrites) {
  const std::string byWindow = images_ / "window", byCli = images_ / "cli";
  const std::vector<std::string> fields = MakeFields(byWindow, 3);
  MakeFields(byCli, 3);
  auto window = Start();
  window->OpenFolder(byWindow);
  window->ThresholdBar()->setValue(40);
  // What the progress panel's bars show while the run goes (the refresh
  // after it counts the summary's images on the same bar).
  std::vector<int> imagesShown;
  int featuresMost = 0, featuresRange = 0;
  QProgressBar* images = window->ProgressPanel()->Images();
  QProgressBar* features = window->ProgressPanel()->Features();
  QObject::connect(images, &QProgressBar::valueChanged, [&](int value) {
    if (window->Scoring()) imagesShown.push_back(value);
  });
  QObject::connect(features, &QProgressBar::valueChanged, [&](int value) {
    featuresMost = std::max(featuresMost, value);
    featuresRange = std::max(featuresRange, features->maximum());
  });
  window->Command("ScoreUsingCutoffMenuItem")->trigger();
  // While it runs the workspace is the scorer's.
  EXPECT_TRUE(window->Scoring());
  EXPECT_FALSE(window->ProgressPanel()->isHidden());
  EXPECT_TRUE(window->ProgressPanel()->CancelButton()->isEnabled());
  for (const char* name : {"OpenFileMenuItem", "OpenFolderButton", "ScoreUsingCutoffButton",
                           "Rotate180", "FullSpectrumMenuItem", "PreferencesMenuItem"})
    EXPECT_FALSE(window->Command(name)->isEnabled()) << name;
  EXPECT_TRUE(window->Command("AboutMenuItem")->isEnabled());
  EXPECT_FALSE(window->DirTreeView()->isEnabled());
  EXPECT_FALSE(window->ThresholdBar()->isEnabled());
  window->WaitForScoring();

  EXPECT_TRUE(window->ProgressPanel()->isHidden());
  // One step an image, up to all of them; the features of an image counted
  // to their end.
  EXPECT_EQ(images->maximum(), 3);
  ASSERT_FALSE(imagesShown.empty());
  EXPECT_EQ(imagesShown.back(), 3);
  EXPECT_TRUE(std::is_sorted(imagesShown.begin(), imagesShown.end()))
      << ::testing::PrintToString(imagesShown);
  EXPECT_GT(featuresRange, 1);
  EXPECT_EQ(featuresMost, featuresRange);
  const std::string caption =
      window->ProgressPanel()->findChild<QLabel*>("ProgressIndicator")->text().toStdString();
  EXPECT_EQ(caption.rfind(" processing field", 0), 0u) << caption;
  EXPECT_TRUE(window->Command("OpenFileMenuItem")->isEnabled());
  EXPECT_FALSE(window->Command("UndoButton")->isEnabled());  // as it was before
  EXPECT_TRUE(window->DirTreeView()->isEnabled());
  EXPECT_TRUE(boxes_.Boxes().empty());
  const std::string status = window->StatusText();
  EXPECT_EQ(status.rfind("Processed \"" + byWindow + "/\" in ", 0), 0u) << status;
  EXPECT_EQ(status.substr(status.size() - 9), " seconds.");

  ASSERT_EQ(Cli("score '" + byCli + "' --cutoff 40 --yes"), 0);
  std::uint32_t total = 0;
  for (const std::string& field : fields) {
    const std::string name = FileNameOf(field);
    ExpectSameDataSet(DataSetPathOf(field), DataSetPathOf(byCli + "/" + name));
    const WellRecord well = ReadDataSet(DataSetPathOf(field));
    total += well.CometCount;
    EXPECT_EQ(FilesIn(ResultFolderOf(field)).size(), 1 + 2 * well.CometCount);
  }
  // The refresh: the folder summary holds the new comets.
  EXPECT_EQ(window->Workspace().DataSet().CometCount, total);
  EXPECT_GT(total, 10u);
}

TEST_F(WindowScoringTest, TheHiddenAutoSegmentationButtonScoresAFolderByItsHistograms) {
  const std::string byWindow = images_ / "window", byCli = images_ / "cli";
  const std::vector<std::string> fields = MakeFields(byWindow, 2);
  MakeFields(byCli, 2);
  auto window = Start();
  window->OpenFolder(byWindow);
  window->Command("ScoreUsingAutoSegmentationButton")->trigger();
  window->WaitForScoring();
  ASSERT_EQ(Cli("score '" + byCli + "' --auto --yes"), 0);
  for (const std::string& field : fields)
    ExpectSameDataSet(DataSetPathOf(field), DataSetPathOf(byCli + "/" + FileNameOf(field)));

  // For one image it scores nothing, and says how long that took.
  const auto before = Results(byWindow);
  window->DirTreeView()->SelectImage(0);
  window->Command("ScoreUsingAutoSegmentationButton")->trigger();
  EXPECT_FALSE(window->Scoring());
  EXPECT_EQ(window->StatusText().rfind("Processed \"" + FileNameOf(fields[1]) + "\" in ", 0), 0u)
      << window->StatusText();
  EXPECT_EQ(Results(byWindow), before);
}

TEST_F(WindowScoringTest, OneImageAsksBeforeReplacingAndANoChangesNothing) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 1);
  auto window = Start();
  window->OpenFile(fields[0]);
  Score(*window);
  EXPECT_TRUE(boxes_.Boxes().empty());  // nothing to replace yet
  const std::uint32_t comets = window->Workspace().DataSet().CometCount;
  EXPECT_GT(comets, 3u);
  EXPECT_EQ(ReadDataSet(DataSetPathOf(fields[0])).CometCount, comets);
  EXPECT_EQ(window->StatusText().rfind("Processed \"field0.png\" in ", 0), 0u);
  // The window's own workspace writes what the command line writes.
  const std::string byCli = MakeFields(images_ / "cli", 1)[0];
  ASSERT_EQ(Cli("score '" + byCli + "' --cutoff 40 --yes"), 0);
  ExpectSameDataSet(DataSetPathOf(fields[0]), DataSetPathOf(byCli));
  const auto before = Results(images_.Path());

  boxes_.ScriptAnswers({kIdNo});
  {
    ScopedTraceLog log;
    Score(*window);
    const auto messages = log.Messages();
    EXPECT_NE(
        std::find(messages.begin(), messages.end(),
                  "exiting  TMainApplicationForm::ScoreSelectedImageUsingCutoff(CANCELLED)..."),
        messages.end());
    EXPECT_EQ(messages.back(),
              "exiting  TMainApplicationForm::ScoreUsingCutoffMenuItemClick(CANCELLED)...");
  }
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Overwrite existing data?");
  EXPECT_EQ(boxes_.Boxes()[0].caption, ResultFolderOf(fields[0]));
  EXPECT_TRUE(boxes_.onInterfaceThread[0]);  // asked by the worker, shown by the window
  EXPECT_EQ(Results(images_.Path()), before);
  EXPECT_EQ(window->Workspace().DataSet().CometCount, comets);

  boxes_.ScriptAnswers({kIdYes});
  Score(*window, 60);
  EXPECT_NE(Results(images_.Path()), before);
  EXPECT_EQ(ReadDataSet(DataSetPathOf(fields[0])).CometCount,
            window->Workspace().DataSet().CometCount);
}

TEST_F(WindowScoringTest, DecliningTheFolderQuestionScoresNothing) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 2, 320, 240);
  auto window = Start();
  window->OpenFolder(images_.Path());
  Score(*window);
  const auto before = Results(images_.Path());
  ASSERT_FALSE(before.empty());
  boxes_.ScriptAnswers({kIdNo});
  ScopedTraceLog log;
  window->Command("ScoreUsingCutoffButton")->trigger();
  EXPECT_FALSE(window->Scoring());
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Overwrite all existing data?");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Score All Images in Folder");
  EXPECT_EQ(log.Messages().back(),
            "exiting  TMainApplicationForm::ScoreUsingCutoffMenuItemClick(ABORTED BY USER)...");
  EXPECT_EQ(Results(images_.Path()), before);
}

TEST_F(WindowScoringTest, CancelKeepsFinishedImagesAndLeavesTheOthersUntouched) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 8);
  auto window = Start();
  window->OpenFolder(images_.Path());
  window->ThresholdBar()->setValue(60);
  window->Command("ScoreUsingCutoffButton")->trigger();
  window->WaitForScoring();
  std::map<std::string, std::string> old;
  for (const std::string& f : fields) old[f] = ReadFile(DataSetPathOf(f));

  boxes_.ScriptAnswers({kIdYes});
  window->ThresholdBar()->setValue(40);
  HoldImagesUntilCancelled(*window);
  window->Command("ScoreUsingCutoffButton")->trigger();
  ASSERT_TRUE(window->Scoring());
  window->ProgressPanel()->CancelButton()->click();
  window->WaitForScoring();

  const std::vector<ImageScoreReport>& reports = window->Runner()->Reports();
  ASSERT_EQ(reports.size(), fields.size());
  int started = 0;
  for (const ImageScoreReport& r : reports) {
    const std::string now = ReadFile(DataSetPathOf(r.imagePath));
    if (r.started) {
      ++started;
      EXPECT_EQ(r.outcome, ScoreOutcome::kScored) << r.message;
      EXPECT_NE(now, old[r.imagePath]) << r.imagePath;  // the new results, whole
      EXPECT_EQ(FilesIn(ResultFolderOf(r.imagePath)).size(),
                1 + 2 * ReadDataSet(DataSetPathOf(r.imagePath)).CometCount);
    } else {
      EXPECT_EQ(now, old[r.imagePath]) << r.imagePath;  // the old ones
    }
  }
  EXPECT_LT(started, static_cast<int>(fields.size()));
  // Nothing else is left beside the images and their result folders.
  std::vector<std::string> expected;
  for (const std::string& f : fields) {
    expected.push_back(FileNameOf(f));
    expected.push_back(FileNameOf(RemoveExtension(f)));
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FilesIn(images_.Path()), expected);
  EXPECT_EQ(window->StatusText().rfind("Cancelled \"" + images_.Path() + "/\" after ", 0), 0u)
      << window->StatusText();
  EXPECT_TRUE(window->Command("ScoreUsingCutoffButton")->isEnabled());
}

// While a folder is scored, the recent folders cannot swap the tree and
// the workspace under the run.
TEST_F(WindowScoringTest, TheRecentFoldersWaitForTheRun) {
  const std::string other = images_ / "other", scored = images_ / "scored";
  MakeFields(other, 1);
  const std::vector<std::string> fields = MakeFields(scored, 2);
  auto window = Start();
  window->OpenFolder(other);  // now on the recent list
  window->OpenFolder(scored);
  auto* recent = window->findChild<QMenu*>("RecentFoldersMenu");
  ASSERT_NE(recent, nullptr);
  QAction* otherItem = nullptr;
  for (QAction* item : recent->actions())
    if (item->data().toString().toStdString() == AsFolder(other)) otherItem = item;
  ASSERT_NE(otherItem, nullptr);

  HoldImagesUntilCancelled(*window);
  window->Command("ScoreUsingCutoffButton")->trigger();
  ASSERT_TRUE(window->Scoring());
  EXPECT_FALSE(recent->menuAction()->isEnabled());
  otherItem->trigger();
  EXPECT_EQ(window->DirTreeView()->Folder(), AsFolder(scored));
  window->ProgressPanel()->CancelButton()->click();
  window->WaitForScoring();
  EXPECT_EQ(window->DirTreeView()->Folder(), AsFolder(scored));
  EXPECT_TRUE(recent->menuAction()->isEnabled());
}

// An image node whose file has gone scores nothing, least of all the image
// the workspace held before in its place.
TEST_F(WindowScoringTest, AnImageThatHasGoneScoresNothingInItsPlace) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 2);
  const std::string kept = FileNameOf(fields[0]), gone = FileNameOf(fields[1]);
  auto window = Start();
  window->OpenFolder(images_.Path());
  ASSERT_TRUE(window->DirTreeView()->SelectImageNamed(kept));
  Score(*window);
  const auto before = Results(images_.Path());
  ASSERT_FALSE(before.empty());
  for (bool throughTheSummary : {false, true}) {
    SCOPED_TRACE(throughTheSummary ? "after the folder summary" : "after the other image");
    ASSERT_TRUE(window->DirTreeView()->SelectImageNamed(kept));
    if (throughTheSummary) window->DirTreeView()->SelectRoot();
    fs::remove(fields[1]);
    ASSERT_TRUE(window->DirTreeView()->SelectImageNamed(gone));
    EXPECT_EQ(window->StatusText(), "The image " + fields[1] + " does not exist any more.");
    EXPECT_EQ(window->CurrentImage(), nullptr);
    const std::size_t shown = boxes_.Boxes().size();
    boxes_.ScriptAnswers({kIdYes});
    Score(*window);
    EXPECT_FALSE(window->Scoring());
    ASSERT_EQ(boxes_.Boxes().size(), shown + 1);  // no question: an error, nothing replaced
    EXPECT_EQ(boxes_.Boxes()[shown].kind, RecordingMessageBoxProvider::Box::kError);
    EXPECT_EQ(boxes_.Boxes()[shown].caption, "Score Image using Cutoff");
    EXPECT_EQ(Results(images_.Path()), before);
    MakeFields(images_.Path(), 2);
  }
}

TEST_F(WindowScoringTest, ClosingTheWindowWhileScoringEndsWithWholeResults) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 6);
  auto window = Start();
  window->OpenFolder(images_.Path());
  window->ThresholdBar()->setValue(40);
  HoldImagesUntilCancelled(*window);
  window->Command("ScoreUsingCutoffButton")->trigger();
  ASSERT_TRUE(window->Scoring());
  window->close();  // the images in progress finish, no further one starts
  EXPECT_FALSE(window->Scoring());
  int scored = 0;
  for (const std::string& f : fields)
    if (Exists(ResultFolderOf(f))) {
      ++scored;
      EXPECT_EQ(FilesIn(ResultFolderOf(f)).size(),
                1 + 2 * ReadDataSet(DataSetPathOf(f)).CometCount);
    }
  EXPECT_LT(scored, 6);
  window.reset();
  EXPECT_EQ(FilesIn(images_.Path()).size(), fields.size() + scored);
}

TEST_F(WindowScoringTest, FeaturesOnTheBorderStayOnlyInSmallImages) {
  struct Case {
    int width, height;
    std::uint32_t comets;
  };
  for (const Case& c : {Case{320, 240, 2}, Case{400, 200, 2}, Case{321, 241, 1}}) {
    const std::string path =
        images_ / (std::to_string(c.width) + "x" + std::to_string(c.height) + ".bmp");
    ASSERT_TRUE(Squares(c.width, c.height, {{0, 50, 30, 30}, {150, 100, 30, 30}}).SaveToFile(path));
    auto window = Start();
    window->OpenFile(path);
    Score(*window, 100);
    EXPECT_EQ(window->Workspace().DataSet().CometCount, c.comets) << path;
    EXPECT_EQ(ReadDataSet(DataSetPathOf(path)).CometCount, c.comets) << path;
  }
}

TEST_F(WindowScoringTest, AFailedRunIsReportedAndTheWindowGoesOn) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 1, 320, 240);
  WriteFile(images_ / "broken.bmp", "BM garbage");
  auto window = Start({fields[0]});
  window->DirTreeView()->SelectImage(0);  // broken.bmp
  ASSERT_EQ(window->CurrentImage(), nullptr);
  ScopedTraceLog log;
  Score(*window);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].kind, RecordingMessageBoxProvider::Box::kError);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Score Image using Cutoff");
  EXPECT_NE(boxes_.Boxes()[0].text.find("cannot read the image " + images_ / "broken.bmp"),
            std::string::npos)
      << boxes_.Boxes()[0].text;
  EXPECT_EQ(log.Messages().back(),
            "exiting  TMainApplicationForm::ScoreUsingCutoffMenuItemClick(FAILURE)...");
  EXPECT_FALSE(Exists(images_ / "broken"));
  EXPECT_TRUE(window->Command("ScoreUsingCutoffButton")->isEnabled());
  window->DirTreeView()->SelectImage(1);
  Score(*window);
  EXPECT_GT(ReadDataSet(DataSetPathOf(fields[0])).CometCount, 0u);
}

TEST_F(WindowScoringTest, ImagesOfOneNameAreListedButNeverScored) {
  const std::vector<std::string> fields = MakeFields(images_.Path(), 2, 320, 240);
  fs::copy_file(fields[0], images_ / "field1.png");  // field1.bmp's twin
  auto window = Start();
  window->OpenFolder(images_.Path());
  EXPECT_EQ(window->DirTreeView()->ImageCount(), 3);
  EXPECT_NE(window->StatusText().find("would share the result folder"), std::string::npos)
      << window->StatusText();
  Score(*window);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Score All Images in Folder");
  EXPECT_NE(boxes_.Boxes()[0].text.find("field1.bmp: "), std::string::npos);
  EXPECT_NE(boxes_.Boxes()[0].text.find("field1.png: "), std::string::npos);
  EXPECT_FALSE(Exists(images_ / "field1"));
  EXPECT_TRUE(Exists(DataSetPathOf(fields[0])));  // the others are scored

  // One of them alone fails the same way, and the window goes on.
  ASSERT_TRUE(window->DirTreeView()->SelectImageNamed("field1.bmp"));
  ScopedTraceLog log;
  Score(*window);
  ASSERT_EQ(boxes_.Boxes().size(), 2u);
  EXPECT_EQ(boxes_.Boxes()[1].caption, "Score Image using Cutoff");
  EXPECT_NE(window->StatusText().find("would share the result folder"), std::string::npos);
  EXPECT_EQ(log.Messages().back(),
            "exiting  TMainApplicationForm::ScoreUsingCutoffMenuItemClick(FAILURE)...");
  EXPECT_FALSE(Exists(images_ / "field1"));
  EXPECT_TRUE(window->Command("ScoreUsingCutoffButton")->isEnabled());
}

TEST(InterfaceThreadBoxesTest, AWorkerWaitsForTheAnswerShownOnTheInterfaceThread) {
  ThreadRecordingBoxes shown;
  shown.ScriptAnswers({kIdYes, kIdNo});
  InterfaceThreadBoxes boxes(shown);
  std::atomic<int> answers{0};
  std::atomic<bool> done{false};
  std::thread worker([&] {
    answers += boxes.AskYesNo("first?", "worker") == kIdYes ? 1 : 0;
    boxes.ShowError("failed", "worker");
    done = true;
  });
  while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  worker.join();
  EXPECT_EQ(boxes.AskYesNo("second?", "here"), kIdNo);
  EXPECT_EQ(answers, 1);
  ASSERT_EQ(shown.Boxes().size(), 3u);
  EXPECT_EQ(shown.onInterfaceThread, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(shown.Boxes()[1].text, "failed");
}

}  // namespace
