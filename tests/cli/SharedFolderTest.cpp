// Results on a folder that others share: readable by the group as the
// user's umask says, never mixed between two images of the same name, and
// no leftovers of an interrupted run.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "CliFixture.h"
#include "CometDatabase.h"
#include "TestSupport.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class SharedFolderTest : public CliTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(Cli("synth --out fields --fields 3 --width 640 --height 480 --seed 5").status, 0);
  }
  int Mode(const std::string& name) {
    struct stat st {};
    EXPECT_EQ(lstat((work_ / name).c_str(), &st), 0) << name;
    return static_cast<int>(st.st_mode & 07777);
  }
  // The `WellName` and comet count of a stored data set.
  std::pair<std::string, std::uint32_t> Stored(const std::string& cdb) {
    WellRecord well;
    EXPECT_TRUE(Zelcor_ReadFromDB(work_ / cdb, well)) << cdb;
    return {WellNameOf(well), well.CometCount};
  }
  void Copy(const std::string& from, const std::string& to) {
    fs::create_directories(fs::path(work_ / to).parent_path());
    fs::copy_file(work_ / from, work_ / to, fs::copy_options::overwrite_existing);
  }
};

// Every folder and file of a scoring, first and replacing, gets the modes a
// new file or folder gets under the user's umask.
TEST_F(SharedFolderTest, ResultsGetTheModesOfTheUsersUmask) {
  for (const auto& [umask, folderMode, fileMode] :
       std::vector<std::tuple<const char*, int, int>>{{"022", 0755, 0644}, {"027", 0750, 0640}}) {
    SCOPED_TRACE(umask);
    for (const char* answer : {"", "--yes"}) {  // first scoring, then replacing
      const CliRun run = Cli(std::string("score fields --cutoff 40 --jobs 2 ") + answer, "",
                             std::string("umask ") + umask + " && ");
      ASSERT_EQ(run.status, 0) << run.out;
      for (const char* result : {"field_01", "field_02", "field_03"}) {
        EXPECT_EQ(Mode(std::string("fields/") + result), folderMode) << result;
        int files = 0;
        for (const auto& e : fs::directory_iterator(work_ / ("fields/" + std::string(result)))) {
          EXPECT_EQ(Mode("fields/" + std::string(result) + "/" + e.path().filename().string()),
                    fileMode)
              << e.path();
          ++files;
        }
        EXPECT_GT(files, 2) << result;  // the data set and the thumbnails of its comets
      }
    }
    fs::remove_all(work_ / "fields/field_01");
    fs::remove_all(work_ / "fields/field_02");
    fs::remove_all(work_ / "fields/field_03");
  }
}

// slide.png and slide.jpg would share slide/slide.cdb: whichever came first,
// neither is scored, the existing results stay, and the message names both
// files and how to mend it. Once one is renamed, both score on their own.
TEST_F(SharedFolderTest, TwoImagesOfOneNameAreNeitherScoredNorMixed) {
  for (const auto& [first, second] : std::vector<std::pair<std::string, std::string>>{
           {"slide.png", "slide.jpg"}, {"slide.jpg", "slide.png"}}) {
    SCOPED_TRACE(first);
    fs::remove_all(work_ / "pair");
    Copy(first == "slide.png" ? "fields/field_01.png" : "fields/field_03.jpg", "pair/" + first);
    ASSERT_EQ(Cli("score pair --cutoff 40").status, 0);
    const std::string before = ReadFile(work_ / "pair/slide/slide.cdb");
    ASSERT_EQ(Stored("pair/slide/slide.cdb").first, first);

    Copy(second == "slide.png" ? "fields/field_01.png" : "fields/field_03.jpg", "pair/" + second);
    CliRun run = Cli("score pair --cutoff 40 --yes");
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_TRUE(Contains(run, "would share the result folder")) << run.out;
    EXPECT_TRUE(Contains(run, "rename")) << run.out;
    EXPECT_TRUE(Contains(run, "slide.png")) << run.out;
    EXPECT_TRUE(Contains(run, "slide.jpg")) << run.out;
    EXPECT_EQ(ReadFile(work_ / "pair/slide/slide.cdb"), before);

    // One image alone, however its path is written: the same.
    for (const auto& [arguments, cd] :
         std::vector<std::pair<std::string, std::string>>{{"pair/" + second, ""},
                                                          {"pair//" + second, ""},
                                                          {"./pair/" + second, ""},
                                                          {second, "cd pair && "},
                                                          {"./" + second, "cd pair && "}}) {
      SCOPED_TRACE(arguments);
      run = Cli("score " + arguments + " --cutoff 40 --yes", "", cd);
      EXPECT_EQ(run.status, 1) << run.out;
      EXPECT_TRUE(Contains(run, "would share the result folder")) << run.out;
      EXPECT_EQ(ReadFile(work_ / "pair/slide/slide.cdb"), before);
    }

    run = Cli("summary pair");  // the pair's comets are counted for neither image
    EXPECT_TRUE(Contains(run, "would share the result folder")) << run.out;
    EXPECT_TRUE(Contains(run, "pair/: 0 comets")) << run.out;

    fs::rename(work_ / ("pair/" + second), work_ / ("pair/other_" + second));
    run = Cli("score pair --cutoff 40 --yes");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(Stored("pair/slide/slide.cdb").first, first);
    EXPECT_EQ(Stored("pair/other_slide/other_slide.cdb").first, "other_" + second);
  }
}

