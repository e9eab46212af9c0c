#include "MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "AboutForm.h"
#include "AppPaths.h"
#include "CometMetrics.h"
#include "DisplayColouring.h"
#include "Documents.h"
#include "EventLog.h"
#include "FieldImageLoader.h"
#include "FileVersion.h"
#include "ImagePaths.h"
#include "MessageBox.h"
#include "PreferencesForm.h"
#include "ShellExecute.h"
#include "SystemInfo.h"
#include "ToolkitWrappers.h"

namespace {

const std::string kForm = "TMainApplicationForm::";
constexpr std::uint32_t kWhite = 0xFFFFFF;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

TMainApplicationForm::TMainApplicationForm(const std::vector<std::string>& arguments,
                                           QWidget* parent)
    : QMainWindow(parent) {
  LogMessage("entering " + kForm + "TMainApplicationForm()...");
  SetApplicationTitle("Quorel Strandex " + GetFileVersionString(ExecutablePath()));
  BuildLayout();
  BuildCommands();
  LogMessage("exiting  " + kForm + "TMainApplicationForm()...");
  FormCreate(arguments);
}

TMainApplicationForm::~TMainApplicationForm() {
  LogMessage("entering " + kForm + "FormDestroy()...");
  image_.reset();
  settings_.reset();
  LogMessage("exiting  " + kForm + "FormDestroy()...");
}

void TMainApplicationForm::BuildLayout() {
  auto* central = new QWidget(this);
  auto* splitter = new QSplitter(Qt::Horizontal, central);
  tree_ = new QTreeWidget(splitter);
  tree_->setObjectName("DirTreeView");
  tree_->setHeaderHidden(true);
  tree_->setMinimumWidth(200);

  auto* right = new QWidget(splitter);
  auto* column = new QVBoxLayout(right);
  auto* top = new QHBoxLayout;
  auto* sliderColumn = new QVBoxLayout;
  auto* caption = new QLabel("Cutoff", right);
  thresholdBar_ = new QSlider(Qt::Vertical, right);
  thresholdBar_->setObjectName("ThresholdBar");
  thresholdBar_->setRange(0, 255);
  thresholdBar_->setInvertedAppearance(true);  // position 0 at the top
  thresholdBar_->setInvertedControls(true);
  thresholdBar_->setToolTip("Set Background Segmentation Level");
  thresholdIndicator_ = new QLabel("100%", right);
  thresholdIndicator_->setObjectName("ThresholdIndicator");
  sliderColumn->addWidget(caption);
  sliderColumn->addWidget(thresholdBar_, 1);
  sliderColumn->addWidget(thresholdIndicator_);
  fieldOfView_ = new QLabel(right);
  fieldOfView_->setObjectName("FieldOfViewDisplayImage");
  fieldOfView_->setAlignment(Qt::AlignCenter);
  fieldOfView_->setMinimumSize(320, 240);
  top->addLayout(sliderColumn);
  top->addWidget(fieldOfView_, 1);
  auto* review = new QWidget(right);
  review->setObjectName("ReviewArea");
  review->setAutoFillBackground(true);
  QPalette palette = review->palette();
  palette.setColor(QPalette::Window, QColor(0xF0, 0xF0, 0xF0));
  review->setPalette(palette);
  review->setMinimumHeight(300);
  BuildReviewArea(review);
  column->addLayout(top, 1);
  column->addWidget(review);
  splitter->addWidget(tree_);
  splitter->addWidget(right);
  auto* layout = new QHBoxLayout(central);
  layout->addWidget(splitter);
  setCentralWidget(central);

  progressPanel_ = new QFrame(central);
  progressPanel_->setObjectName("ProgressPanel");
  progressPanel_->setFrameShape(QFrame::Panel);
  progressPanel_->resize(278, 67);
  auto* progress = new QVBoxLayout(progressPanel_);
  auto* indicator = new QLabel(progressPanel_);
  indicator->setObjectName("ProgressIndicator");
  auto* bar1 = new QProgressBar(progressPanel_);
  bar1->setObjectName("ProgressBar1");
  auto* bar2 = new QProgressBar(progressPanel_);
  bar2->setObjectName("ProgressBar2");
  progress->addWidget(indicator);
  progress->addWidget(bar1);
  progress->addWidget(bar2);
  progressPanel_->hide();
  filterPanel_ = new QFrame(central);
  filterPanel_->setObjectName("FilterPanel");
  auto* filters = new QFormLayout(filterPanel_);
  for (const auto& [name, text] :
       {std::pair{"FilterMinAreaEdit", "0"}, std::pair{"FilterMaxAreaEdit", "2147483648"},
        std::pair{"FilterMinHeightEdit", "0"}, std::pair{"FilterMaxHeightEdit", "2147483648"}}) {
    auto* edit = new QLineEdit(text, filterPanel_);
    edit->setObjectName(name);
    filters->addRow(name, edit);
  }
  filterPanel_->hide();

  statusBar()->showMessage("Software initialized and ready for use...");
  resize(942, 853);

  // A black 640 x 480 display until an image is loaded.
  TBitmap_SetDimensions(&display_, 640, 480, ToolkitPixelFormat::k24Bit);
  ShowDisplay();
  connect(thresholdBar_, &QSlider::valueChanged, this, [this](int p) { ThresholdBarChange(p); });
}

// The review area's labels and lists; the histogram and the comet grid
// draw into its pictures.
void TMainApplicationForm::BuildReviewArea(QWidget* review) {
  auto* column = new QVBoxLayout(review);
  auto label = [review](const char* name, const char* text) {
    auto* l = new QLabel(text, review);
    l->setObjectName(name);
    return l;
  };
  auto list = [review](const char* name, const QStringList& items, int selected) {
    auto* box = new QComboBox(review);
    box->setObjectName(name);
    box->addItems(items);
    box->setCurrentIndex(selected);
    return box;
  };
  column->addWidget(
      label("DataPointsLabel", "showing 0 (0%) of 0 data points (0 total data points acquired)"), 0,
      Qt::AlignHCenter);
  auto* histogram = label("HistogramImage", "");
  histogram->setMinimumHeight(105);
  column->addWidget(histogram);
  auto* statistics = new QHBoxLayout;
  statistics->addWidget(label("MinMetricLabel", " 00.000 (minimum)"));
  statistics->addWidget(label("MeanMetricLabel", "m = 0.000, s = 0.000"), 1, Qt::AlignHCenter);
  statistics->addWidget(label("MaxMetricLabel", "(maximum) 00.000 "));
  column->addLayout(statistics);
  const QStringList bounds = {"-4", "-3", "-2", "-1", "1", "2", "3", "4"};
  QStringList metrics;
  for (const char* name : kMetricNames) metrics << name;
  auto* options = new QHBoxLayout;
  options->addWidget(label("DisplayBetweenLabel", "Display between "));
  options->addWidget(list("MinStdDevComboBox", bounds, 0));
  options->addWidget(label("AndLabel", " and "));
  options->addWidget(list("MaxStdDevComboBox", bounds, 7));
  options->addWidget(label("StdDevOfLabel", " standard deviation(s) of "));
  options->addWidget(list("MetricComboBox", metrics, -1));
  options->addWidget(label("AsLabel", " as "));
  options->addWidget(list("SortComboBox", {"increasing", "decreasing"}, 0));
  options->addWidget(label("AndModeLabel", " and "));
  options->addWidget(list("ImageModeComboBox", {"unaltered", "profiled"}, 0));
  options->addStretch();
  options->addWidget(label("CursorModeLabel", "Cursor Mode:"));
  options->addWidget(
      list("CursorModeDropDownList", {"No Change", "Auto Score", "Manual Score", "Delete"}, 0));
  column->addLayout(options);
  auto* grid = new QScrollArea(review);
  grid->setObjectName("CometGridScrollBox");
  column->addWidget(grid, 1);
}

QAction* TMainApplicationForm::AddCommand(const std::string& name, const QString& caption,
                                          const QKeySequence& keys, bool shown, QMenu* menu) {
  auto* action = new QAction(caption, this);
  action->setObjectName(Q(name));
  action->setShortcut(keys);
  action->setVisible(shown);
  menu->addAction(action);
  addAction(action);  // shortcuts of hidden items still work
  commands_[name] = action;
  return action;
}

QAction* TMainApplicationForm::AddButton(const std::string& name, const QString& caption,
                                         const QString& hint, bool toggle, bool shown) {
  auto* action = new QAction(caption, this);
  action->setObjectName(Q(name));
  action->setStatusTip(hint);
  action->setToolTip(hint);
  action->setCheckable(toggle);
  action->setVisible(shown);
  findChild<QToolBar*>("ToolBar")->addAction(action);
  commands_[name] = action;
  return action;
}

void TMainApplicationForm::BuildCommands() {
  QMenu* file = menuBar()->addMenu("File");
  QMenu* edit = menuBar()->addMenu("Edit");
  QMenu* analyze = menuBar()->addMenu("Analyze");
  QMenu* view = menuBar()->addMenu("View");
  QMenu* settings = menuBar()->addMenu("Settings");
  settings->menuAction()->setVisible(false);
  QMenu* debug = menuBar()->addMenu("Debug");
  debug->menuAction()->setVisible(false);
  QMenu* help = menuBar()->addMenu("Help");

  AddCommand("OpenFileMenuItem", "Open File", QKeySequence("Ctrl+O"), true, file);
  AddCommand("OpenFolderMenuItem", "Open Folder", QKeySequence("Ctrl+Alt+O"), true, file);
  AddCommand("SaveAsSpreadsheetMenuItem", "Save as Spreadsheet", QKeySequence("Ctrl+S"), true,
             file);
  AddCommand("SaveBMP", "Export BMP", QKeySequence("Ctrl+E"), false, file);
  AddCommand("UndoMenuItem", "Undo", {}, true, edit);
  AddCommand("RedoMenuItem", "Redo", {}, true, edit);
  connect(AddCommand("Rotate180", "Rotate 180°", {}, true, edit), &QAction::triggered, this,
          [this] { Rotate180Click(); });
  AddCommand("DeleteThisDataMenuItem", "Delete This Data", {}, true, edit);
  connect(AddCommand("PreferencesMenuItem", "Preferences", QKeySequence("Ctrl+P"), true, edit),
          &QAction::triggered, this, [this] { PreferencesMenuItemClick(); });
  AddCommand("ScoreUsingCutoffMenuItem", "Score Image using Cutoff", {}, true, analyze);
  AddCommand("ScoreUsingAutoSegmentationMenuItem", "Score using Auto-Segmentation", {}, false,
             analyze);
  AddCommand("ScoreFolderUsingCutoffMenuItem", "Score Folder using Cutoff", {}, true, analyze);
  AddCommand("ScoreFolderUsingAutoSegmentationMenuItem", "Score Folder using Auto-Segmentation", {},
             false, analyze);
  QAction* singleHue = AddCommand("SingleHueMenuItem", "Single Hue", {}, true, view);
  QAction* fullSpectrum = AddCommand("FullSpectrumMenuItem", "Full Spectrum", {}, true, view);
  auto* modes = new QActionGroup(this);
  for (QAction* a : {singleHue, fullSpectrum}) {
    a->setCheckable(true);
    modes->addAction(a);
  }
  connect(singleHue, &QAction::triggered, this, [this] { SingleHueMenuItemClick(); });
  connect(fullSpectrum, &QAction::triggered, this, [this] { FullSpectrumMenuItemClick(); });
  AddCommand("CalibrationMenuItem", "Calibration", {}, false, settings);
  QMenu* units = settings->addMenu("Units");
  AddCommand("MicronsMenuItem", "Microns", {}, false, units);
  QAction* pixels = AddCommand("PixelsMenuItem", "Pixels", {}, false, units);
  pixels->setCheckable(true);
  pixels->setChecked(true);
  AddCommand("LineColorMenuItem", "Line Color", {}, false, settings);
  AddCommand("Blur3x3MenuItem", "Blur3x3", {}, false, debug);
  AddCommand("BuildCompositeMenuItem", "Build Composite", {}, false, debug);
  AddCommand("CancelRectangleMenuItem", "Cancel Rectangle", QKeySequence(Qt::Key_Escape), false,
             debug);
  AddCommand("TestMenuItem", "TEST", QKeySequence("Ctrl+T"), false, debug);
  connect(AddCommand("OverviewMenuItem", "Overview", QKeySequence(Qt::Key_F1), true, help),
          &QAction::triggered, this, [this] { OverviewMenuItemClick(); });
  connect(AddCommand("ReleaseNotesMenuItem", "Release Notes", {}, true, help), &QAction::triggered,
          this, [this] { ReleaseNotesMenuItemClick(); });
  connect(AddCommand("AboutMenuItem", "About...", {}, true, help), &QAction::triggered, this,
          [this] { AboutMenuItemClick(); });

  auto* bar = addToolBar("Tools");
  bar->setObjectName("ToolBar");
  AddButton("OpenFileButton", "Open File", "Click here to open a single field-of-view image...",
            false, true);
  AddButton("OpenFolderButton", "Open Folder",
            "Click here to open a folder of field-of-view images...", false, true);
  AddButton("SaveAsSpreadsheetButton", "Save as Spreadsheet",
            "Click here to save the current data collection to spreadsheet format...", false, true);
  AddButton("UndoButton", "Undo", "Click here to undo the most recent operation...", false, true)
      ->setEnabled(false);
  AddButton("RedoButton", "Redo", "Click here to redo the most recent operation...", false, true)
      ->setEnabled(false);
  AddButton("DeleteThisDataButton", "Delete This Data", "", false, false);
  QAction* rectangle = AddButton(
      "ManualScoringButton", "Rectangle",
      "Click here to enable rectangle selection method for manual scoring...", true, true);
  QAction* oneClick = AddButton("ThresholdScoringButton", "One Click",
                                "Click here to enable one-click manual scoring...", true, true);
  connect(rectangle, &QAction::triggered, this, [this] { ManualScoringButtonClick(true); });
  connect(oneClick, &QAction::triggered, this, [this] { ThresholdScoringButtonClick(true); });
  AddButton("ScoreUsingCutoffButton", "Score",
            "Click here to score field of view images using the current cutoff setting...", false,
            true);
  AddButton("ScoreUsingAutoSegmentationButton", "Auto Score",
            "Click here to automatically score field-of-view images using auto-segmentation "
            "techniques...",
            false, false);
  QAction* hueButton =
      AddButton("SingleHueButton", "Single Hue",
                "Click here to view field-of-view images in single hue mode...", true, true);
  QAction* spectrumButton =
      AddButton("FullSpectrumButton", "Full Spectrum",
                "Click here to view field-of-view images in full spectrum mode...", true, true);
  connect(hueButton, &QAction::triggered, this, [this] { SingleHueMenuItemClick(); });
  connect(spectrumButton, &QAction::triggered, this, [this] { FullSpectrumMenuItemClick(); });
  AddButton("FilterButton", "Filter", "Click here to filter data based on individual image size...",
            true, true);
  AddButton("PreferencesButton", "Preferences",
            "Click here to adjust program preferences, including number of histogram bins, line "
            "color, and "
            "viewing hue...",
            false, true);
  AddButton("HelpButton", "Help", "Click here to access technical support resources...", false,
            true);
  AddButton("ReleaseNotesButton", "Release Notes", "", false, true);
  AddButton("AboutButton", "About", "", false, true);
}

void TMainApplicationForm::FormCreate(const std::vector<std::string>& arguments) {
  LogMessage("entering " + kForm + "FormCreate()...");
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // The About dialog greets every start; STRANDEX_NO_ABOUT=1 leaves it out
  // for scripted use and tests.
  if (const char* skip = std::getenv("STRANDEX_NO_ABOUT");
      skip == nullptr || *skip == '\0' || *skip == '0')
    AboutMenuItemClick();
  tree_->clear();
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  ShowStatusText("synchronizing GUI with environment...");
  setWindowTitle(Q(GetApplicationTitle()));
  ShowStatusText("reading INI file parameters...");
  settings_ = std::make_unique<IniFile>(SettingsFilePath());

  const bool full = settings_->ReadInteger("main", "FullSpectrumButton", 0) != 0;
  Command("FullSpectrumMenuItem")->setChecked(full);
  Command("SingleHueMenuItem")->setChecked(!full);
  Command("SingleHueButton")->setChecked(!full);
  Command("FullSpectrumButton")->setChecked(full);
  std::fill(std::begin(rectangle_), std::end(rectangle_), -1);
  const int stored = settings_->ReadInteger("main", "ThresholdBar", thresholdBar_->value());
  thresholdBar_->setValue(std::clamp(stored, 0, 255));  // a change runs the slider's handler
  // The review lists and the filter fields; restoring runs no handler.
  for (const char* name : {"MetricComboBox", "SortComboBox", "ImageModeComboBox"}) {
    auto* box = findChild<QComboBox*>(name);
    const QSignalBlocker quiet(box);
    const int index = settings_->ReadInteger("main", name, box->currentIndex());
    box->setCurrentIndex(index >= -1 && index < box->count() ? index : box->currentIndex());
  }
  for (const char* name :
       {"FilterMinAreaEdit", "FilterMaxAreaEdit", "FilterMinHeightEdit", "FilterMaxHeightEdit"}) {
    auto* edit = findChild<QLineEdit*>(name);
    edit->setText(Q(settings_->ReadString("main", name, edit->text().toStdString())));
  }
  if (settings_->ReadInteger("main", "ManualScoringButton", 0) == 1)
    ThresholdScoringButtonClick(false);
  else
    ManualScoringButtonClick(false);

  ShowStatusText("querying command line arguments...");
  ApplyCommandLine(arguments);
  ShowStatusText("");
  tree_->expandAll();
  QApplication::restoreOverrideCursor();
  LogMessage("exiting  " + kForm + "FormCreate()...");
}

void TMainApplicationForm::ApplyCommandLine(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return;
  // The folder part of the first argument, up to and including its last '/'.
  const std::string parent = FolderOf(arguments[0]);
  const std::string folder = parent.empty() ? "./" : parent == "/" ? parent : parent + "/";
  auto* root = new QTreeWidgetItem(tree_, QStringList(Q(folder)));
  if (arguments.size() == 1) {
    // One argument: its folder is listed, nothing is loaded.
    if (!std::filesystem::is_directory(folder)) {
      delete root;
      return;
    }
    for (const std::string& image : ListFolderImages(folder))
      new QTreeWidgetItem(root, QStringList(Q(FileNameOf(image))));
    return;
  }
  for (const std::string& argument : arguments)
    if (FileExists(argument)) new QTreeWidgetItem(root, QStringList(Q(FileNameOf(argument))));
}

QAction* TMainApplicationForm::Command(const std::string& name) const {
  auto it = commands_.find(name);
  return it == commands_.end() ? nullptr : it->second;
}

std::string TMainApplicationForm::StatusText() const {
  return statusBar()->currentMessage().toStdString();
}

bool TMainApplicationForm::FullSpectrum() const {
  return Command("FullSpectrumMenuItem")->isChecked();
}

bool TMainApplicationForm::OneClickScoring() const {
  return Command("ThresholdScoringButton")->isChecked();
}

void TMainApplicationForm::ShowStatusText(const std::string& text) {
  LogMessage(text);
  statusText_ = text;
  statusBar()->showMessage(Q(text));
}

bool TMainApplicationForm::event(QEvent* e) {
  if (e->type() == QEvent::StatusTip) {
    // The long part of a hint, ";" as line breaks; the status text again
    // when the mouse has left every hint.
    QString hint = static_cast<QStatusTipEvent*>(e)->tip();
    const int bar = hint.indexOf('|');
    if (bar >= 0) hint = hint.mid(bar + 1);
    hint.replace(';', '\n');
    statusBar()->showMessage(hint.isEmpty() ? Q(statusText_) : hint);
    return true;
  }
  return QMainWindow::event(e);
}

void TMainApplicationForm::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  if (progressPanel_ == nullptr || centralWidget() == nullptr) return;
  LogMessage("entering " + kForm + "FormResize()...");
  const QSize client = centralWidget()->size();
  progressPanel_->move((client.width() - progressPanel_->width()) >> 1,
                       (client.height() - progressPanel_->height()) >> 1);
  ShowDisplay();
  LogMessage("exiting  " + kForm + "FormResize()...");
}

