#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "CometGridLayout.h"
#include "CometMetrics.h"
#include "ReviewModel.h"
#include "ReviewTestUtil.h"
#include "TestSupport.h"
#include "ThumbnailFiles.h"

using namespace testing_support;

namespace {

GridLayout LayoutFor(int maxWidth, int maxHeight, std::uint32_t shown, int textHeight,
                     int viewWidth) {
  DisplayWindowResult pass;
  pass.shown = shown;
  pass.maxWidth = maxWidth;
  pass.maxHeight = maxHeight;
  return ComputeGridLayout(pass, textHeight, viewWidth);
}

TEST(CometGridTest, CellSizesClampTheLargestThumbnail) {
  const struct {
    int width, height, t;
    int cellWidth, cellHeight;
  } cases[] = {{30, 20, 13, 76, 76},    {500, 350, 13, 426, 326}, {50, 50, 0, 50, 50},
               {400, 300, 5, 410, 310}, {123, 77, 10, 143, 97},   {0, 0, 13, 76, 76}};
  for (const auto& c : cases) {
    const GridLayout g = LayoutFor(c.width, c.height, 1, c.t, 1000);
    EXPECT_EQ(g.cellWidth, c.cellWidth) << c.width;
    EXPECT_EQ(g.cellHeight, c.cellHeight) << c.height;
  }
}

TEST(CometGridTest, ColumnsAndRows) {
  const struct {
    int viewWidth;
    std::uint32_t shown;
    int columns, rows;
  } cases[] = {{200, 3, 1, 3},                  // cells of 250 in a 200 view: still one column
               {0, 1, 1, 1},                    // a view narrower than the scroll bar
               {770, 5, 3, 2},                  // (770 - 20) / 250 = 3 columns, 5 comets in 2 rows
               {769, 5, 2, 3}, {770, 0, 3, 1},  // nothing shown still lays out one row
               {770, 6, 3, 2}, {770, 7, 3, 3}, {2520, 8192, 10, 820}};
  for (const auto& c : cases) {
    const GridLayout g = LayoutFor(250, 100, c.shown, 0, c.viewWidth);
    EXPECT_EQ(g.columns, c.columns) << c.viewWidth << " " << c.shown;
    EXPECT_EQ(g.rows, c.rows) << c.viewWidth << " " << c.shown;
    EXPECT_EQ(g.cells.size(), static_cast<std::size_t>(c.columns * c.rows));
    EXPECT_EQ(g.PictureWidth(), c.columns * 250);
    EXPECT_EQ(g.PictureHeight(), c.rows * 100);
  }
}

// Five comets in three columns of 100 x 80 cells, values 1..5; comet 2 is
// left out, comet 4 deleted.
WellRecord FiveComets() {
  WellRecord well = WellOfValues(kTailDNA, {1, 2, 3, 4, 5, 6, 7});
  well.Comets[2].Included = 0;
  well.Comets[4].Deleted = 1;
  return well;
}

TEST(CometGridTest, CellMapTakesShownCometsInOrder) {
  const WellRecord well = FiveComets();
  GridLayout g = LayoutFor(80, 60, 5, 10, 3 * 100 + 20);
  ASSERT_EQ(g.columns, 3);
  ASSERT_EQ(g.rows, 2);
  FillCellMap(g, well);
  EXPECT_EQ(g.cells, (std::vector<std::int32_t>{0, 1, 3, 5, 6, -1}));
}

TEST(CometGridTest, ClickMapsToTheCometOrNothing) {
  const WellRecord well = FiveComets();
  GridLayout g = LayoutFor(80, 60, 5, 10, 320);  // cells 100 x 80
  FillCellMap(g, well);
  const struct {
    int x, y;
    std::optional<std::uint32_t> comet;
  } cases[] = {{0, 0, 0u},     {99, 79, 0u},   {100, 0, 1u}, {299, 0, 3u}, {0, 80, 5u},
               {150, 159, 6u}, {250, 100, {}},  // the empty last cell
               {300, 10, {}},  {10, 160, {}},  {-1, 10, {}}, {10, -1, {}}, {100000, 100000, {}}};
  for (const auto& c : cases) EXPECT_EQ(g.CometAt(c.x, c.y), c.comet) << c.x << "," << c.y;
  EXPECT_EQ(g.CellAt(250, 100), 5);
  EXPECT_EQ(g.CellAt(300, 10), std::nullopt);
  EXPECT_EQ(GridLayout{}.CometAt(0, 0), std::nullopt);
  const GridRect r = g.CellRect(4);
  EXPECT_EQ(r, (GridRect{100, 80, 200, 160}));
}

TEST(CometGridTest, EmptyCellsHaveNothingToPaint) {
  const WellRecord well = FiveComets();
  GridLayout g = LayoutFor(80, 60, 5, 10, 320);
  FillCellMap(g, well);
  EXPECT_TRUE(DescribeCell(g, well, kTailDNA, 4));
  for (int cell : {5, 6, -1, 1000}) EXPECT_EQ(DescribeCell(g, well, kTailDNA, cell), std::nullopt);
}

TEST(CometGridTest, CellsInSight) {
  GridLayout g = LayoutFor(80, 60, 10, 10, 320);  // 3 columns, 4 rows of 80
  ASSERT_EQ(g.rows, 4);
  const struct {
    int top, bottom;
    std::pair<int, int> cells;
  } cases[] = {{0, 80, {0, 3}},      {0, 81, {0, 6}},     {79, 80, {0, 3}},
               {80, 160, {3, 6}},    {100, 300, {3, 12}}, {-50, 10, {0, 3}},
               {400, 500, {12, 12}}, {40, 40, {0, 0}},    {-90, -10, {0, 0}}};
  for (const auto& c : cases) EXPECT_EQ(g.CellsBetween(c.top, c.bottom), c.cells) << c.top;
  EXPECT_EQ(GridLayout{}.CellsBetween(0, 100), (std::pair<int, int>{0, 0}));
}

TEST(CometGridTest, CellColoursByBand) {
  const struct {
    int band;
    CellColours colours;
  } cases[] = {{1, {0x000000, 0xFFFFFF}}, {2, {0x000088, 0xFFFFFF}}, {3, {0x00DDDD, 0x000000}},
               {4, {0x008800, 0xFFFFFF}}, {5, {0x008800, 0xFFFFFF}}, {6, {0x00DDDD, 0x000000}},
               {7, {0x000088, 0xFFFFFF}}, {8, {0x000000, 0xFFFFFF}}};
  for (const auto& c : cases) EXPECT_EQ(CellColoursOfBand(c.band), c.colours) << c.band;
}

TEST(CometGridTest, CellDrawingPositions) {
  WellRecord well = WellOfValues(kTailDNA, {0.0f, 1.5f, -2.5f, 12.25f});
  SetStatistics(well, kTailDNA, -2.5f, 12.25f, 0.0f, 1.0f);
  well.Comets[1].ImageWidth = 41;
  well.Comets[1].ImageHeight = 21;
  well.Comets[1].HeadCenter = 12;
  GridLayout g = LayoutFor(60, 60, 4, 10, 2 * 80 + 20);  // cells 80 x 80, two columns
  FillCellMap(g, well);
  const CometCell c = DescribeCell(g, well, kTailDNA, 1).value();
  EXPECT_EQ(c.record, 1u);
  EXPECT_EQ(c.rect, (GridRect{80, 0, 160, 80}));
  EXPECT_EQ(c.colours, CellColoursOfBand(6));
  EXPECT_EQ(c.thumbnailLeft, 80 + 19);  // (80 - 41) >> 1
  EXPECT_EQ(c.thumbnailTop, 29);        // (80 - 21) >> 1
  EXPECT_EQ(c.headLineX, 80 + 19 + 12);
  EXPECT_EQ(c.valueText, "1.500");
  EXPECT_EQ(c.valueTop, 21 + 29);
  EXPECT_EQ(FileLabelTop(c, 13), 29 - 13);
  EXPECT_EQ(CentredTextLeft(c.rect, 31), 80 + 24);  // (80 - 31) >> 1
  EXPECT_EQ(DescribeCell(g, well, kTailDNA, 2)->colours, CellColoursOfBand(2));
  EXPECT_EQ(DescribeCell(g, well, kTailDNA, 3)->colours, CellColoursOfBand(8));
  EXPECT_EQ(DescribeCell(g, well, kTailDNA, 3)->rect, (GridRect{80, 80, 160, 160}));
  // A thumbnail wider than the cell starts left of it: the shift rounds down.
  well.Comets[0].ImageWidth = 85;
  EXPECT_EQ(DescribeCell(g, well, kTailDNA, 0)->thumbnailLeft, -3);
}

TEST(CometGridTest, LargeBitmapsAreStretchedIntoTheCell) {
  WellRecord well = WellOfValues(kTailDNA, {1.0f});
  well.Comets[0].ImageWidth = 500;
  well.Comets[0].ImageHeight = 350;
  GridLayout g = LayoutFor(500, 350, 1, 13, 1000);  // cells 426 x 326
  FillCellMap(g, well);
  const CometCell c = DescribeCell(g, well, kTailDNA, 0).value();
  EXPECT_EQ(ThumbnailRect(g, c, 500, 350, true), (GridRect{13, 13, 413, 313}));
  // The same size as a JPEG is drawn unscaled at the thumbnail origin.
  EXPECT_EQ(ThumbnailRect(g, c, 500, 350, false), (GridRect{-37, -12, 463, 338}));
  // Higher only, or wider only, is enough to stretch a bitmap.
  EXPECT_EQ(ThumbnailRect(g, c, 100, 327, true), (GridRect{13, 13, 413, 313}));
  EXPECT_EQ(ThumbnailRect(g, c, 427, 10, true), (GridRect{13, 13, 413, 313}));
  EXPECT_EQ(ThumbnailRect(g, c, 426, 326, true), (GridRect{-37, -12, 389, 314}));
}

TEST(CometGridTest, ManualHeadColumnOfAClick) {
  GridLayout g = LayoutFor(60, 60, 6, 10, 3 * 80 + 20);  // cells 80 x 80
  const int thumbnailWidth = 41;
  const int left = 2 * 80 + ((80 - thumbnailWidth) >> 1);  // thumbnail's left edge, column 2
  EXPECT_EQ(ManualHeadColumn(g, left + 10, thumbnailWidth), 9);
  EXPECT_EQ(ManualHeadColumn(g, left, thumbnailWidth), -1);
  EXPECT_EQ(ManualHeadColumn(g, 2 * 80, thumbnailWidth), -20);
  EXPECT_EQ(ManualHeadColumn(g, left + 40, thumbnailWidth), 39);
  // The row does not matter, and a thumbnail wider than the cell shifts it.
  EXPECT_EQ(ManualHeadColumn(g, 10, 100), 10 + 10 - 1);
}

TEST(CometGridTest, ThumbnailFilesOfASingleImage) {
  WellRecord well = WellOfValues(kTailDNA, {1.0f});
  EXPECT_STREQ(ThumbnailExtension(false), ".bmp");
  EXPECT_STREQ(ThumbnailExtension(true), ".jpg");
  EXPECT_EQ(SingleImageThumbnail("/data/slide/slide.cdb", well.Comets[0], ".jpg"),
            "/data/slide/comet0.jpg");
  EXPECT_EQ(SingleImageThumbnail("slide.cdb", well.Comets[0], ".bmp"), "comet0.bmp");
  for (const char* bad : {"", "..", "../evil", "a/b"}) {
    SetImageName(well.Comets[0], bad);
    EXPECT_EQ(SingleImageThumbnail("/data/slide/slide.cdb", well.Comets[0], ".bmp"), "") << bad;
  }
}

TEST(CometGridTest, ThumbnailFilesOfAFolder) {
  TempDir dir;
  const std::vector<std::string> images = {dir / "a.png", dir / "b.bmp", dir / "c.jpg"};
  for (const char* folder : {"a", "b", "c"}) std::filesystem::create_directory(dir / folder);
  WriteFile(dir / "b/t1.bmp", "x");
  WriteFile(dir / "c/t1.bmp", "x");  // the first image in order wins
  WriteFile(dir / "c/t1.jpg", "x");
  std::filesystem::create_directory(dir / "a/t2.bmp");  // a folder is no thumbnail
  WellRecord well = WellOfValues(kTailDNA, {1.0f, 2.0f, 3.0f});
  SetImageName(well.Comets[0], "t1");
  SetImageName(well.Comets[1], "t2");
  SetImageName(well.Comets[2], "../b/t1");
  auto bmp = FindFolderThumbnail(images, well.Comets[0], ".bmp");
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->image, 1u);
  EXPECT_EQ(bmp->path, dir / "b/t1.bmp");
  auto jpg = FindFolderThumbnail(images, well.Comets[0], ".jpg");
  ASSERT_TRUE(jpg);
  EXPECT_EQ(jpg->image, 2u);
  EXPECT_FALSE(FindFolderThumbnail(images, well.Comets[1], ".bmp"));
  EXPECT_FALSE(FindFolderThumbnail(images, well.Comets[2], ".bmp"));
  EXPECT_FALSE(FindFolderThumbnail({}, well.Comets[0], ".bmp"));
  EXPECT_EQ(FileLabelText(images[1]), "b");
  EXPECT_EQ(FileLabelText("/x/field.one.png"), "field.one");
}

