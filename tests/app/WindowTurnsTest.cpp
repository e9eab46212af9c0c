// The window's rotate commands on a field whose tails point down.
#include <cstring>

#include "CometDatabase.h"
#include "FieldImageLoader.h"
#include "FieldTiff.h"
#include "ImagePaths.h"
#include "QuarterTurns.h"
#include "WindowFixture.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class WindowTurnsTest : public WindowTest {
 protected:
  // The grey field with tails pointing right, and written as a 12-bit TIFF
  // turned clockwise (tails down) to `path`.
  std::unique_ptr<BitmapImageClass> MakeDownwardField(const std::string& path) {
    SyntheticField field = MakeSyntheticField(640, 480, 9);
    EXPECT_TRUE(SaveRasterAsPng(*field.image, images_ / "right.png"));
    auto grey = LoadFieldImage(images_ / "right.png");
    BitmapImageClass down(*grey);
    RotateCounterClockwise(down, 270);
    fs::create_directories(fs::path(path).parent_path());
    WriteFile(path, GreyTiffBytes(down, 16, 16));
    return grey;
  }

  static bool SameRows(const BitmapImageClass& a, const BitmapImageClass& b) {
    if (a.Bitmap.bmWidth != b.Bitmap.bmWidth || a.Bitmap.bmHeight != b.Bitmap.bmHeight)
      return false;
    for (int r = 0; r < a.Bitmap.bmHeight; ++r)
      if (std::memcmp(a.GetScanLine(r), b.GetScanLine(r),
                      static_cast<std::size_t>(a.Bitmap.bmWidth)) != 0)
        return false;
    return true;
  }
};

TEST_F(WindowTurnsTest, QuarterTurnsTurnTheImageAndTheDisplay) {
  auto window = Start();
  const std::string path = images_ / "slide/down.tif";
  const auto right = MakeDownwardField(path);
  window->OpenFile(path);
  ASSERT_NE(window->Workspace().Image(), nullptr);
  const BitmapImageClass loaded(*window->Workspace().Image());
  EXPECT_EQ(loaded.Bitmap.bmWidth, 480);
  EXPECT_EQ(window->DisplayBitmap().image.width(), 480);

  window->Command("Rotate90Right")->trigger();  // tails now point left
  EXPECT_EQ(window->DisplayBitmap().image.width(), 640);
  EXPECT_EQ(window->DisplayBitmap().image.height(), 480);
  window->Command("Rotate180")->trigger();
  EXPECT_TRUE(SameRows(*window->Workspace().Image(), *right));
  EXPECT_EQ(window->Workspace().Rotation(), 90);
  window->Command("Rotate90Left")->trigger();
  window->Command("Rotate90Right")->trigger();
  EXPECT_TRUE(SameRows(*window->Workspace().Image(), *right));
  EXPECT_EQ(window->DisplayBitmap().image.width(), 640);

  // Scored turned, the data set records the turn and holds the comets of
  // the right-pointing field, as the command line finds them.
  Score(*window);
  const std::string cli = images_ / "cli";
  fs::create_directories(cli);
  fs::copy_file(path, cli + "/down.tif");
  const std::string command = "STRANDEX_HOME='" + home_.Path() + "' '" STRANDEX_CLI "' score '" +
                              cli + "/down.tif' --cutoff 40 --rotate 90 >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string byWindow = ReadFile(DataSetPathOf(path)),
                    byCli = ReadFile(DataSetPathOf(cli + "/down.tif"));
  WellRecord well;
  ASSERT_TRUE(Zelcor_ReadFromDB(DataSetPathOf(path), well));
  EXPECT_EQ(well.Rotation, 90);
  EXPECT_GT(well.CometCount, 3u);
  ASSERT_EQ(byWindow.size(), byCli.size());
  EXPECT_EQ(byWindow.substr(0, 748), byCli.substr(0, 748));
  // The reload after scoring shows the image as the file holds it.
  EXPECT_TRUE(SameRows(*window->Workspace().Image(), loaded));
}

// A turn given while the folder is selected turns every image of the
// folder's run.
TEST_F(WindowTurnsTest, AFolderTurnedWhileSelectedIsScoredTurned) {
  const std::string folder = images_ / "slide";
  MakeDownwardField(folder + "/a.tif");
  fs::copy_file(folder + "/a.tif", folder + "/b.TIFF");
  const std::string cli = images_ / "cli";
  fs::create_directories(cli);
  fs::copy_file(folder + "/a.tif", cli + "/a.tif");
  auto window = Start();
  window->OpenFolder(folder);
  window->Command("Rotate90Left")->trigger();
  Score(*window);
  const std::string command = "STRANDEX_HOME='" + home_.Path() + "' '" STRANDEX_CLI "' score '" +
                              cli + "/a.tif' --cutoff 40 --rotate 90 >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string byCli = ReadFile(DataSetPathOf(cli + "/a.tif"));
  ASSERT_GT(byCli.size(), 748u);
  EXPECT_EQ(ReadFile(DataSetPathOf(folder + "/a.tif")).substr(0, 748), byCli.substr(0, 748));
  WellRecord b;
  ASSERT_TRUE(Zelcor_ReadFromDB(DataSetPathOf(folder + "/b.TIFF"), b));
  EXPECT_EQ(b.Rotation, 90);
}

TEST_F(WindowTurnsTest, WithoutAnImageTheCommandsDoNothing) {
  auto window = Start();
  for (const char* name : {"Rotate90Left", "Rotate90Right", "Rotate180"}) {
    window->Command(name)->trigger();
    EXPECT_EQ(window->Workspace().Image(), nullptr) << name;
    EXPECT_EQ(window->Workspace().Rotation(), 0) << name;
  }
}

}  // namespace