void TMainApplicationForm::wheelEvent(QWheelEvent* e) {
  QTreeWidgetItem* node = tree_->currentItem();
  const bool first =
      node != nullptr && (node->parent() == nullptr || node->parent()->indexOfChild(node) == 0);
  const int delta = e->angleDelta().y();
  if (image_ != nullptr && !first && delta != 0)
    thresholdBar_->setValue(std::clamp(thresholdBar_->value() + (delta > 0 ? -1 : 1), 0, 255));
  e->ignore();
}

bool TMainApplicationForm::LoadImageIntoWorkspace(const std::string& path) {
  LogMessage("entering " + kForm + "LoadImageIntoWorkspace(" + path + ")...");
  ShowStatusText("Loading image data from " + path);
  TBitmap decoded;
  std::string reason;
  std::unique_ptr<BitmapImageClass> image = LoadFieldImage(path, &decoded, &reason);
  const bool ok = image != nullptr;
  if (!ok) ShowStatusText("Cannot read the image " + path + ": " + reason);
  if (ok) {
    image_ = std::move(image);
    TBitmap_SetDimensions(&display_, image_->Bitmap.bmWidth, image_->Bitmap.bmHeight,
                          ToolkitPixelFormat::k24Bit);
    std::fill(std::begin(rectangle_), std::end(rectangle_), -1);
    ApplyDisplayColors();
  }
  LogMessage("exiting  " + kForm + "LoadImageIntoWorkspace(" + (ok ? "" : "FAILURE") + ")...");
  return ok;
}

