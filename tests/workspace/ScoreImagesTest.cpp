// Scoring a list of images: the hooks the window's progress panel hears,
// and cancelling.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>

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

}  // namespace
