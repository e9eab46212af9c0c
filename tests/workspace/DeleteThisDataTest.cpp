#include <gtest/gtest.h>

#include <filesystem>

#include "AppPaths.h"
#include "DeleteThisData.h"
#include "EditTestData.h"
#include "ImagePaths.h"
#include "RecycleBin.h"
#include "TestSupport.h"
#include "WorkspaceTestUtil.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class DeleteThisDataTest : public EditingTest {
 protected:
  // The trash holds the folder under its name, with its record.
  void ExpectInTrash(const std::string& folder) {
    const std::string name = FileNameOf(folder);
    EXPECT_TRUE(Exists(TrashFolder() + "/files/" + name + "/" + name + ".cdb")) << name;
    const std::string info = ReadFile(TrashFolder() + "/info/" + name + ".trashinfo");
    EXPECT_NE(info.find("[Trash Info]\nPath=" + folder + "\n"), std::string::npos) << info;
  }
};

TEST_F(DeleteThisDataTest, AnImagesResultsGoToTheTrash) {
  const std::string image = ScoredField(dir_.Path(), "field", 51);
  const std::string results = RemoveExtension(image);
  boxes_.ScriptAnswers({kIdNo, kIdYes});
  DeleteReport report = DeleteImageData(image);
  EXPECT_EQ(report.outcome, DeleteOutcome::kDeclined);
  EXPECT_TRUE(Exists(DataSetPathOf(image)));
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Delete all data for this image?\n\nfield.png");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Delete this data?");

  report = DeleteImageData(image);
  EXPECT_EQ(report.outcome, DeleteOutcome::kDeleted);
  EXPECT_EQ(report.moved, std::vector<std::string>{results});
  EXPECT_FALSE(Exists(results));
  EXPECT_TRUE(Exists(image));
  ExpectInTrash(results);

  // Nothing left to delete: nothing moves.
  boxes_.ScriptAnswers({kIdYes});
  report = DeleteImageData(image);
  EXPECT_EQ(report.outcome, DeleteOutcome::kDeleted);
  EXPECT_TRUE(report.moved.empty());
}

TEST_F(DeleteThisDataTest, AFolderKeepsFoldersThatAreNotResults) {
  const std::string folder = dir_ / "folder";
  const std::string a = ScoredField(folder, "a", 52);
  const std::string b = ScoredField(folder, "b", 53);
  fs::create_directories(folder + "/notes");
  WriteFile(folder + "/notes/notes.txt", "keep");
  fs::create_directories(folder + "/c");
  WriteFile(folder + "/c/other.cdb", "keep");
  WriteFile(folder + "/d.cdb", "keep");
  boxes_.ScriptAnswers({kIdNo});
  EXPECT_EQ(DeleteFolderData(folder).outcome, DeleteOutcome::kDeclined);
  EXPECT_TRUE(Exists(DataSetPathOf(a)));
  EXPECT_EQ(boxes_.Boxes()[0].text, "Delete all data this folder?\n\n" + folder + "/");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Delete this data?");

  boxes_.ScriptAnswers({kIdYes});
  const DeleteReport report = DeleteFolderData(folder);
  EXPECT_EQ(report.outcome, DeleteOutcome::kDeleted);
  EXPECT_EQ(report.message, "");
  EXPECT_EQ(report.moved, (std::vector<std::string>{folder + "/a", folder + "/b"}));
  EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"a.png", "b.png", "c", "d.cdb", "notes"}));
  EXPECT_EQ(ReadFile(folder + "/notes/notes.txt"), "keep");
  EXPECT_EQ(ReadFile(folder + "/c/other.cdb"), "keep");
  ExpectInTrash(folder + "/a");
  ExpectInTrash(folder + "/b");
}

TEST_F(DeleteThisDataTest, AnUnreachableTrashDeletesNothing) {
  const std::string folder = dir_ / "folder";
  const std::string a = ScoredField(folder, "a", 54);
  WriteFile(dir_ / "not-a-folder", "x");
  ScopedEnv nowhere("XDG_DATA_HOME", (dir_ / "not-a-folder").c_str());
  boxes_.ScriptAnswers({kIdYes, kIdYes});
  for (const DeleteReport& report : {DeleteImageData(a), DeleteFolderData(folder)}) {
    EXPECT_EQ(report.outcome, DeleteOutcome::kFailed);
    EXPECT_TRUE(report.moved.empty());
    EXPECT_NE(report.message.find("trash"), std::string::npos) << report.message;
  }
  EXPECT_TRUE(Exists(DataSetPathOf(a)));
  EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"a", "a.png"}));
}

TEST_F(DeleteThisDataTest, AnotherImagesResultsAreNotDeleted) {
  const std::string image = ScoredField(dir_.Path(), "slide", 55);
  const std::string other = dir_ / "slide.bmp";  // same name: its results would be in "slide/"
  WriteFile(other, "not read");
  boxes_.ScriptAnswers({kIdYes});
  const DeleteReport report = DeleteImageData(other);
  EXPECT_EQ(report.outcome, DeleteOutcome::kFailed);
  EXPECT_TRUE(report.moved.empty());
  EXPECT_NE(report.message.find("slide.png"), std::string::npos) << report.message;
  EXPECT_TRUE(Exists(DataSetPathOf(image)));
}

}  // namespace
