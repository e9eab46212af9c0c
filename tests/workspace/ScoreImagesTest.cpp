// Scoring a list of images: the hooks the window's progress panel hears,
// and cancelling.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>

#include "FolderScoring.h"
#include "ImagePaths.h"
#include "TestSupport.h"
#include "WorkspaceTestUtil.h"

using namespace testing_support;

namespace {

class ScoreImagesTest : public ::testing::Test {
 protected:
  std::vector<std::string> Images(int count) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
      paths.push_back(dir_ / ("img" + std::to_string(i) + ".bmp"));
      EXPECT_TRUE(
          Squares(200, 150, {{40, 40, 30, 20}, {120, 60, 20, 20}}).SaveToFile(paths.back()));
    }
    return paths;
  }

  TempDir dir_;
  TempDir data_;
  ScopedEnv trash_{"XDG_DATA_HOME", data_.Path().c_str()};
  RecordingMessageBoxProvider boxes_;
  ScopedMessageBoxProvider scoped_{boxes_};
};

TEST_F(ScoreImagesTest, EveryImageIsAnnouncedAndItsFeaturesCounted) {
  const std::vector<std::string> images = Images(3);
  std::mutex mutex;
  std::set<std::string> started;
  std::map<std::string, std::pair<int, int>> last;  // image -> (done, total)
  ScoreRequest request;
  request.cutoff = 100;
  request.jobs = 2;
  request.onImageStart = [&](const std::string& image) {
    std::lock_guard lock(mutex);
    started.insert(image);
  };
  request.onFeature = [&](const std::string& image, int done, int total) {
    std::lock_guard lock(mutex);
    EXPECT_EQ(done, last[image].first + 1);
    last[image] = {done, total};
  };
  std::vector<ImageScoreReport> reports;
  std::vector<int> finished;
  ScoreImages(images, request, reports, [&](int done, int total, const ImageScoreReport&) {
    EXPECT_EQ(total, 3);
    finished.push_back(done);
  });
  EXPECT_EQ(finished, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(started, std::set<std::string>(images.begin(), images.end()));
  for (const ImageScoreReport& r : reports) {
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.outcome, ScoreOutcome::kScored) << r.message;
    EXPECT_EQ(r.comets, 2u);
    EXPECT_EQ(last[r.imagePath].first, last[r.imagePath].second);  // every feature heard of
    EXPECT_GE(last[r.imagePath].second, 2);
  }
  EXPECT_TRUE(boxes_.Boxes().empty());  // a list is scored without asking
}

TEST_F(ScoreImagesTest, ACancelledRunStartsNoFurtherImage) {
  const std::vector<std::string> images = Images(3);
  std::atomic<bool> cancel{true};
  ScoreRequest request;
  request.cutoff = 100;
  request.cancel = &cancel;
  std::vector<ImageScoreReport> reports;
  ScoreImages(images, request, reports);
  ASSERT_EQ(reports.size(), 3u);
  for (std::size_t i = 0; i < images.size(); ++i) {
    EXPECT_FALSE(reports[i].started);
    EXPECT_EQ(reports[i].imagePath, images[i]);
    EXPECT_FALSE(Exists(ResultFolderOf(images[i])));
  }

  // Cancelled while the first image is scored: that one ends, whole.
  cancel = false;
  request.jobs = 1;
  request.onImageStart = [&](const std::string&) { cancel = true; };
  ScoreImages(images, request, reports);
  EXPECT_TRUE(reports[0].started);
  EXPECT_EQ(reports[0].outcome, ScoreOutcome::kScored);
  EXPECT_EQ(ReadDataSet(DataSetPathOf(images[0])).CometCount, 2u);
  EXPECT_FALSE(reports[1].started);
  EXPECT_FALSE(Exists(ResultFolderOf(images[1])));
}

// Scores the images with a worker decoding first (the calling thread's first
// image waits for it), then makes an application object on the calling
// thread and ends the process: 0 when all were scored and the toolkit took
// the object without a warning.
[[noreturn]] void ScoreWithAWorkerFirstThenStartTheToolkit(const std::vector<std::string>& images) {
  const std::thread::id caller = std::this_thread::get_id();
  std::mutex mutex;
  std::condition_variable heard;
  bool workerDecoded = false;
  ScoreRequest request;
  request.cutoff = 100;
  request.jobs = 2;
  request.onImageStart = [&](const std::string&) {
    if (std::this_thread::get_id() != caller) return;
    std::unique_lock lock(mutex);
    heard.wait_for(lock, std::chrono::seconds(20), [&] { return workerDecoded; });
  };
  request.onFeature = [&](const std::string&, int, int) {
    if (std::this_thread::get_id() == caller) return;
    const std::lock_guard lock(mutex);
    workerDecoded = true;
    heard.notify_all();
  };
  std::vector<ImageScoreReport> reports;
  ScoreImages(images, request, reports);
  int scored = 0;
  for (const ImageScoreReport& r : reports) scored += r.outcome == ScoreOutcome::kScored;
  static bool warned = false;
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
    if (text.contains("main() thread")) warned = true;
  });
  int argc = 1;
  char name[] = "score_images_test";
  char* argv[] = {name, nullptr};
  { const QCoreApplication application(argc, argv); }
  std::exit(workerDecoded && scored == 3 && !warned ? 0 : 1);
}

// Qt takes the first thread that makes one of its objects for its main
// thread. The thread that scores a list must stay that thread even when a
// worker decodes first; otherwise the worker's thread data is freed when it
// ends while Qt still refers to it, and the heap is corrupted by the exit.
TEST_F(ScoreImagesTest, WorkersThatDecodeFirstLeaveTheToolkitOnTheCallingThread) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::vector<std::string> images = Images(3);
  EXPECT_EXIT(ScoreWithAWorkerFirstThenStartTheToolkit(images), ::testing::ExitedWithCode(0), "");
}

}  // namespace
