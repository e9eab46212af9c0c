#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "CometDatabase.h"
#include "CometMetrics.h"
#include "ImagePaths.h"
#include "ManualScoring.h"
#include "TestSupport.h"
#include "ViewMapping.h"
#include "WorkspaceTestUtil.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 200, kHeight = 150;

// Two comets whose rows all differ (each picture row of a box one level
// brighter than the one above): one in the open, one touching the top.
BitmapImageClass Field() {
  BitmapImageClass image(kWidth, kHeight, 8);
  image.SetAllPixelsToValue(10);
  for (const auto& [left, top, width, height] :
       std::vector<std::tuple<int, int, int, int>>{{40, 50, 30, 20}, {120, 0, 24, 15}})
    for (int y = top; y < top + height; ++y)
      for (int x = left; x < left + width; ++x)
        image.GetScanLine(kHeight - 1 - y)[x] = static_cast<std::uint8_t>(100 + 4 * (y - top));
  return image;
}

class ManualScoringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Field().SaveToFile(image_));
    ASSERT_TRUE(workspace_.SelectImage(image_));
  }
  std::uint8_t Pixel(int x, int pictureY) const {
    return workspace_.Image()->GetScanLine(kHeight - 1 - pictureY)[x];
  }
  WellRecord Stored() const { return ReadDataSet(DataSetPathOf(image_)); }

  TempDir dir_;
  const std::string image_ = dir_ / "field.bmp";
  RecordingMessageBoxProvider boxes_;
  ScopedMessageBoxProvider scoped_{boxes_};
  ScoringWorkspace workspace_;
  ManualScoring manual_{workspace_};
};

TEST_F(ManualScoringTest, RectanglesAreNormalisedAndOnlyTheirInsideScores) {
  manual_.BeginDrag({75, 74});  // bottom right to top left
  manual_.DragTo({35, 45});
  EXPECT_EQ(manual_.Rectangle(), (CometRectangle{35, 45, 75, 74}));
  for (const auto& [point, inside] : std::vector<std::pair<PicturePoint, bool>>{{{35, 60}, false},
                                                                                {{75, 60}, false},
                                                                                {{50, 45}, false},
                                                                                {{50, 74}, false},
                                                                                {{36, 46}, true},
                                                                                {{74, 73}, true},
                                                                                {{20, 60}, false}})
    EXPECT_EQ(manual_.Rectangle().Contains(point), inside) << point.x << "," << point.y;
  manual_.BeginDrag({-20, 140});  // dragged past the picture: kept within it
  manual_.DragTo({230, 170});
  EXPECT_EQ(manual_.Rectangle(), (CometRectangle{0, 140, kWidth - 1, kHeight - 1}));
  manual_.CancelRectangle();
  EXPECT_FALSE(manual_.Rectangle().Defined());
  EXPECT_EQ(manual_.ScoreRectangle(50, 40), ManualOutcome::kNothing);
  EXPECT_FALSE(Exists(ResultFolderOf(image_)));
}

