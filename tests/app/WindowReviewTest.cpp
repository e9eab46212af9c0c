// The review area on a scored data set: the histogram, the labels, the
// display window, the sort and metric choices with their settings, the grid
// painted from its layout, and one click of each cursor mode on a comet,
// checked in memory and in the files on disk.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <cmath>

#include "CometDatabase.h"
#include "CometGridView.h"
#include "CometMetrics.h"
#include "DataSetPlace.h"
#include "DisplayWindow.h"
#include "HistogramView.h"
#include "ImagePaths.h"
#include "IniFile.h"
#include "PreferencesForm.h"
#include "ReviewPanel.h"
#include "ReviewTexts.h"
#include "ThumbnailCache.h"
#include "ThumbnailFiles.h"
#include "WindowFixture.h"
#include "WorkspaceTestUtil.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class WindowReviewTest : public WindowTest {
 protected:
  // A scored folder of three fields, its summary on view.
  std::unique_ptr<TMainApplicationForm> ScoredFolder() {
    fields_ = MakeFields(images_.Path() + "/fields", 3);
    auto window = Start();
    window->CreatePreferences();
    window->OpenFolder(images_.Path() + "/fields");
    Score(*window);
    EXPECT_GT(window->Workspace().DataSet().CometCount, 10u);
    return window;
  }

  // One scored field of view, its data set on view.
  std::unique_ptr<TMainApplicationForm> ScoredImage() {
    fields_ = MakeFields(images_.Path() + "/one", 1);
    auto window = Start();
    window->CreatePreferences();
    window->OpenFile(fields_[0]);
    Score(*window);
    return window;
  }

  static QComboBox* List(TMainApplicationForm& window, const char* name) {
    return window.findChild<QComboBox*>(name);
  }
  static std::string Text(TMainApplicationForm& window, const char* name) {
    return window.findChild<QLabel*>(name)->text().toStdString();
  }
  std::optional<std::string> Stored(const char* key) const {
    return IniFile(SettingsFilePath()).Find("main", key);
  }

  // The record in the first cell and the middle of that cell.
  static std::pair<std::uint32_t, QPoint> FirstCell(TMainApplicationForm& window) {
    const GridLayout& layout = window.Review()->Model().Layout();
    EXPECT_FALSE(layout.cells.empty());
    EXPECT_GE(layout.cells[0], 0);
    const GridRect r = layout.CellRect(0);
    return {static_cast<std::uint32_t>(layout.cells[0]),
            QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2)};
  }
  // The stored record of a comet in the data set of the image it came from.
  static std::optional<CometRecord> StoredComet(const std::string& dataSet,
                                                const std::string& name) {
    const WellRecord well = ReadDataSet(dataSet);
    for (std::uint32_t i = 0; i < well.CometCount; ++i)
      if (ImageNameOf(well.Comets[i]) == name) return well.Comets[i];
    return std::nullopt;
  }
  // The image's own record holds the edit as shown: the same measurement,
  // head and flag (its probability and Included flag belong to that
  // image's own statistics and window).
  static void ExpectStoredAsShown(const std::optional<CometRecord>& stored,
                                  const CometRecord& shown) {
    ASSERT_TRUE(stored.has_value());
    for (int m = kCometProbability + 1; m < kMetricCount; ++m)
      EXPECT_EQ(stored->Metrics[m], shown.Metrics[m]) << kMetricNames[m];
    EXPECT_EQ(stored->HeadCenter, shown.HeadCenter);
    EXPECT_EQ(stored->Deleted, shown.Deleted);
  }
  void ExpectUndoOnly(TMainApplicationForm& window, bool undo) {
    for (const char* name : {"UndoMenuItem", "UndoButton"})
      EXPECT_EQ(window.Command(name)->isEnabled(), undo) << name;
    for (const char* name : {"RedoMenuItem", "RedoButton"})
      EXPECT_FALSE(window.Command(name)->isEnabled()) << name;
  }

  std::vector<std::string> fields_;
};