// Results left by an image of the same name that is gone are not read or
// replaced as another image's.
TEST_F(SharedFolderTest, ResultsOfAnotherImageAreNeitherReadNorReplaced) {
  Copy("fields/field_01.png", "alone/slide.png");
  ASSERT_EQ(Cli("score alone --cutoff 40").status, 0);
  const std::string before = ReadFile(work_ / "alone/slide/slide.cdb");
  ASSERT_GT(Stored("alone/slide/slide.cdb").second, 0u);
  fs::remove(work_ / "alone/slide.png");
  Copy("fields/field_03.jpg", "alone/slide.jpg");

  CliRun run = Cli("score alone/slide.jpg --cutoff 40 --yes");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_TRUE(Contains(run, "are those of slide.png, not of slide.jpg")) << run.out;
  run = Cli("summary alone/slide.jpg");
  EXPECT_NE(run.status, 0) << run.out;
  EXPECT_TRUE(Contains(run, "are those of slide.png")) << run.out;
  run = Cli("score alone --cutoff 40 --yes");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_EQ(ReadFile(work_ / "alone/slide/slide.cdb"), before);
}

// Staging folders of killed runs go (to the trash) with the next scoring of
// their image; a live run's, another image's and look-alikes without our
// marker stay.
TEST_F(SharedFolderTest, StagingFoldersOfKilledRunsAreClearedAway) {
  const std::string marker = "/.strandex-staging";
  auto stage = [&](const std::string& name, const std::string& content) {
    fs::create_directories(work_ / ("fields/" + name));
    WriteFile(work_ / ("fields/" + name + "/half.bmp"), "half written");
    if (!content.empty()) WriteFile(work_ / ("fields/" + name + marker), content);
  };
  // The shell tells a finished process's number and this computer's name.
  const CliRun ids =
      Cli("version", "", "(true) & p=$!; wait $p; echo \"pid=$p host=$(uname -n)\"; ");
  const auto at = ids.out.find("pid=");
  ASSERT_NE(at, std::string::npos) << ids.out;
  const std::string pid = ids.out.substr(at + 4, ids.out.find(' ', at) - at - 4);
  const std::string host =
      ids.out.substr(ids.out.find("host=") + 5, ids.out.find('\n', at) - ids.out.find("host=") - 5);
  stage("field_01.scoring-Dead01", pid + " " + host + "\n");  // process gone
  stage("field_01.scoring-Old002", "1 elsewhere\n");          // aged past a day
  stage("field_01.scoring-Live03", std::to_string(getpid()) + " " + host + "\n");  // alive
  stage("field_01.scoring-NoMark", "");                                            // not ours
  stage("field_02.scoring-Dead04", pid + " " + host + "\n");  // another image's
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(49);
  fs::last_write_time(work_ / ("fields/field_01.scoring-Old002" + marker), old);

  const CliRun run = Cli("score fields/field_01.png --cutoff 40");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_FALSE(Exists(work_ / "fields/field_01.scoring-Dead01"));
  EXPECT_FALSE(Exists(work_ / "fields/field_01.scoring-Old002"));
  EXPECT_TRUE(Exists(work_ / "fields/field_01.scoring-Live03"));
  EXPECT_TRUE(Exists(work_ / "fields/field_01.scoring-NoMark"));
  EXPECT_TRUE(Exists(work_ / "fields/field_02.scoring-Dead04"));
  EXPECT_FALSE(Exists(work_ / ("fields/field_01" + marker)));  // the new results carry no marker
  // Cleared away into the trash, not deleted.
  int trashed = 0;
  for (const auto& e : fs::directory_iterator(home_ / "data/Trash/files"))
    trashed += e.path().filename().string().rfind("field_01.scoring-", 0) == 0;
  EXPECT_EQ(trashed, 2);
  // No run leaves a staging folder behind.
  for (const auto& e : fs::directory_iterator(work_ / "fields")) {
    const std::string name = e.path().filename().string();
    if (name.find(".scoring-") != std::string::npos) {
      EXPECT_TRUE(name == "field_01.scoring-Live03" || name == "field_01.scoring-NoMark" ||
                  name == "field_02.scoring-Dead04")
          << name;
    }
  }
}

}  // namespace