void TMainApplicationForm::ApplyDisplayColors() {
  const std::uint32_t hue = preferences_ != nullptr ? preferences_->SingleHueColour() : kWhite;
  ::ApplyDisplayColors(image_.get(), &display_, FullSpectrum(), thresholdBar_->value(), hue);
  ShowDisplay();
}

void TMainApplicationForm::CreatePreferences() {
  if (preferences_ == nullptr) preferences_ = new TPreferencesForm(*settings_, this);
}

void TMainApplicationForm::PreferencesMenuItemClick() {
  LogMessage("entering " + kForm + "PreferencesMenuItemClick()...");
  if (preferences_ == nullptr) {
    LogMessage("ERROR : TPreferencesForm is undefined!!!");
  } else {
    preferences_->exec();
    if (preferences_->Tag() == TPreferencesForm::kSaved) ApplyDisplayColors();
  }
  LogMessage("exiting  " + kForm + "PreferencesMenuItemClick()...");
}

void TMainApplicationForm::OverviewMenuItemClick() {
  LogMessage("entering " + kForm + "OverviewMenuItemClick()...");
  AnsiString_ShellExecute("open", DocumentPath(FileNameOf(RemoveExtension(ExecutablePath())) + ".html"),
                          "", "", 1, false);
  LogMessage("exiting  " + kForm + "OverviewMenuItemClick()...");
}