TEST_F(WindowReviewTest, AScoredFolderFillsTheReviewArea) {
  auto window = ScoredFolder();
  const WellRecord& well = window->Workspace().DataSet();
  // A first start shows Tail %DNA and stores it like a choice.
  EXPECT_EQ(List(*window, "MetricComboBox")->currentIndex(), kTailDNA);
  EXPECT_EQ(Stored("MetricComboBox"), std::to_string(kTailDNA));
  EXPECT_EQ(Text(*window, "DataPointsLabel"), DataPointsText(well));
  const StatisticsTexts texts = StatisticsLabelTexts(well, kTailDNA);
  EXPECT_EQ(Text(*window, "MinMetricLabel"), texts.minimum);
  EXPECT_EQ(Text(*window, "MeanMetricLabel"), texts.mean);
  EXPECT_EQ(Text(*window, "MaxMetricLabel"), texts.maximum);
  EXPECT_NE(texts.mean.find("\u03bc = "), std::string::npos);

  // The histogram: 100 buckets of the design height, bars on the panel colour.
  const QImage& histogram = window->Review()->Histogram()->Picture();
  ASSERT_EQ(histogram.width(), 100);
  EXPECT_EQ(histogram.height(), 105);
  const HistogramPicture plan =
      window->Review()->Model().Histogram(const_cast<WellRecord&>(well), "100", histogram.height());
  for (int i = 0; i < plan.width; ++i) {
    const QRgb bottom = histogram.pixel(i, plan.height - 1);
    const QRgb expected = plan.heights[i] > 1 ? ColourOfBgr(plan.colours[i]).rgb()
                                              : ColourOfBgr(kReviewPanelColour).rgb();
    EXPECT_EQ(bottom, expected) << "bucket " << i;
  }

  // The grid: every shown comet in a cell of its band's colour.
  const GridLayout& layout = window->Review()->Model().Layout();
  EXPECT_EQ(window->Review()->Grid()->Picture()->height(), layout.PictureHeight());
  const QImage band = window->Review()->Grid()->Render(0, layout.cellHeight);
  for (int c = 0; c < layout.columns && layout.cells[c] >= 0; ++c) {
    const GridRect r = layout.CellRect(c);
    const CometRecord& comet = well.Comets[layout.cells[c]];
    const int slot = kTailDNA + 2;
    const int bandOf =
        ValueBand(comet.Metrics[kTailDNA], well.MeanValue[slot], well.StdDevValue[slot]);
    EXPECT_EQ(band.pixel(r.left + 1, r.top + 1),
              ColourOfBgr(CellColoursOfBand(bandOf).background).rgb());
  }
}

TEST_F(WindowReviewTest, MetricSortAndWindowChangesRedrawAndPersist) {
  auto window = ScoredFolder();
  const WellRecord& well = window->Workspace().DataSet();
  ScopedTraceLog log;
  List(*window, "MetricComboBox")->setCurrentIndex(kCometArea);
  EXPECT_EQ(Stored("MetricComboBox"), std::to_string(kCometArea));
  EXPECT_EQ(Text(*window, "MinMetricLabel"), StatisticsLabelTexts(well, kCometArea).minimum);
  const auto messages = log.Messages();
  auto at = [&](const std::string& line) {
    return std::find(messages.begin(), messages.end(), line) - messages.begin();
  };
  // The histogram is drawn inside the metric handler.
  EXPECT_LT(at("entering TMainApplicationForm::MetricComboBoxChange()..."),
            at("entering TMainApplicationForm::DrawHistogram()..."));
  EXPECT_LT(at("exiting  TMainApplicationForm::DrawHistogram(SUCCESS)..."),
            at("exiting  TMainApplicationForm::MetricComboBoxChange()..."));

  List(*window, "SortComboBox")->setCurrentIndex(1);
  EXPECT_EQ(Stored("SortComboBox"), "1");
  for (std::uint32_t i = 1; i < well.CometCount; ++i)
    EXPECT_GE(well.Comets[i - 1].Metrics[kCometArea], well.Comets[i].Metrics[kCometArea]);
  List(*window, "ImageModeComboBox")->setCurrentIndex(1);
  EXPECT_EQ(Stored("ImageModeComboBox"), "1");
  EXPECT_STREQ(window->Review()->Model().Extension(), ".jpg");

  // Window 3 .. 4: only band 7 is shown, and the label counts it.
  List(*window, "MinStdDevComboBox")->setCurrentIndex(6);
  const int slot = kCometArea + 2;
  std::uint32_t shown = 0;
  for (std::uint32_t i = 0; i < well.CometCount; ++i) {
    const CometRecord& c = well.Comets[i];
    if (c.Included) {
      ++shown;
      EXPECT_EQ(ValueBand(c.Metrics[kCometArea], well.MeanValue[slot], well.StdDevValue[slot]), 7);
    }
  }
  EXPECT_EQ(window->Review()->Model().Pass().shown, shown);
  EXPECT_EQ(Text(*window, "DataPointsLabel"), DataPointsText(well));
  EXPECT_FALSE(Stored("MinStdDevComboBox").has_value());
  // 2 .. -2 shows nothing and the grid has no comet to click.
  List(*window, "MinStdDevComboBox")->setCurrentIndex(5);
  List(*window, "MaxStdDevComboBox")->setCurrentIndex(2);
  EXPECT_EQ(window->Review()->Model().Pass().shown, 0u);
  EXPECT_EQ(window->Review()->Model().CometAt(well, 5, 5), std::nullopt);

  // A restart shows the stored choices.
  window.reset();
  auto again = Start();
  EXPECT_EQ(List(*again, "MetricComboBox")->currentIndex(), kCometArea);
  EXPECT_EQ(List(*again, "SortComboBox")->currentIndex(), 1);
  EXPECT_EQ(List(*again, "ImageModeComboBox")->currentIndex(), 1);
  EXPECT_EQ(List(*again, "MinStdDevComboBox")->currentIndex(), 0);
}