TEST(CometGridTest, ModelLaysOutSortsAndMapsCells) {
  WellRecord well = WellOfValues(kTailDNA, {5.0f, 1.0f, 4.0f, 9.0f, 2.0f});
  SetStatistics(well, kTailDNA, 1.0f, 9.0f, 3.0f, 2.0f);  // 9 lies at a + 3s: band 8
  well.Comets[4].ImageWidth = 120;
  ReviewModel model;
  model.ChooseMetricFromList(-1);
  model.SetSortItem(1);
  model.SetWindowItems(0, 6);  // -4 .. 3 hides band 8
  std::int32_t undo = 1;       // the comet of value 1
  const GridLayout& g = model.LayOutGrid(well, 10, 2 * 140 + 20, undo);
  EXPECT_EQ(model.Pass().shown, 4u);
  EXPECT_EQ(g.cellWidth, 140);
  EXPECT_EQ(g.columns, 2);
  EXPECT_EQ(g.rows, 2);
  EXPECT_EQ(Order(well), (std::vector<int>{3, 0, 2, 4, 1}));
  EXPECT_EQ(undo, 4);
  EXPECT_EQ(g.cells, (std::vector<std::int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(model.CometAt(well, 150, 0), 2u);
  EXPECT_EQ(model.Cell(well, 0)->valueText, "5.000");
  // A layout outlives no data set: records beyond the count are no comets.
  well.CometCount = 2;
  EXPECT_EQ(model.CometAt(well, 0, 0), 1u);
  EXPECT_EQ(model.CometAt(well, 150, 0), std::nullopt);
  EXPECT_EQ(model.Cell(well, 1), std::nullopt);
  EXPECT_STREQ(model.Extension(), ".bmp");
  model.SetImageModeItem(1);
  EXPECT_STREQ(model.Extension(), ".jpg");
  EXPECT_EQ(model.HeadColumnAt(10 + ((140 - 30) >> 1), 30), 9);
}

TEST(CometGridTest, ModelOnAnEmptyDataSetEmptiesTheCellMap) {
  WellRecord well = WellOfValues(kTailDNA, {1.0f, 2.0f});
  ReviewModel model;
  std::int32_t undo = -1;
  model.LayOutGrid(well, 10, 500, undo);
  ASSERT_TRUE(model.CometAt(well, 0, 0));
  WellRecord empty = WellOfValues(kTailDNA, {});
  model.LayOutGrid(empty, 10, 500, undo);
  EXPECT_TRUE(model.Layout().cells.empty());
  EXPECT_FALSE(model.CometAt(empty, 0, 0));
  EXPECT_FALSE(model.CometAt(well, 0, 0));
  EXPECT_EQ(model.Pass().shown, 0u);
}

}  // namespace
