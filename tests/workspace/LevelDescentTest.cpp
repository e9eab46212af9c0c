// The descents of the automatic threshold: grown regions against every
// level labelled, and whole scorings traced (labelled) or not (grown).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>

#include "LevelDescent.h"
#include "ScoringWorkspace.h"
#include "SyntheticField.h"
#include "TestSupport.h"
#include "ToolkitWrappers.h"
#include "WorkspaceTestUtil.h"

using namespace testing_support;

namespace {

// Every field a labelled feature has, but its ID.
void ExpectSameFeature(const FeatureRecord& a, const FeatureRecord& b, const std::string& where) {
  EXPECT_EQ(std::tie(a.left, a.top, a.right, a.bottom, a.width, a.height),
            std::tie(b.left, b.top, b.right, b.bottom, b.width, b.height))
      << where;
  EXPECT_EQ(std::memcmp(&a.area, &b.area, sizeof(double) * 9), 0) << where;  // area .. centroidY
  EXPECT_EQ(a.numChords, b.numChords) << where;
  EXPECT_EQ(a.numBoundaryPoints, b.numBoundaryPoints) << where;
  ASSERT_EQ(a.chords.size(), b.chords.size()) << where;
  for (std::size_t i = 0; i < a.chords.size(); ++i)
    EXPECT_EQ(std::tie(a.chords[i].row, a.chords[i].colStart, a.chords[i].colEnd),
              std::tie(b.chords[i].row, b.chords[i].colStart, b.chords[i].colEnd))
        << where << " run " << i;
  ASSERT_EQ(a.boundaryPoints.size(), b.boundaryPoints.size()) << where;
  for (std::size_t i = 0; i < a.boundaryPoints.size(); ++i)
    EXPECT_EQ(std::tie(a.boundaryPoints[i].x, a.boundaryPoints[i].y),
              std::tie(b.boundaryPoints[i].x, b.boundaryPoints[i].y))
        << where << " point " << i;
}

// Descends every feature of the cutoff level both ways; returns how many
// ended in a feature.
int ExpectSameDescents(const BitmapImageClass& grey, int cutoff, int mode,
                       const std::string& name) {
  LabelledLevels levels(grey);
  BinaryImageClass& atCutoff = levels.At(cutoff);
  const DescentEnds grown =
      DescendByGrowing(grey, atCutoff, cutoff, mode, [](const FeatureRecord&) { return true; });
  EXPECT_EQ(grown.of.size(), static_cast<std::size_t>(atCutoff.numFeatures)) << name;
  int ended = 0;
  for (std::int32_t i = 0; i < atCutoff.numFeatures; ++i) {
    const std::string where = name + " feature " + std::to_string(i);
    const FeatureRecord* labelled = levels.Descend((*atCutoff.features)[i], cutoff, mode);
    const FeatureRecord* fast = grown.Of(i);
    EXPECT_EQ(labelled == nullptr, fast == nullptr) << where;
    if (labelled == nullptr || fast == nullptr) continue;
    ExpectSameFeature(*labelled, *fast, where);
    ++ended;
  }
  return ended;
}

BitmapImageClass BlurredGrey(const BitmapImageClass& picture) {
  BitmapImageClass grey(picture);
  grey.Grayscale();
  grey.SetBitsPerPixel(8);
  grey.BlurGRAY(7);
  return grey;
}

// Smooth bright blobs of varied size and height on a noisy ground.
BitmapImageClass Blobs(int width, int height, std::uint32_t seed) {
  std::mt19937 random(seed);
  BitmapImageClass image(width, height, 8);
  struct Blob {
    double x, y, radius, peak;
  };
  std::vector<Blob> blobs;
  for (int b = 0; b < 12; ++b)
    blobs.push_back({static_cast<double>(random() % width), static_cast<double>(random() % height),
                     2.0 + random() % 20, 60.0 + random() % 190});
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      double v = 20 + random() % 8;
      for (const Blob& b : blobs)
        v += b.peak *
             std::exp(-((x - b.x) * (x - b.x) + (y - b.y) * (y - b.y)) / (b.radius * b.radius));
      image.GetScanLine(y)[x] = static_cast<std::uint8_t>(std::min(v, 255.0));
    }
  return image;
}

TEST(LevelDescentTest, GrownDescentsEndWhereLabelledOnesDo) {
  struct Case {
    const char* name;
    BitmapImageClass grey;
    std::vector<std::pair<int, int>> cutoffAndMode;
  };
  std::vector<Case> cases;
  for (std::uint32_t seed : {3u, 8u}) {
    cases.push_back({"synthetic",
                     BlurredGrey(*MakeSyntheticField(400, 300, seed).image),
                     {{150, 40}, {140, 26}, {200, 146}}});
    cases.push_back({"blobs", Blobs(160, 120, seed), {{130, 20}, {180, 100}, {90, 60}}});
  }
  // A ring whose centroid lies in its hole, a speck inside the hole, and a
  // one-pixel-wide line: the descent finds no feature or a foreign one.
  BitmapImageClass rings(60, 60, 8);
  rings.SetAllPixelsToValue(10);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) {
      const double d = std::hypot(x - 20.0, y - 20.0);
      if (d >= 8 && d <= 14) rings.GetScanLine(y)[x] = static_cast<std::uint8_t>(200 - 3 * d);
      if (y > 30 && y < 55) rings.GetScanLine(y)[45] = 180;
    }
  rings.GetScanLine(20)[20] = rings.GetScanLine(20)[21] = 150;
  cases.push_back({"rings", BitmapImageClass(rings), {{150, 10}, {120, 10}, {200, 20}}});
  // A tall bright slab whose row offsets sum past 2^24: its centroid is
  // measured from its runs.
  BitmapImageClass slab(300, 460, 8);
  for (int y = 0; y < 460; ++y)
    for (int x = 0; x < 300; ++x)
      slab.GetScanLine(y)[x] = static_cast<std::uint8_t>(
          x >= 20 && x < 280 && y >= 20 && y < 440 ? 120 + (x + 3 * y) % 100 : 5);
  cases.push_back({"slab", BitmapImageClass(slab), {{200, 5}, {150, 5}}});

  int ended = 0;
  for (const Case& c : cases)
    for (const auto& [cutoff, mode] : c.cutoffAndMode)
      ended += ExpectSameDescents(c.grey, cutoff, mode,
                                  std::string(c.name) + " at " + std::to_string(cutoff));
  EXPECT_GT(ended, 20);
}