TEST_F(WindowReviewTest, TooFewBucketsLeaveTheHistogramAndLogAnError) {
  auto window = ScoredFolder();
  const QImage before = window->Review()->Histogram()->Picture();
  for (const char* text : {"1", "0", "abc"}) {
    window->Preferences()->HistogramBucketCountEdit()->setText(text);
    ScopedTraceLog log;
    window->MetricComboBoxChange();
    const auto messages = log.Messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        std::string("ERROR: Histogram bucket count = ") + text),
              messages.end());
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "exiting  TMainApplicationForm::DrawHistogram(FAILURE)..."),
              messages.end());
    EXPECT_EQ(window->Review()->Histogram()->Picture(), before);
  }
}

TEST_F(WindowReviewTest, EachCursorModeHasItsCursor) {
  auto window = Start();
  const Qt::CursorShape shapes[] = {Qt::ArrowCursor, Qt::PointingHandCursor, Qt::CrossCursor,
                                    Qt::ForbiddenCursor};
  for (int mode : {1, 2, 3, 0}) {
    List(*window, "CursorModeDropDownList")->setCurrentIndex(mode);
    EXPECT_EQ(window->Review()->Grid()->Picture()->cursor().shape(), shapes[mode]);
  }
}

TEST_F(WindowReviewTest, EachCursorModeEditsTheFolderComet) {
  auto window = ScoredFolder();
  WellRecord& well = const_cast<WellRecord&>(window->Workspace().DataSet());
  const std::uint32_t total = well.CometCount;
  QComboBox* cursor = List(*window, "CursorModeDropDownList");

  // No Change: the comet's image on view, nothing else.
  auto [index, point] = FirstCell(*window);
  const CometRecord before = well.Comets[index];
  const std::string name = ImageNameOf(before);
  ClickGrid(*window, point.x(), point.y());
  EXPECT_EQ(std::memcmp(&well.Comets[index], &before, sizeof before), 0);
  ExpectUndoOnly(*window, false);
  const std::string source = window->Workspace().ImagePath();
  EXPECT_NE(std::find(fields_.begin(), fields_.end(), source), fields_.end());
  const std::string dataSet = DataSetPathOf(source);
  ASSERT_TRUE(StoredComet(dataSet, name).has_value());
  EXPECT_EQ(window->Workspace().DataSet().CometCount, total);  // still the folder's data set

  // Auto Score: measured again, the image's ".cdb" holds the same record.
  cursor->setCurrentIndex(1);
  std::tie(index, point) = FirstCell(*window);
  std::string edited = ImageNameOf(well.Comets[index]);
  const CometRecord autoBefore = well.Comets[index];
  const std::optional<CometFiles> files =
      LocateCometFiles(DataSetPlace::OfFolder(images_.Path() + "/fields/", fields_), autoBefore);
  ASSERT_TRUE(files.has_value());
  const std::string jpg = files->stem + ".jpg";
  const auto jpgBefore = fs::last_write_time(jpg);
  ClickGrid(*window, point.x(), point.y());
  ExpectUndoOnly(*window, true);
  EXPECT_EQ(window->Edits().UndoAction(), 1);
  std::int32_t at = window->Edits().UndoCometIndex();
  ASSERT_GE(at, 0);
  EXPECT_EQ(ImageNameOf(well.Comets[at]), edited);
  EXPECT_EQ(std::memcmp(&window->Edits().UndoComet(), &autoBefore, sizeof autoBefore), 0);
  ExpectStoredAsShown(StoredComet(DataSetPathOf(window->Workspace().ImagePath()), edited),
                      well.Comets[at]);
  EXPECT_NE(fs::last_write_time(jpg), jpgBefore);

  // Manual Score: the head where the click was, in the thumbnail's columns.
  cursor->setCurrentIndex(2);
  std::tie(index, point) = FirstCell(*window);
  edited = ImageNameOf(well.Comets[index]);
  const GridLayout& layout = window->Review()->Model().Layout();
  const int width = well.Comets[index].ImageWidth;
  const int x = layout.CellRect(0).left + (layout.cellWidth - width) / 2 + 10;
  ClickGrid(*window, x, point.y());
  at = window->Edits().UndoCometIndex();
  EXPECT_EQ(window->Edits().UndoAction(), 2);
  EXPECT_EQ(ImageNameOf(well.Comets[at]), edited);
  EXPECT_EQ(well.Comets[at].HeadCenter, 9);  // 10 pixels into the thumbnail
  ExpectStoredAsShown(StoredComet(DataSetPathOf(window->Workspace().ImagePath()), edited),
                      well.Comets[at]);
  ExpectUndoOnly(*window, true);

  // Delete: flagged in memory and in the image's own ".cdb"; the folder has no file.
  cursor->setCurrentIndex(3);
  std::tie(index, point) = FirstCell(*window);
  edited = ImageNameOf(well.Comets[index]);
  ClickGrid(*window, point.x(), point.y());
  at = window->Edits().UndoCometIndex();
  EXPECT_EQ(window->Edits().UndoAction(), 3);
  EXPECT_EQ(well.Comets[at].Deleted, 1);
  EXPECT_EQ(well.Comets[at].Included, 0);
  const std::optional<CometRecord> stored =
      StoredComet(DataSetPathOf(window->Workspace().ImagePath()), edited);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->Deleted, 1);
  EXPECT_EQ(Text(*window, "DataPointsLabel"), DataPointsText(well));
  EXPECT_NE(Text(*window, "DataPointsLabel").find(std::to_string(total - 1) + " data points"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(images_.Path() + "/fields.cdb"));
  EXPECT_TRUE(fs::exists(jpg));

  // Outside the cells nothing happens.
  const std::uint32_t state = static_cast<std::uint32_t>(window->Edits().UndoCometIndex());
  ClickGrid(*window, layout.PictureWidth() + 5, 2);
  ClickGrid(*window, 2, layout.PictureHeight() + 5);
  EXPECT_EQ(static_cast<std::uint32_t>(window->Edits().UndoCometIndex()), state);
}

