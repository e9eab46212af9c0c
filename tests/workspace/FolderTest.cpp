#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "CometMetrics.h"
#include "DataSets.h"
#include "FolderScoring.h"
#include "ImagePaths.h"
#include "StagingFolders.h"
#include "SyntheticField.h"
#include "TestSupport.h"
#include "ToolkitWrappers.h"
#include "WorkspaceTestUtil.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class FolderTest : public ::testing::Test {
 protected:
  // Three synthetic fields, one of each type, in a folder.
  void MakeFolder(const std::string& folder) {
    fs::create_directories(folder);
    for (int i = 0; i < 3; ++i) {
      SyntheticField field = MakeSyntheticField(640, 480, 100 + i);
      const std::string base = folder + "/f" + std::to_string(i);
      if (i == 0) {
        ASSERT_TRUE(SaveRasterAsPng(*field.image, base + ".png"));
      } else if (i == 1) {
        ASSERT_TRUE(field.image->SaveToFile(base + ".bmp"));
      } else {
        TJPEGImage* jpeg = TJPEGImage_CreateFromImage(*field.image, 92);
        ASSERT_TRUE(TJPEGImage_SaveToFile(jpeg, base + ".jpg"));
        TJPEGImage_Destroy(jpeg);
      }
    }
  }

  TempDir dir_;
  TempDir data_;
  ScopedEnv trash_{"XDG_DATA_HOME", data_.Path().c_str()};
  RecordingMessageBoxProvider boxes_;
  ScopedMessageBoxProvider scoped_{boxes_};
};

TEST_F(FolderTest, ImagesAreListedByTypeThenName) {
  for (const char* name : {"b.png", "a.PNG", "c.jpg", "z.bmp", "notes.txt", "d.jpeg", "b.JPEG",
                           "f.tif", "a.TIFF", "e.tiff", "g.tif.txt"})
    WriteFile(dir_ / name, "x");
  // Folders are never images, whatever their names.
  for (const char* folder : {"z", "e.png", "z.scoring-Ab12Cd"}) fs::create_directories(dir_ / folder);
  const auto images = ListFolderImages(dir_.Path());
  std::vector<std::string> names;
  for (const auto& p : images) names.push_back(p.substr(dir_.Path().size() + 1));
  EXPECT_EQ(names, (std::vector<std::string>{"z.bmp", "a.PNG", "b.png", "b.JPEG", "c.jpg",
                                             "d.jpeg", "a.TIFF", "e.tiff", "f.tif"}));
  EXPECT_EQ(ResultFolderOf("/x/img01.jpg"), "/x/img01/");
  EXPECT_EQ(DataSetPathOf("/x/img01.jpg"), "/x/img01/img01.cdb");
  EXPECT_EQ(DataSetPathOf("/x/img.tif"), "/x/img/img.cdb");
  for (const char* bad : {"", ".", "..", "../x", "a/b", "a\\b"})
    EXPECT_FALSE(IsPlainFileName(bad)) << bad;
  EXPECT_TRUE(IsPlainFileName("2013050714030917"));
}

TEST_F(FolderTest, OneJobAndTwoJobsGiveTheSameResults) {
  const std::string one = dir_ / "one", two = dir_ / "two";
  MakeFolder(one);
  MakeFolder(two);
  std::vector<ImageScoreReport> a, b;
  ASSERT_TRUE(ScoreFolder(one, {false, 40, 1}, a));
  ASSERT_TRUE(ScoreFolder(two, {false, 40, 2}, b));
  ASSERT_EQ(a.size(), 3u);
  ASSERT_EQ(b.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    ASSERT_EQ(a[i].outcome, ScoreOutcome::kScored) << a[i].message;
    ASSERT_EQ(b[i].outcome, ScoreOutcome::kScored) << b[i].message;
    EXPECT_EQ(a[i].comets, b[i].comets);
    EXPECT_GT(a[i].comets, 3u);
    const std::string name = fs::path(a[i].imagePath).filename().string();
    ExpectSameResults(one + "/" + name, two + "/" + name);
  }
}