TEST(LevelDescentTest, AnImageWithoutFeaturesHasNoDescents) {
  BitmapImageClass dark(50, 40, 8);
  dark.SetAllPixelsToValue(0);
  EXPECT_EQ(ExpectSameDescents(dark, 127, 0, "dark"), 0);
  const BitmapImageClass empty(0, 0, 8);
  BinaryImageClass none(empty);
  none.ComputeFeatures();
  EXPECT_TRUE(
      DescendByGrowing(empty, none, 127, 0, [](const FeatureRecord&) { return true; }).of.empty());
}

class AutomaticScoringTest : public ::testing::Test {
 protected:
  TempDir dir_;
  TempDir data_;
  ScopedEnv trash_{"XDG_DATA_HOME", data_.Path().c_str()};
  RecordingMessageBoxProvider boxes_;
  ScopedMessageBoxProvider scoped_{boxes_};
};

// The traced scoring labels every level it visits; the untraced one grows
// the regions. Both write the same data set and thumbnails.
TEST_F(AutomaticScoringTest, TracedAndUntracedScoringsWriteTheSame) {
  struct Case {
    int width, height;
    std::uint32_t seed;
  };
  for (const Case& c : {Case{640, 480, 5}, Case{800, 600, 21}, Case{1024, 768, 40}}) {
    const std::string name = std::to_string(c.width) + "_" + std::to_string(c.seed) + ".png";
    const SyntheticField field = MakeSyntheticField(c.width, c.height, c.seed);
    std::filesystem::create_directories(dir_ / "traced");
    std::filesystem::create_directories(dir_ / "grown");
    const std::string traced = dir_ / ("traced/" + name), grown = dir_ / ("grown/" + name);
    ASSERT_TRUE(SaveRasterAsPng(*field.image, traced));
    ASSERT_TRUE(SaveRasterAsPng(*field.image, grown));
    {
      ScopedTraceLog log;
      ScoringWorkspace w;
      ASSERT_TRUE(w.SelectImage(traced));
      ASSERT_EQ(w.ScoreSelectedImageUsingAutoThreshold(false), ScoreOutcome::kScored);
    }
    ScoringWorkspace w;
    ASSERT_TRUE(w.SelectImage(grown));
    ASSERT_EQ(w.ScoreSelectedImageUsingAutoThreshold(false), ScoreOutcome::kScored);
    EXPECT_GE(w.DataSet().CometCount, 3u) << name;
    ExpectSameResults(traced, grown);
  }
}

// The smaller real fields beside the project, one of each of a few sources.
TEST_F(AutomaticScoringTest, RealFieldsScoreAlikeTracedOrNot) {
  const std::string real = STRANDEX_SOURCE_DIR "/../shared/data/real";
  if (!std::filesystem::is_directory(real))
    GTEST_SKIP() << real << " is absent: no real fields to score";
  int scored = 0;
  std::uint32_t comets = 0;
  for (const char* source : {"comet_segmantation", "cometassaysegmentation", "autocomet"}) {
    std::vector<std::string> images;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(real + "/" + source + "/images", ec))
      images.push_back(e.path().filename().string());
    if (images.empty()) continue;
    std::sort(images.begin(), images.end());
    const std::string traced = dir_ / ("traced/" + images[0]);
    const std::string grown = dir_ / ("grown/" + images[0]);
    for (const std::string& copy : {traced, grown}) {
      std::filesystem::create_directories(std::filesystem::path(copy).parent_path());
      std::filesystem::copy_file(real + "/" + source + "/images/" + images[0], copy);
    }
    {
      ScopedTraceLog log;
      ScoringWorkspace w;
      ASSERT_TRUE(w.SelectImage(traced)) << traced;
      ASSERT_EQ(w.ScoreSelectedImageUsingAutoThreshold(false), ScoreOutcome::kScored);
    }
    ScoringWorkspace w;
    ASSERT_TRUE(w.SelectImage(grown)) << grown;
    ASSERT_EQ(w.ScoreSelectedImageUsingAutoThreshold(false), ScoreOutcome::kScored);
    ExpectSameResults(traced, grown);
    comets += w.DataSet().CometCount;
    ++scored;
  }
  EXPECT_EQ(scored, 3);
  EXPECT_GT(comets, 3u);
}

}  // namespace