void TMainApplicationForm::ReleaseNotesMenuItemClick() {
  LogMessage("entering " + kForm + "ReleaseNotesMenuItemClick()...");
  const std::string path = DocumentPath("Strandex Release Notes.pdf");
  if (FileExists(path))
    AnsiString_ShellExecute("open", path, "", "", 1, false);
  else
    ShowErrorBox(path, "FILE NOT FOUND");
  LogMessage("exiting  " + kForm + "ReleaseNotesMenuItemClick()...");
}

void TMainApplicationForm::AboutMenuItemClick() {
  LogMessage("entering " + kForm + "AboutMenuItemClick()...");
  TAboutForm about(this);
  about.exec();
  LogMessage("exiting  " + kForm + "AboutMenuItemClick()...");
}

void TMainApplicationForm::ShowDisplay() {
  if (fieldOfView_ == nullptr || display_.image.isNull()) return;
  fieldOfView_->setPixmap(
      QPixmap::fromImage(display_.image)
          .scaled(fieldOfView_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TMainApplicationForm::ThresholdBarChange(int position) {
  ApplyDisplayColors();
  thresholdIndicator_->setText(Q(ThresholdIndicatorText(position)));
  if (settings_) settings_->WriteInteger("main", "ThresholdBar", position);
}

void TMainApplicationForm::Rotate180Click() {
  if (image_ == nullptr) return;
  Rotate180(*image_);
  ApplyDisplayColors();
}

void TMainApplicationForm::SingleHueMenuItemClick() {
  LogMessage("entering " + kForm + "SingleHueMenuItemClick()...");
  settings_->WriteInteger("main", "FullSpectrumButton", 0);
  Command("SingleHueMenuItem")->setChecked(true);
  Command("SingleHueButton")->setChecked(true);
  Command("FullSpectrumMenuItem")->setChecked(false);
  Command("FullSpectrumButton")->setChecked(false);
  ApplyDisplayColors();
  LogMessage("exiting  " + kForm + "SingleHueMenuItemClick()...");
}

void TMainApplicationForm::FullSpectrumMenuItemClick() {
  LogMessage("entering " + kForm + "FullSpectrumMenuItemClick()...");
  settings_->WriteInteger("main", "FullSpectrumButton", 1);
  Command("FullSpectrumMenuItem")->setChecked(true);
  Command("FullSpectrumButton")->setChecked(true);
  Command("SingleHueMenuItem")->setChecked(false);
  Command("SingleHueButton")->setChecked(false);
  ApplyDisplayColors();
  LogMessage("exiting  " + kForm + "FullSpectrumMenuItemClick()...");
}

void TMainApplicationForm::ManualScoringButtonClick(bool writeSetting) {
  Command("ManualScoringButton")->setChecked(true);
  Command("ThresholdScoringButton")->setChecked(false);
  fieldOfView_->setCursor(Qt::CrossCursor);
  if (writeSetting) settings_->WriteInteger("main", "ManualScoringButton", 0);
}

void TMainApplicationForm::ThresholdScoringButtonClick(bool writeSetting) {
  Command("ManualScoringButton")->setChecked(false);
  Command("ThresholdScoringButton")->setChecked(true);
  fieldOfView_->setCursor(Qt::PointingHandCursor);
  if (writeSetting) settings_->WriteInteger("main", "ManualScoringButton", 1);
}