// A folder comet whose own image can no longer be decoded: the click says
// so, and the folder's data set and the picture on view stay.
TEST_F(WindowReviewTest, AFolderCometOfAnUndecodableImageLeavesTheSummaryOnView) {
  auto window = ScoredFolder();
  const WellRecord& well = window->Workspace().DataSet();
  const std::uint32_t total = well.CometCount;
  const auto [index, point] = FirstCell(*window);
  const std::optional<CometFiles> files = LocateCometFiles(
      DataSetPlace::OfFolder(images_.Path() + "/fields/", fields_), well.Comets[index]);
  ASSERT_TRUE(files.has_value());
  WriteFile(files->sourceImage, "not an image at all");
  const BitmapImageClass* onView = window->CurrentImage();
  ASSERT_NE(onView, nullptr);
  ClickGrid(*window, point.x(), point.y());
  EXPECT_EQ(window->Workspace().DataSet().CometCount, total);
  EXPECT_TRUE(window->Workspace().ShowsSummary());
  EXPECT_EQ(window->CurrentImage(), onView);
  EXPECT_EQ(window->StatusText().rfind("Cannot read the image " + files->sourceImage, 0), 0u)
      << window->StatusText();
  EXPECT_FALSE(window->Review()->Model().Layout().cells.empty());
}