// The cut-out is exactly the drawn rectangle, also at the top of the
// picture; the head is the click's column within it; the rectangle turns
// black; each comet is written at once with fresh statistics.
TEST_F(ManualScoringTest, ARectangleIsCutOutExactlyAndWritten) {
  const BitmapImageClass original(*workspace_.Image());
  for (const CometRectangle& r :
       {CometRectangle{35, 45, 75, 74}, CometRectangle{115, 0, 150, 20}}) {
    SCOPED_TRACE(r.top);
    const std::uint32_t before = workspace_.DataSet().CometCount;
    manual_.BeginDrag({r.left, r.top});
    manual_.DragTo({r.right, r.bottom});
    const int headX = r.left + 10;
    ASSERT_EQ(manual_.ScoreRectangle(headX, 40), ManualOutcome::kScored) << manual_.Message();
    EXPECT_FALSE(manual_.Rectangle().Defined());
    const WellRecord& well = workspace_.DataSet();
    ASSERT_EQ(well.CometCount, before + 1);
    const CometRecord& c = well.Comets[before];
    EXPECT_EQ(c.HeadCenter, 10);
    EXPECT_EQ(c.ImageWidth, r.right - r.left + 1);
    EXPECT_EQ(c.ImageHeight, r.bottom - r.top + 1);
    EXPECT_EQ(c.CenterX, float((r.left + r.right) / 2));
    EXPECT_EQ(c.CenterY, float((r.top + r.bottom) / 2));
    EXPECT_GT(c.Metrics[kCometArea], 0.0f);

    // The thumbnail holds the rectangle's pixels, suppressed below the
    // cutoff and stretched.
    BitmapImageClass expected(r.right - r.left + 1, r.bottom - r.top + 1, 8);
    expected.Copy(original, r.left, kHeight - 1 - r.bottom);
    expected.SuppressOutsideRangeGRAY(40, 255);
    expected.RangeNonZeroGRAY(0, 255);
    const std::string folder = ResultFolderOf(image_);
    BitmapImageClass cut(folder + ImageNameOf(c) + ".bmp");
    ASSERT_EQ(cut.Bitmap.bmHeight, expected.Bitmap.bmHeight);
    for (int row = 0; row < expected.Bitmap.bmHeight; ++row)
      for (int x = 0; x < expected.Bitmap.bmWidth; ++x)
        ASSERT_EQ(cut.GetScanLine(row)[x], expected.GetScanLine(row)[x]) << row << "," << x;
    EXPECT_TRUE(Exists(folder + ImageNameOf(c) + ".jpg"));

    for (int y = r.top; y <= r.bottom; ++y)
      for (int x = r.left; x <= r.right; ++x) ASSERT_EQ(Pixel(x, y), 0) << x << "," << y;
    const WellRecord stored = Stored();
    EXPECT_EQ(stored.CometCount, before + 1);
  }
  // Two comets: real statistics on disk.
  const WellRecord stored = Stored();
  const int slot = SlotOfMetric(kCometArea);
  EXPECT_LE(stored.MinValue[slot], stored.MaxValue[slot]);
  EXPECT_EQ(Pixel(5, 5), 10);  // the rest of the field is untouched
}

TEST_F(ManualScoringTest, OneClickScoresTheRegionUnderThePress) {
  ASSERT_EQ(manual_.ScoreRegion({150, 100}, 40), ManualOutcome::kNothing);  // background
  EXPECT_FALSE(Exists(ResultFolderOf(image_)));
  EXPECT_EQ(workspace_.DataSet().CometCount, 0u);

  ASSERT_EQ(manual_.ScoreRegion({50, 60}, 40), ManualOutcome::kScored) << manual_.Message();
  const CometRecord& c = workspace_.DataSet().Comets[0];
  EXPECT_EQ(c.ImageWidth, 30);
  EXPECT_EQ(c.ImageHeight, 20);
  EXPECT_GE(c.HeadCenter, 2);
  EXPECT_TRUE(Exists(ResultFolderOf(image_) + "field.bmp"));  // the thresholded field
  BitmapImageClass thresholded(ResultFolderOf(image_) + "field.bmp");
  EXPECT_EQ(thresholded.GetScanLine(kHeight - 1 - 60)[50], 0);  // inside the band
  EXPECT_EQ(thresholded.GetScanLine(kHeight - 1 - 100)[150], 255);
  EXPECT_EQ(Pixel(50, 60), 255);  // the comet turns white
  EXPECT_EQ(Pixel(30, 60), 10);
  EXPECT_EQ(Stored().CometCount, 1u);

  // Above the comet's brightest rows the region is smaller.
  ASSERT_EQ(manual_.ScoreRegion({130, 10}, 140), ManualOutcome::kScored) << manual_.Message();
  EXPECT_LT(workspace_.DataSet().Comets[1].ImageHeight, 15);
}

TEST(OneClickCutoffTest, DraggingMovesTheCutoff) {
  for (const auto& [press, from, to, cutoff] : std::vector<std::tuple<int, int, int, int>>{
           {40, 100, 110, 50}, {40, 100, 90, 30}, {250, 0, 20, 255}, {5, 50, 40, 0}})
    EXPECT_EQ(OneClickCutoff(press, from, to), cutoff);
}

// No comet beyond the data set's 8192, and none into another image's
// results: refused with a message and nothing written.
TEST_F(ManualScoringTest, RefusedWhenTheDataSetCannotTakeIt) {
  workspace_.DataSet().CometCount = WellRecord::kMaxComets;
  manual_.BeginDrag({35, 45});
  manual_.DragTo({75, 74});
  EXPECT_EQ(manual_.ScoreRectangle(50, 40), ManualOutcome::kRefused);
  EXPECT_NE(manual_.Message().find("8192"), std::string::npos) << manual_.Message();
  EXPECT_EQ(manual_.ScoreRegion({50, 60}, 40), ManualOutcome::kRefused);
  EXPECT_FALSE(Exists(ResultFolderOf(image_)));
  EXPECT_EQ(Pixel(50, 60), 100 + 4 * 10);  // not marked

  workspace_.DataSet().CometCount = 0;
  WriteFile(dir_ / "field.png", "another image of the same name");
  EXPECT_EQ(manual_.ScoreRegion({50, 60}, 40), ManualOutcome::kRefused);
  EXPECT_NE(manual_.Message().find("field.png"), std::string::npos) << manual_.Message();
  EXPECT_FALSE(Exists(ResultFolderOf(image_)));
}