TEST_F(FolderTest, OneQuestionForTheWholeFolder) {
  const std::string folder = dir_ / "f";
  MakeFolder(folder);
  std::vector<ImageScoreReport> reports;
  ASSERT_TRUE(ScoreFolder(folder, {false, 40, 1}, reports));
  EXPECT_TRUE(boxes_.Boxes().empty());  // nothing to replace yet
  const std::string before = ReadFile(DataSetPathOf(folder + "/f0.png"));

  boxes_.ScriptAnswers({kIdNo});
  EXPECT_FALSE(ScoreFolder(folder, {false, 60, 1}, reports));
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Overwrite all existing data?");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Score All Images in Folder");
  EXPECT_EQ(ReadFile(DataSetPathOf(folder + "/f0.png")), before);

  boxes_.ScriptAnswers({kIdYes});
  EXPECT_TRUE(ScoreFolder(folder, {false, 60, 1}, reports));
  EXPECT_EQ(boxes_.Boxes().size(), 2u);
}

TEST_F(FolderTest, SummaryAddsTheImagesUp) {
  const std::string folder = dir_ / "s";
  MakeFolder(folder);
  WriteFile(folder + "/broken.png", "not an image");
  std::vector<ImageScoreReport> reports;
  ASSERT_TRUE(ScoreFolder(folder, {false, 40, 2}, reports));
  std::uint32_t total = 0;
  int failed = 0;
  for (const auto& r : reports) {
    total += r.comets;
    failed += r.outcome == ScoreOutcome::kFailed;
  }
  EXPECT_EQ(failed, 1);
  WellRecord summary;
  BuildFolderSummary(folder, summary);
  EXPECT_EQ(summary.CometCount, total);
  EXPECT_EQ(WellNameOf(summary), "");
  EXPECT_GT(summary.MaxValue[SlotOfMetric(kCometArea)], summary.MinValue[SlotOfMetric(kCometArea)]);
}

}  // namespace

TEST_F(FolderTest, ImagesOfOneNameShareAResultFolder) {
  for (const char* name : {"slide.png", "slide.JPG", "slide.jpeg", "slides.png", "Slide.bmp", "x.png"})
    WriteFile(dir_ / name, "x");
  auto names = [&](const std::vector<std::string>& paths) {
    std::vector<std::string> out;
    for (const auto& p : paths) out.push_back(fs::path(p).filename().string());
    return out;
  };
  EXPECT_EQ(names(ImagesSharingResultsWith(dir_ / "slide.png")),
            (std::vector<std::string>{"slide.JPG", "slide.jpeg"}));
  EXPECT_EQ(names(ImagesSharingResultsWith(dir_ / "slide.jpeg")),
            (std::vector<std::string>{"slide.png", "slide.JPG"}));
  EXPECT_TRUE(ImagesSharingResultsWith(dir_ / "slides.png").empty());
  EXPECT_TRUE(ImagesSharingResultsWith(dir_ / "Slide.bmp").empty());  // Slide/ is not slide/
  EXPECT_TRUE(ImagesSharingResultsWith(dir_ / "x.png").empty());
  const std::string text =
      SharedResultsText(dir_ / "slide.png", ImagesSharingResultsWith(dir_ / "slide.png"));
  EXPECT_NE(text.find("slide.png, slide.JPG and slide.jpeg would share the result folder " +
                      dir_ / "slide"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("rename"), std::string::npos) << text;
}

TEST_F(FolderTest, DataSetsBelongToTheImageTheyName) {
  const std::string longName(60, 'a');
  const std::string cut = longName.substr(0, 47);
  struct Case {
    std::string wellName, image;
    bool belongs;
  };
  for (const Case& c : std::vector<Case>{
           {"slide.png", "/f/slide.png", true},
           {"SLIDE.PNG", "/f/slide.png", true},     // stored by a system that ignores case
           {"", "/f/slide.png", true},              // no name stored
           {"old.png", "/f/slide.png", true},       // image and results renamed together
           {"slide.jpg", "/f/slide.png", false},    // the other image of the pair
           {"slide.jpeg", "/f/slide.JPG", false},
           {cut, "/f/" + longName + ".png", true},  // stored cut short
           {cut.substr(0, 45) + ".j", "/f/" + cut.substr(0, 45) + ".png", false},
       })
    EXPECT_EQ(DataSetBelongsTo(c.wellName, c.image), c.belongs) << c.wellName << " " << c.image;
}

TEST_F(FolderTest, StagingFolderNames) {
  for (const auto& [name, staging] : std::vector<std::pair<std::string, bool>>{
           {"field_004.scoring-Ab3xZ9", true},
           {"a.b.scoring-000000", true},
           {"field_004", false},
           {".scoring-Ab3xZ9", false},
           {"field_004.scoring-Ab3xZ", false},
           {"field_004.scoring-Ab3xZ99", false},
           {"field_004.scoring-Ab3-Z9", false},
       })
    EXPECT_EQ(IsStagingFolderName(name), staging) << name;
}