TEST_F(WindowReviewTest, FolderCometsCarryTheirImagesNameWhenLabelsAreOn) {
  auto window = ScoredFolder();
  const WellRecord& well = window->Workspace().DataSet();
  const std::optional<CometCell> cell = window->Review()->Model().Cell(well, 0);
  ASSERT_TRUE(cell.has_value());
  const int height = QFontMetrics(window->Review()->Grid()->Picture()->font()).height();
  const int top = std::max(FileLabelTop(*cell, height), cell->rect.top);
  // The pixels of the label's row above the thumbnail that differ from the
  // cell's colour.
  auto marked = [&] {
    const QImage band =
        window->Review()->Grid()->Render(0, window->Review()->Model().Layout().cellHeight);
    const QColor background = ColourOfBgr(cell->colours.background);
    int count = 0;
    for (int y = top; y < cell->fileLabelBottom; ++y)
      for (int x = cell->rect.left; x < cell->rect.right; ++x)
        count += band.pixelColor(x, y) != background ? 1 : 0;
    return count;
  };
  QCheckBox* labels = window->Preferences()->ShowFileLabelsCheckBox();
  for (bool on : {true, false, true}) {
    labels->setChecked(on);
    window->Review()->DrawCometImageGrid();
    EXPECT_EQ(marked() > 0, on);
  }
}

TEST_F(WindowReviewTest, DeletingFromOneImageWritesItsDataSet) {
  auto window = ScoredImage();
  const WellRecord& well = window->Workspace().DataSet();
  ASSERT_GT(well.CometCount, 2u);
  List(*window, "CursorModeDropDownList")->setCurrentIndex(3);
  auto [index, point] = FirstCell(*window);
  const std::string name = ImageNameOf(well.Comets[index]);
  ClickGrid(*window, point.x(), point.y());
  const std::optional<CometRecord> stored = StoredComet(DataSetPathOf(fields_[0]), name);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->Deleted, 1);
  ExpectUndoOnly(*window, true);
  const GridLayout& layout = window->Review()->Model().Layout();
  auto inGrid = [&] {
    for (std::int32_t record : layout.cells)
      if (record >= 0 && ImageNameOf(well.Comets[record]) == name) return true;
    return false;
  };
  EXPECT_FALSE(inGrid());

  // Undo brings it back: on disk, in the grid and in the count.
  window->Command("UndoButton")->trigger();
  EXPECT_EQ(StoredComet(DataSetPathOf(fields_[0]), name)->Deleted, 0);
  EXPECT_TRUE(inGrid());
  EXPECT_EQ(Text(*window, "DataPointsLabel"), DataPointsText(well));
  EXPECT_TRUE(window->Command("RedoButton")->isEnabled());
}

TEST_F(WindowReviewTest, TheGridPaintsThumbnailsAsTheyAreOnDisk) {
  auto window = ScoredImage();
  List(*window, "ImageModeComboBox")->setCurrentIndex(1);  // profiled: the ".jpg" files
  const WellRecord& well = window->Workspace().DataSet();
  const std::optional<CometCell> cell = window->Review()->Model().Cell(well, 0);
  ASSERT_TRUE(cell.has_value());
  const CometRecord& comet = well.Comets[cell->record];
  const std::string jpg = SingleImageThumbnail(DataSetPathOf(fields_[0]), comet, ".jpg");
  ASSERT_TRUE(fs::exists(jpg));
  // A point of the thumbnail off its head line.
  int x = cell->thumbnailLeft + comet.ImageWidth / 4;
  if (x == cell->headLineX) ++x;
  const int y = cell->thumbnailTop + comet.ImageHeight / 2;
  auto painted = [&] {
    const int height = window->Review()->Model().Layout().cellHeight;
    return window->Review()->Grid()->Render(0, height).pixelColor(x, y);
  };
  const QColor profiled = painted();  // decoded and kept

  // Rewritten on disk, as an edit does: painted as it is now.
  QImage blue(comet.ImageWidth, comet.ImageHeight, QImage::Format_RGB32);
  blue.fill(Qt::blue);
  ASSERT_TRUE(blue.save(QString::fromStdString(jpg), "JPG", 95));
  const QColor rewritten = painted();
  EXPECT_NE(rewritten, profiled);
  EXPECT_GT(rewritten.blue(), 200);
  EXPECT_LT(rewritten.red(), 60);
  EXPECT_LT(rewritten.green(), 60);

  // Missing: the cell's colour alone.
  fs::remove(jpg);
  EXPECT_EQ(painted(), ColourOfBgr(cell->colours.background));
}

}  // namespace