// A ".cdb" that cannot be read is never written over by a comet added by
// hand, nor is a data set scored turned given a comet measured unturned.
TEST_F(ManualScoringTest, RefusedOverResultsItCannotJoin) {
  manual_.BeginDrag({35, 45});
  manual_.DragTo({75, 74});
  ASSERT_EQ(manual_.ScoreRectangle(50, 40), ManualOutcome::kScored);
  const std::string cdb = DataSetPathOf(image_);
  const std::string whole = ReadFile(cdb);

  WriteFile(cdb, whole.substr(0, 100));
  ASSERT_TRUE(workspace_.SelectImage(image_));
  EXPECT_EQ(manual_.ScoreRegion({130, 5}, 40), ManualOutcome::kRefused);
  EXPECT_NE(manual_.Message().find("cannot be read"), std::string::npos) << manual_.Message();
  EXPECT_EQ(ReadFile(cdb), whole.substr(0, 100));

  WriteFile(cdb, whole);
  ASSERT_TRUE(workspace_.SelectImage(image_));
  workspace_.DataSet().Rotation = 90;  // as a run of the image turned left leaves it
  EXPECT_EQ(manual_.ScoreRegion({130, 5}, 40), ManualOutcome::kRefused);
  EXPECT_NE(manual_.Message().find("turned 90 degrees"), std::string::npos) << manual_.Message();
  EXPECT_EQ(ReadFile(cdb), whole);
  ASSERT_TRUE(workspace_.RotateImage(90));
  EXPECT_EQ(manual_.ScoreRegion({5, 70}, 40), ManualOutcome::kScored) << manual_.Message();
  EXPECT_EQ(Stored().CometCount, 2u);
}

// A data set that cannot be written leaves the data set on view as its
// file holds it: no comet counted that is not on disk.
TEST_F(ManualScoringTest, AFailedWriteLeavesTheDataSetAsItsFileHoldsIt) {
  manual_.BeginDrag({35, 45});
  manual_.DragTo({75, 74});
  ASSERT_EQ(manual_.ScoreRectangle(50, 40), ManualOutcome::kScored);
  const std::string whole = ReadFile(DataSetPathOf(image_));
  {
    ScopedFileSizeLimit limit(whole.size());
    EXPECT_EQ(manual_.ScoreRegion({130, 5}, 40), ManualOutcome::kFailed);
  }
  EXPECT_NE(manual_.Message().find("cannot write"), std::string::npos) << manual_.Message();
  EXPECT_EQ(ReadFile(DataSetPathOf(image_)), whole);
  EXPECT_EQ(workspace_.DataSet().CometCount, 1u);
}

TEST(ViewMappingTest, ControlPointsMapToThePixelsTheyShow) {
  // The mapping's own arithmetic.
  EXPECT_EQ(ControlToPicture(105, 7, 640, 480, {100, 0, 420, 240}), (PicturePoint{10, 14}));
  EXPECT_EQ(ControlToPicture(1, 0, 1000, 3, {0, 0, 3, 3}), (PicturePoint{333, 0}));
  EXPECT_EQ(ControlToPicture(99, -1, 640, 480, {100, 0, 420, 240}).x, -2);

  for (const auto& [w, h, cw, ch] :
       std::vector<std::tuple<int, int, int, int>>{{1360, 1024, 942, 700},
                                                   {640, 480, 942, 853},
                                                   {200, 150, 333, 777},
                                                   {5120, 3840, 800, 600}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " in " + std::to_string(cw));
    DisplayRect fit = FitPicture(w, h, cw, ch);
    EXPECT_LE(fit.Width(), cw);
    EXPECT_LE(fit.Height(), ch);
    EXPECT_TRUE(fit.Width() == cw || fit.Height() == ch);
    for (double factor : {1.0, 2.0, 8.0, 32.0}) {
      const DisplayRect dest = ZoomAbout(fit, factor, cw / 3, ch / 2);
      // Every control pixel of the picture shows a picture pixel, in order.
      int last = -1;
      for (int x = dest.left; x < dest.right; x += std::max(1, dest.Width() / 997)) {
        const PicturePoint p = ControlToPicture(x, dest.top, w, h, dest);
        ASSERT_TRUE(InPicture(p, w, h)) << x;
        ASSERT_GE(p.x, last);
        last = p.x;
      }
      EXPECT_FALSE(InPicture(ControlToPicture(dest.right, dest.bottom, w, h, dest), w, h));
      // Where a picture pixel covers at least one control pixel, the first
      // control pixel from its left edge on maps back to it.
      if (dest.Width() >= w && dest.Height() >= h)
        for (int px = 0; px < w; px += std::max(1, w / 101)) {
          const long long dw = dest.Width(), dh = dest.Height();
          const int x = dest.left + static_cast<int>((px * dw + w - 1) / w);
          const int y = dest.top + static_cast<int>(((h - 1) * dh + h - 1) / h);
          ASSERT_EQ(ControlToPicture(x, y, w, h, dest), (PicturePoint{px, h - 1})) << px;
          EXPECT_LE(PictureToControlX(px, w, dest), x);
          EXPECT_GT(PictureToControlX(px + 1, w, dest), x);
        }
    }
    // Zooming keeps the picture point under the pointer.
    const PicturePoint under = ControlToPicture(cw / 3, ch / 2, w, h, fit);
    const DisplayRect zoomed = ZoomAbout(fit, 4.0, cw / 3, ch / 2);
    const PicturePoint after = ControlToPicture(cw / 3, ch / 2, w, h, zoomed);
    EXPECT_LE(std::abs(after.x - under.x), 1);
    EXPECT_LE(std::abs(after.y - under.y), 1);
  }
}

TEST(ViewMappingTest, PanningKeepsThePictureInView) {
  // A control of 400 x 300; each row: the wanted rectangle, where it ends up.
  for (const auto& [wanted, kept] : std::vector<std::pair<DisplayRect, DisplayRect>>{
           {{-100, -50, 700, 550}, {-100, -50, 700, 550}},    // inside the allowed range
           {{30, 20, 830, 620}, {0, 0, 800, 600}},            // gap at the top left
           {{-500, -400, 300, 200}, {-400, -300, 400, 300}},  // gap at the bottom right
           {{-20, -10, 780, 240}, {-20, 0, 780, 250}},        // narrower than the control: inside
           {{-20, 100, 780, 350}, {-20, 50, 780, 300}},
           {{10, 10, 210, 160}, {10, 10, 210, 160}}}) {  // smaller than the control: left alone
    const DisplayRect d = KeepInView(wanted, 400, 300);
    EXPECT_EQ(std::tie(d.left, d.top, d.right, d.bottom),
              std::tie(kept.left, kept.top, kept.right, kept.bottom))
        << wanted.left << "," << wanted.top;
  }
}

}  // namespace

namespace {

// A folder summary on view, one of its images shown (as after a click on a
// folder comet): a comet added by hand would write every image's comets
// over that image's own data set, so none is added until the image's own
// data set is loaded.
TEST_F(ManualScoringTest, NoCometIsAddedOverAFolderSummary) {
  const std::string other = dir_ / "other.bmp";
  ASSERT_TRUE(Field().SaveToFile(other));
  for (const std::string& image : {image_, other}) {
    ASSERT_TRUE(workspace_.SelectImage(image));
    ASSERT_EQ(workspace_.ScoreSelectedImageUsingCutoff(40, false), ScoreOutcome::kScored);
  }
  const std::string own = ReadFile(DataSetPathOf(image_));
  workspace_.SelectSummary({image_, other});
  ASSERT_TRUE(workspace_.ShowsSummary());
  ASSERT_TRUE(workspace_.LoadImage(image_));
  EXPECT_EQ(manual_.ScoreRegion({50, 60}, 40), ManualOutcome::kRefused);
  EXPECT_NE(manual_.Message().find("select the image in the tree"), std::string::npos)
      << manual_.Message();
  EXPECT_EQ(ReadFile(DataSetPathOf(image_)), own);

  ASSERT_TRUE(workspace_.LoadDataSet());
  EXPECT_FALSE(workspace_.ShowsSummary());
  EXPECT_EQ(manual_.ScoreRegion({50, 60}, 40), ManualOutcome::kScored);
  EXPECT_EQ(Stored().CometCount, ReadDataSet(DataSetPathOf(other)).CometCount + 1);
}

}  // namespace
