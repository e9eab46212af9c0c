#include "MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QShortcut>
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
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>

#include "AboutForm.h"
#include "AppPaths.h"
#include "CometMetrics.h"
#include "DesktopLooks.h"
#include "DisplayColouring.h"
#include "DocumentOpenings.h"
#include "Documents.h"
#include "EventLog.h"
#include "ExportCommands.h"
#include "FieldImageLoader.h"
#include "FieldOfViewView.h"
#include "FileVersion.h"
#include "FilterPanel.h"
#include "FolderScoring.h"
#include "HiddenShortcut.h"
#include "ImageBrowser.h"
#include "ImagePaths.h"
#include "MessageBox.h"
#include "PreferencesForm.h"
#include "ProgressPanelWidget.h"
#include "RecentFolders.h"
#include "RecentFoldersMenu.h"
#include "ReviewPanel.h"
#include "ReviewTexts.h"
#include "ScopedTrace.h"
#include "ScoringRunner.h"
#include "ShellExecute.h"
#include "SystemInfo.h"
#include "ToolkitWrappers.h"

namespace {

const std::string kForm = "TMainApplicationForm::";
constexpr std::uint32_t kWhite = 0xFFFFFF;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// "Processed "name" in 2.3 seconds."
std::string ProcessedText(const std::string& name, double seconds) {
  char tail[64];
  std::snprintf(tail, sizeof tail, " in %.1f seconds.", seconds);
  return "Processed \"" + name + "\"" + tail;
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

// The commands that stay usable while scoring runs: they touch no data.
bool StaysEnabledWhileScoring(const std::string& name) {
  for (const char* keep : {"OverviewMenuItem", "ReleaseNotesMenuItem", "AboutMenuItem",
                           "HelpButton", "ReleaseNotesButton", "AboutButton"})
    if (name == keep) return true;
  return false;
}

}  // namespace

TMainApplicationForm::TMainApplicationForm(const std::vector<std::string>& arguments,
                                           QWidget* parent)
    : QMainWindow(parent), chooser_(DialogPathChooser()) {
  LogMessage("entering " + kForm + "TMainApplicationForm()...");
  SetApplicationTitle("Quorel Strandex " + GetFileVersionString(ExecutablePath()));
  BuildLayout();
  BuildCommands();
  LogMessage("exiting  " + kForm + "TMainApplicationForm()...");
  FormCreate(arguments);
}

TMainApplicationForm::~TMainApplicationForm() {
  WaitForScoring();
  exports_->Openings()->Wait();  // exported files still to open get opened
  LogMessage("entering " + kForm + "FormDestroy()...");
  settings_.reset();
  LogMessage("exiting  " + kForm + "FormDestroy()...");
}

void TMainApplicationForm::BuildLayout() {
  auto* central = new QWidget(this);
  auto* splitter = new QSplitter(Qt::Horizontal, central);
  tree_ = new ImageBrowser(splitter);

  auto* right = new QWidget(splitter);
  auto* column = new QVBoxLayout(right);
  fieldOfView_ = new FieldOfViewView(workspace_, right);
  auto* review = new QWidget(right);
  review->setObjectName("ReviewArea");
  // The desktop's own window colour (light grey in a light theme), so the
  // texts stay readable under a dark one.
  review->setAutoFillBackground(true);
  review->setMinimumHeight(300);
  BuildReviewArea(review);
  column->addWidget(fieldOfView_, 1);
  column->addWidget(review);
  splitter->addWidget(tree_);
  splitter->addWidget(right);
  auto* layout = new QHBoxLayout(central);
  layout->addWidget(splitter);
  setCentralWidget(central);

  progressPanel_ = new ProgressPanelWidget(central);
  filterPanel_ = new FilterPanel(this);  // over the image area, placed by its button

  statusBar()->showMessage("Software initialized and ready for use...");
  PlaceOnScreen(this, QSize(942, 853));
  setAcceptDrops(true);

  runner_ = new ScoringRunner(this);
  connect(fieldOfView_, &FieldOfViewView::CutoffChanged, this,
          [this](int p) { ThresholdBarChange(p); });
  // Manual scoring on the field of view.
  fieldOfView_->SetLineColourSource(
      [this] { return preferences_ != nullptr ? preferences_->LineColour() : 0x00FFFFu; });
  connect(fieldOfView_, &FieldOfViewView::ManualCometAdded, this, [this] { ManualCometAdded(); });
  // Where the pointer is, beside the status text (never in the log).
  auto* pointer = new QLabel(this);
  pointer->setObjectName("PointerLabel");
  statusBar()->addPermanentWidget(pointer);
  connect(fieldOfView_, &FieldOfViewView::PointerText, pointer, &QLabel::setText);
  connect(fieldOfView_, &FieldOfViewView::StatusText, this,
          [this](const std::string& text) { ShowStatusText(text); });
  connect(tree_, &ImageBrowser::SelectionChanged, this,
          [this] { DirTreeViewChange(Sender::kTree); });
  connect(tree_, &ImageBrowser::SelectedNodeClicked, this, [this] { DirTreeViewClick(); });
  connect(progressPanel_, &ProgressPanelWidget::CancelClicked, runner_, &ScoringRunner::Cancel);
  connect(runner_, &ScoringRunner::ImageStarted, this, [this](const QString& image) {
    if (!run_.folder) return;
    progressPanel_->Features()->setValue(0);
    progressPanel_->SetText(" processing " + FileNameOf(image.toStdString()) + "...");
  });
  connect(runner_, &ScoringRunner::FeatureProgress, this, [this](int done, int total) {
    progressPanel_->Features()->setRange(0, std::max(total, 1));
    progressPanel_->Features()->setValue(done);
  });
  connect(runner_, &ScoringRunner::ImageFinished, this,
          [this](int done, int) { progressPanel_->Images()->setValue(done); });
  connect(runner_, &ScoringRunner::Finished, this, [this] { ScoringFinished(); });
}

void TMainApplicationForm::BuildReviewArea(QWidget* review) {
  auto* column = new QVBoxLayout(review);
  review_ = new ReviewPanel(workspace_, edits_, review);
  column->addWidget(review_);
  review_->storeSetting = [this](const char* key, int value) {
    if (settings_) settings_->WriteInteger("main", key, value);
  };
  review_->bucketCountText = [this]() -> std::optional<std::string> {
    if (preferences_ == nullptr) return std::nullopt;
    return preferences_->BucketCountText().toStdString();
  };
  review_->showFileLabels = [this] {
    return preferences_ == nullptr || preferences_->ShowFileLabels();
  };
  connect(review_, &ReviewPanel::CometClicked, this,
          [this](const EditResult& result) { CometClicked(result); });
}

QAction* TMainApplicationForm::AddCommand(const std::string& name, const QString& caption,
                                          const QKeySequence& keys, bool shown, QMenu* menu) {
  auto* action = new QAction(caption, this);
  action->setObjectName(Q(name));
  action->setShortcut(keys);
  action->setVisible(shown);
  menu->addAction(action);
  addAction(action);  // the window's keys (a hidden item's are kept by KeepShortcutWhileHidden)
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
  buttonBar_->addAction(action);
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
  file->addSeparator();
  recentFolders_ = new RecentFoldersMenu(this);
  file->addMenu(recentFolders_);
  connect(recentFolders_, &RecentFoldersMenu::FolderChosen, this,
          [this](const QString& folder) { OpenRecentFolder(folder.toStdString()); });
  file->addSeparator();
  connect(AddCommand("QuitMenuItem", "Quit", QKeySequence("Ctrl+Q"), true, file),
          &QAction::triggered, this, &QWidget::close);
  // Nothing to undo or redo before the first edit.
  AddCommand("UndoMenuItem", "Undo", {}, true, edit)->setEnabled(false);
  AddCommand("RedoMenuItem", "Redo", {}, true, edit)->setEnabled(false);
  connect(AddCommand("Rotate90Left", "Rotate 90° Left", {}, true, edit), &QAction::triggered, this,
          [this] { RotateClick(90); });
  connect(AddCommand("Rotate90Right", "Rotate 90° Right", {}, true, edit), &QAction::triggered,
          this, [this] { RotateClick(270); });
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

  // Two rows of buttons, so that every one of them, with its caption, fits
  // a laptop's screen: opening, editing and scoring; then viewing and help.
  auto* bar = addToolBar("Tools");
  bar->setObjectName("ToolBar");
  buttonBar_ = bar;
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
  // Escape drops the rectangle although its menu item is hidden (a hidden
  // item's shortcut does not fire).
  connect(Command("CancelRectangleMenuItem"), &QAction::triggered, this,
          [this] { CancelRectangleMenuItemClick(); });
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
          [this] { CancelRectangleMenuItemClick(); });
  AddButton("ScoreUsingCutoffButton", "Score",
            "Click here to score field of view images using the current cutoff setting...", false,
            true);
  AddButton("ScoreUsingAutoSegmentationButton", "Auto Score",
            "Click here to automatically score field-of-view images using auto-segmentation "
            "techniques...",
            false, false);
  addToolBarBreak();
  auto* viewBar = addToolBar("View");
  viewBar->setObjectName("ViewToolBar");
  buttonBar_ = viewBar;
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

  auto run = [this](const char* name, auto handler) {
    connect(Command(name), &QAction::triggered, this, handler);
  };
  run("OpenFileMenuItem", [this] { OpenFileMenuItemClick(Sender::kCommand); });
  run("OpenFileButton", [this] { OpenFileMenuItemClick(Sender::kCommand); });
  run("OpenFolderMenuItem", [this] { OpenFolderMenuItemClick(Sender::kCommand); });
  run("OpenFolderButton", [this] { OpenFolderMenuItemClick(Sender::kCommand); });
  run("ScoreUsingCutoffMenuItem", [this] { ScoreUsingCutoffMenuItemClick(Sender::kCommand); });
  run("ScoreUsingCutoffButton", [this] { ScoreUsingCutoffMenuItemClick(Sender::kCommand); });
  run("ScoreUsingAutoSegmentationButton",
      [this] { ScoreUsingCutoffMenuItemClick(Sender::kAutoSegmentation); });
  run("PreferencesButton", [this] { PreferencesMenuItemClick(); });
  run("HelpButton", [this] { OverviewMenuItemClick(); });
  run("ReleaseNotesButton", [this] { ReleaseNotesMenuItemClick(); });
  run("AboutButton", [this] { AboutMenuItemClick(); });

  // Export and debugging commands.
  exports_ = new ExportCommands({this, &workspace_, fieldOfView_, tree_, &chooser_, &fileName_,
                                 [this] { return preferences_; }, [this] { return Scoring(); }});
  run("SaveAsSpreadsheetMenuItem", [this] { exports_->SaveAsSpreadsheetMenuItemClick(); });
  run("SaveAsSpreadsheetButton", [this] { exports_->SaveAsSpreadsheetMenuItemClick(); });
  run("SaveBMP", [this] { exports_->SaveBMPClick(); });
  run("Blur3x3MenuItem", [this] { exports_->Blur3x3MenuItemClick(); });
  run("BuildCompositeMenuItem", [this] { exports_->BuildCompositeMenuItemClick(); });
  run("TestMenuItem", [this] { exports_->TestMenuItemClick(); });
  for (const char* hidden : {"SaveBMP", "TestMenuItem"})
    KeepShortcutWhileHidden(Command(hidden), this);
  BuildEditCommands();

  ApplyMenuMnemonics(menuBar());
  DecorateToolBar(bar);
  DecorateToolBar(viewBar);
}

void TMainApplicationForm::FormCreate(const std::vector<std::string>& arguments) {
  LogMessage("entering " + kForm + "FormCreate()...");
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // The About dialog greets every start; STRANDEX_NO_ABOUT=1 leaves it out
  // for scripted use and tests.
  if (const char* skip = std::getenv("STRANDEX_NO_ABOUT");
      skip == nullptr || *skip == '\0' || *skip == '0')
    AboutMenuItemClick();
  tree_->RemoveAll();
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  ShowStatusText("synchronizing GUI with environment...");
  setWindowTitle(Q(GetApplicationTitle()));
  ShowStatusText("reading INI file parameters...");
  settings_ = std::make_unique<IniFile>(SettingsFilePath());
  recentFolders_->SetFolders(ReadRecentFolders(*settings_));

  const bool full = settings_->ReadInteger("main", "FullSpectrumButton", 0) != 0;
  Command("FullSpectrumMenuItem")->setChecked(full);
  Command("SingleHueMenuItem")->setChecked(!full);
  Command("SingleHueButton")->setChecked(!full);
  Command("FullSpectrumButton")->setChecked(full);
  const int stored = settings_->ReadInteger("main", "ThresholdBar", ThresholdBar()->value());
  ThresholdBar()->setValue(std::clamp(stored, 0, 255));  // a change runs the slider's handler
  // The review lists and the filter fields; restoring runs no handler.
  for (const char* name : {"MetricComboBox", "SortComboBox", "ImageModeComboBox"}) {
    auto* box = findChild<QComboBox*>(name);
    const QSignalBlocker quiet(box);
    const int index = settings_->ReadInteger("main", name, box->currentIndex());
    box->setCurrentIndex(index >= -1 && index < box->count() ? index : box->currentIndex());
  }
  filterPanel_->SetTexts(ReadSizeFilterTexts(*settings_));
  if (settings_->ReadInteger("main", "ManualScoringButton", 0) == 1)
    ThresholdScoringButtonClick(false);
  else
    ManualScoringButtonClick(false);

  ShowStatusText("querying command line arguments...");
  ApplyCommandLine(arguments);
  ShowStatusText("");
  tree_->expandAll();
  fieldOfView_->ShowEmptyHint(!tree_->HasNodes());
  QApplication::restoreOverrideCursor();
  LogMessage("exiting  " + kForm + "FormCreate()...");
}

void TMainApplicationForm::ApplyCommandLine(std::vector<std::string> arguments) {
  if (arguments.empty()) return;
  // "--open" (the desktop's "Open With"): one folder is opened as Open
  // Folder opens it, one image as Open File does, with or without a
  // trailing '/'; several files are listed as without it.
  if (arguments[0] == "--open") {
    arguments.erase(arguments.begin());
    if (arguments.size() == 1 && IsFolder(arguments[0])) {
      OpenFolder(arguments[0]);
      return;
    }
    if (arguments.size() == 1 && FileExists(arguments[0])) {
      OpenFile(arguments[0]);
      return;
    }
    if (arguments.empty()) return;
  }
  // The folder part of the first argument, up to and including its last '/'.
  const std::string parent = FolderOf(arguments[0]);
  const std::string folder = parent.empty() ? "./" : parent == "/" ? parent : parent + "/";
  if (arguments.size() == 1) {
    // One argument: its folder is listed, nothing is loaded.
    folderName_ = folder;
    OpenFolderMenuItemClick(Sender::kOther);
    return;
  }
  std::vector<std::string> names;
  for (const std::string& argument : arguments)
    if (FileExists(argument)) names.push_back(FileNameOf(argument));
  tree_->ShowFolder(folder, names);
}

void TMainApplicationForm::OpenFileMenuItemClick(Sender sender) {
  ScopedTrace trace(kForm + "OpenFileMenuItemClick");
  if (sender == Sender::kCommand) {
    std::optional<std::string> chosen;
    {
      ScopedTrace dialog("TOpenDialog::Execute");
      chosen = chooser_.file(this);
      if (chosen) fileName_ = *chosen;
      dialog.SetResult(fileName_);
    }
    if (!chosen) {
      trace.SetResult("ABORTED");
      return;
    }
    if (FileExists(fileName_)) {
      ShowFileAlone(fileName_);
      return;
    }
  }
  LoadSelectedImage();
}

// The tree shows the file alone; selecting it loads the image and its data
// set through the tree's change handler.
void TMainApplicationForm::ShowFileAlone(const std::string& path) {
  fieldOfView_->ShowEmptyHint(false);
  tree_->ShowFolder(FolderOf(path) + "/", {FileNameOf(path)});
  tree_->SelectImage(0);
}

// The image named by the file dialog's current name and its data set.
void TMainApplicationForm::LoadSelectedImage() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (LoadImageIntoWorkspace(fileName_)) {
    const bool read = workspace_.LoadDataSet();
    BindDataSet(false);
    if (read) {
      FillWellGUI(workspace_.DataSetPath());
    } else {
      if (!workspace_.Message().empty()) ShowStatusText(workspace_.Message());
      ClearReviewPictures();
    }
  } else {
    edits_.Detach();
    UpdateUndoCommands();
    ClearReviewPictures();
  }
  QApplication::restoreOverrideCursor();
}

void TMainApplicationForm::OpenFile(const std::string& path) {
  ScopedTrace trace(kForm + "OpenFileMenuItemClick", path);
  fileName_ = path;
  ShowFileAlone(path);
}

void TMainApplicationForm::OpenFolderMenuItemClick(Sender sender) {
  ScopedTrace trace(kForm + "OpenFolderMenuItemClick", folderName_);
  if (sender == Sender::kCommand) {
    std::optional<std::string> chosen;
    {
      ScopedTrace dialog("TOpenDialog::Execute", folderName_);
      chosen = chooser_.folder(this);
      if (chosen) folderName_ = AsFolder(*chosen);
      dialog.SetResult(folderName_);
    }
    if (!chosen) {
      trace.SetResult("ABORTED");
      return;
    }
  }
  ListFolder(folderName_, sender == Sender::kCommand);
}

void TMainApplicationForm::OpenFolder(const std::string& folder) {
  ScopedTrace trace(kForm + "OpenFolderMenuItemClick", folder);
  folderName_ = AsFolder(folder);
  ListFolder(folderName_, true);
}

// Lists the folder's images in the tree; selecting the root builds the
// folder summary. A folder that does not exist changes nothing.
void TMainApplicationForm::ListFolder(const std::string& folder, bool selectRoot) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (IsFolder(folder)) {
    std::vector<std::string> names;
    for (const std::string& image : ListFolderImages(folder)) names.push_back(FileNameOf(image));
    fieldOfView_->ShowEmptyHint(false);
    tree_->ShowFolder(folder, names);
    if (settings_) recentFolders_->SetFolders(RememberRecentFolder(*settings_, folder));
    progressPanel_->Begin("opening folder \"" + folder + "\"...", tree_->ImageCount(), false);
    if (selectRoot) tree_->SelectRoot();
    progressPanel_->hide();
  } else {
    ShowStatusText("The folder " + folder + " does not exist.");
    DataPointsLabelClick();
    MetricComboBoxChange();
  }
  QApplication::restoreOverrideCursor();
}

// A folder of the recent list: opened again, or taken off the list when it
// is gone.
void TMainApplicationForm::OpenRecentFolder(const std::string& folder) {
  if (Scoring()) return;  // the workspace and the tree are the scorer's
  if (IsFolder(folder)) {
    OpenFolder(folder);
    return;
  }
  if (settings_) recentFolders_->SetFolders(ForgetRecentFolder(*settings_, folder));
  ShowStatusText("The folder " + folder + " does not exist.");
}

void TMainApplicationForm::DirTreeViewChange(Sender sender) {
  if (!tree_->HasNodes() || tree_->SelectedLevel() < 0) return;
  const int level = tree_->SelectedLevel();
  ScopedTrace trace(kForm + "DirTreeViewChange",
                    tree_->SelectedText() + ", " + std::to_string(level));
  edits_.ClearUndo();  // an edit is never undone on another data set
  UpdateUndoCommands();
  if (level != 0) {
    const std::string path = tree_->SelectedImagePath();
    if (FileExists(path)) {
      fileName_ = path;
      OpenFileMenuItemClick(sender);
    } else {
      // The workspace lets go of the image it held, so that nothing of
      // another image is scored or edited in this one's name.
      fileName_ = path;
      LoadSelectedImage();
      ShowStatusText("The image " + path + " does not exist any more.");
    }
  } else {
    // The folder summary: every image's comets over a black display.
    if (sender == Sender::kTree) QApplication::setOverrideCursor(Qt::WaitCursor);
    fieldOfView_->ShowBlack();
    QProgressBar* bar = progressPanel_->Images();
    bar->setRange(0, std::max(tree_->ImageCount(), 1));
    workspace_.SelectSummary(tree_->ImagePaths(), [this, bar](int done, int) {
      bar->setValue(done);
      if (progressPanel_->isVisible()) progressPanel_->repaint();
    });
    BindDataSet(true);
    DataPointsLabelClick();
    MetricComboBoxChange();
    // Data sets left out (unreadable, foreign, shared) are named.
    if (!workspace_.Message().empty()) ShowStatusText(workspace_.Message());
    if (sender == Sender::kTree) QApplication::restoreOverrideCursor();
  }
}

void TMainApplicationForm::DirTreeViewClick() {
  DirTreeViewChange(Sender::kTree);
}

bool TMainApplicationForm::LoadImageIntoWorkspace(const std::string& path, bool cometImage) {
  ScopedTrace trace(kForm + "LoadImageIntoWorkspace", path);
  ShowStatusText("Loading image data from " + path);
  const bool ok = cometImage ? workspace_.ViewCometImage(path) : workspace_.LoadImage(path);
  if (preferences_ == nullptr) LogMessage("ERROR : TPreferencesForm is undefined!!!");
  fieldOfView_->CancelRectangle();
  ApplyDisplayColors();  // black when the image could not be read
  if (!ok) {
    // "Cannot read the image …: why" as a sentence of the status bar.
    std::string why = workspace_.Message();
    if (!why.empty()) why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
    ShowStatusText(why);
    trace.SetResult("FAILURE");
  } else if (const BitmapImageClass* image = workspace_.Image()) {
    // The load is over: what is on view, in the status bar only.
    statusText_ = FileNameOf(path) + ": " + std::to_string(image->Bitmap.bmWidth) + " x " +
                  std::to_string(image->Bitmap.bmHeight) + " pixels";
    statusBar()->showMessage(Q(statusText_));
  }
  return ok;
}

void TMainApplicationForm::FillWellGUI(const std::string& dataSetPath) {
  ScopedTrace trace(kForm + "FillWellGUI", dataSetPath);
  DataPointsLabelClick();
  MetricComboBoxChange();
}

void TMainApplicationForm::DataPointsLabelClick() {
  review_->DataPointsLabelClick();
}

void TMainApplicationForm::MetricComboBoxChange() {
  review_->MetricComboBoxChange();
}

void TMainApplicationForm::BindDataSet(bool folder) {
  const DataSetPlace place = folder ? DataSetPlace::OfFolder(tree_->Folder(), tree_->ImagePaths())
                                    : DataSetPlace::OfImage(workspace_.ImagePath());
  edits_.Attach(workspace_.DataSet(), place);
  UpdateUndoCommands();
  review_->SetPlace(place);
}

// After a click on the grid: the comet's own image on view (folder data
// sets), Undo and Redo as the edits allow, and what went wrong.
void TMainApplicationForm::CometClicked(const EditResult& result) {
  if (!result.sourceImage.empty()) LoadImageIntoWorkspace(result.sourceImage, true);
  if (result.changed) UpdateUndoCommands();
  if (!result.message.empty()) ShowStatusText(result.message);
}

// An image without data: the review pictures show only their background.
void TMainApplicationForm::ClearReviewPictures() {
  review_->ClearPictures();
  DataPointsLabelClick();
}

void TMainApplicationForm::ScoreUsingCutoffMenuItemClick(Sender sender) {
  if (Scoring()) return;
  LogMessage("entering " + kForm + "ScoreUsingCutoffMenuItemClick()...");
  switch (tree_->SelectedLevel()) {
    case 0:
      ScoreFolderImages(sender);
      break;
    case 1:
      ScoreSelectedImage(sender);
      break;
    default:
      ShowStatusText("Select an image or a folder to score.");
      LogMessage("exiting  " + kForm + "ScoreUsingCutoffMenuItemClick(ABORTED)...");
  }
}

void TMainApplicationForm::ScoreSelectedImage(Sender sender) {
  run_ = {false, tree_->SelectedText()};
  if (sender == Sender::kAutoSegmentation) {
    // Auto-segmentation of a single image scores nothing.
    const auto start = std::chrono::steady_clock::now();
    workspace_.ScoreSelectedImageUsingOtsuSegmentation();
    ShowStatusText(ProcessedText(
        run_.name,
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()));
    LogMessage("exiting  " + kForm + "ScoreUsingCutoffMenuItemClick()...");
    return;
  }
  if (CurrentImage() == nullptr || workspace_.ShowsSummary() ||
      workspace_.ImagePath() != tree_->SelectedImagePath()) {
    // The image could not be read when it was selected: say why again.
    const std::string why =
        workspace_.Message().empty() ? "no image is loaded" : workspace_.Message();
    ShowStatusText(why);
    ShowErrorBox(why, "Score Image using Cutoff");
    LogMessage("exiting  " + kForm + "ScoreUsingCutoffMenuItemClick(FAILURE)...");
    return;
  }
  progressPanel_->Begin(" processing " + run_.name + "...", 1, false);
  SetScoringBusy(true);
  ScoreRequest request;
  request.cutoff = static_cast<std::uint8_t>(fieldOfView_->Cutoff() & 0xFF);
  runner_->ScoreSelectedImage(workspace_, request, true);
}

void TMainApplicationForm::ScoreFolderImages(Sender sender) {
  const std::string folder = tree_->Folder();
  if (FolderHasResults(folder) &&
      AskYesNo("Overwrite all existing data?", "Score All Images in Folder") != kIdYes) {
    LogMessage("exiting  " + kForm + "ScoreUsingCutoffMenuItemClick(ABORTED BY USER)...");
    return;
  }
  run_ = {true, folder};
  progressPanel_->Begin("", tree_->ImageCount(), true);
  SetScoringBusy(true);
  ScoreRequest request;
  request.autoThreshold = sender == Sender::kAutoSegmentation;
  request.cutoff = static_cast<std::uint8_t>(fieldOfView_->Cutoff() & 0xFF);
  request.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  request.rotation = workspace_.Rotation();  // turned while the folder is selected: every image
  runner_->ScoreImages(tree_->ImagePaths(), request);
}

// After a run: the panel hidden, the commands back, the selected node
// loaded again with its new results, the status text, and a box for what
// failed.
void TMainApplicationForm::ScoringFinished() {
  const std::vector<ImageScoreReport>& reports = runner_->Reports();
  int started = 0;
  std::string failures;
  for (const ImageScoreReport& r : reports) {
    started += r.started ? 1 : 0;
    if (r.started && r.outcome == ScoreOutcome::kFailed)
      failures += FileNameOf(r.imagePath) + ": " + r.message + "\n";
  }
  const int total = static_cast<int>(reports.size());
  const bool cancelled = run_.folder && started < total;
  const bool declined = !run_.folder && total == 1 && reports[0].outcome == ScoreOutcome::kDeclined;
  progressPanel_->hide();
  SetScoringBusy(false);
  if (!declined) {
    fieldOfView_->Redraw();
    DirTreeViewChange(Sender::kOther);
  }
  std::string word;
  if (cancelled) {
    char text[96];
    std::snprintf(text, sizeof text, " after %d of %d images in %.1f seconds.", started, total,
                  runner_->Seconds());
    ShowStatusText("Cancelled \"" + run_.name + "\"" + text);
    word = "ABORTED";
  } else if (declined) {
    word = "CANCELLED";
  } else if (!run_.folder && !failures.empty()) {
    ShowStatusText(reports[0].message);
    word = "FAILURE";
  } else {
    ShowStatusText(ProcessedText(run_.name, runner_->Seconds()));
  }
  if (!failures.empty()) {
    failures.pop_back();
    ShowErrorBox(failures, run_.folder ? "Score All Images in Folder" : "Score Image using Cutoff");
  }
  LogMessage("exiting  " + kForm + "ScoreUsingCutoffMenuItemClick(" + word + ")...");
}

bool TMainApplicationForm::Scoring() const {
  return runner_ != nullptr && runner_->Running();
}

void TMainApplicationForm::WaitForScoring() {
  if (runner_ != nullptr) runner_->Wait();
}

// While scoring runs the workspace is the scorer's: every command that
// could change it, the tree, the slider and drops are shut off.
void TMainApplicationForm::SetScoringBusy(bool busy) {
  if (busy) {
    disabledWhileScoring_.clear();
    std::vector<QAction*> actions{recentFolders_->menuAction()};
    for (const auto& [name, action] : commands_)
      if (!StaysEnabledWhileScoring(name)) actions.push_back(action);
    for (QAction* action : actions)
      if (action->isEnabled()) {
        action->setEnabled(false);
        disabledWhileScoring_.push_back(action);
      }
    for (QWidget* w : {static_cast<QWidget*>(tree_), static_cast<QWidget*>(ThresholdBar()),
                       static_cast<QWidget*>(fieldOfView_->DisplayImage())})
      if (w->isEnabled()) {
        w->setEnabled(false);
        disabledWhileScoring_.push_back(w);
      }
    review_->SetScoring(true);
    filterPanel_->setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
  } else {
    review_->SetScoring(false);
    filterPanel_->setEnabled(true);
    for (QObject* o : disabledWhileScoring_) {
      if (auto* action = qobject_cast<QAction*>(o)) action->setEnabled(true);
      if (auto* widget = qobject_cast<QWidget*>(o)) widget->setEnabled(true);
    }
    disabledWhileScoring_.clear();
    QApplication::restoreOverrideCursor();
  }
}

QAction* TMainApplicationForm::Command(const std::string& name) const {
  auto it = commands_.find(name);
  return it == commands_.end() ? nullptr : it->second;
}

QSlider* TMainApplicationForm::ThresholdBar() const {
  return fieldOfView_->ThresholdBar();
}

QLabel* TMainApplicationForm::ThresholdIndicator() const {
  return fieldOfView_->ThresholdIndicator();
}

const TBitmap& TMainApplicationForm::DisplayBitmap() const {
  return fieldOfView_->DisplayBitmap();
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
  progressPanel_->Centre(client);
  fieldOfView_->Redraw();
  LogMessage("exiting  " + kForm + "FormResize()...");
}

void TMainApplicationForm::wheelEvent(QWheelEvent* e) {
  QTreeWidgetItem* node = tree_->currentItem();
  const bool first =
      node != nullptr && (node->parent() == nullptr || node->parent()->indexOfChild(node) == 0);
  const int delta = e->angleDelta().y();
  QSlider* bar = ThresholdBar();
  if (workspace_.Image() != nullptr && !first && delta != 0 && bar->isEnabled())
    bar->setValue(std::clamp(bar->value() + (delta > 0 ? -1 : 1), 0, 255));
  e->ignore();
}

void TMainApplicationForm::ApplyDisplayColors() {
  const std::uint32_t hue = preferences_ != nullptr ? preferences_->SingleHueColour() : kWhite;
  fieldOfView_->ApplyDisplayColors(FullSpectrum(), hue);
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
    if (preferences_->Tag() == TPreferencesForm::kSaved) {
      ApplyDisplayColors();
      review_->DrawHistogram();
      review_->DrawCometImageGrid();
    }
  }
  LogMessage("exiting  " + kForm + "PreferencesMenuItemClick()...");
}

void TMainApplicationForm::OverviewMenuItemClick() {
  LogMessage("entering " + kForm + "OverviewMenuItemClick()...");
  AnsiString_ShellExecute("open",
                          DocumentPath(FileNameOf(RemoveExtension(ExecutablePath())) + ".html"), "",
                          "", 1, false);
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

void TMainApplicationForm::ThresholdBarChange(int position) {
  ApplyDisplayColors();
  if (settings_) settings_->WriteInteger("main", "ThresholdBar", position);
}

void TMainApplicationForm::Rotate180Click() {
  RotateClick(180);
}

void TMainApplicationForm::RotateClick(int degrees) {
  if (workspace_.Image() == nullptr) return;
  workspace_.RotateImage(degrees);
  // A quarter turn swaps width and height: a rectangle begun before it no longer fits.
  if (degrees % 180 != 0) fieldOfView_->CancelRectangle();
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
  fieldOfView_->SetOneClickMode(false);
  if (writeSetting) settings_->WriteInteger("main", "ManualScoringButton", 0);
}

void TMainApplicationForm::ThresholdScoringButtonClick(bool writeSetting) {
  Command("ManualScoringButton")->setChecked(false);
  Command("ThresholdScoringButton")->setChecked(true);
  fieldOfView_->SetOneClickMode(true);
  if (writeSetting) settings_->WriteInteger("main", "ManualScoringButton", 1);
}

void TMainApplicationForm::CancelRectangleMenuItemClick() {
  ScopedTrace trace(kForm + "CancelRectangleMenuItemClick");
  fieldOfView_->CancelRectangle();
}

// A comet added by hand: the review counts and draws it, and an earlier
// grid edit is no longer undone over it.
void TMainApplicationForm::ManualCometAdded() {
  edits_.ClearUndo();
  UpdateUndoCommands();
  DataPointsLabelClick();
  MetricComboBoxChange();
}

void TMainApplicationForm::closeEvent(QCloseEvent* e) {
  // Images in progress finish; no further one starts.
  if (Scoring()) {
    runner_->Cancel();
    WaitForScoring();
  }
  QMainWindow::closeEvent(e);
}

namespace {

// The one local path of a drag: a folder, or a file the window opens.
std::string DroppedPath(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().isEmpty()) return {};
  const QUrl url = data->urls().front();
  if (!url.isLocalFile()) return {};
  const std::string path = url.toLocalFile().toStdString();
  return IsFolder(path) || IsFieldImageName(path) ? path : std::string();
}

}  // namespace

void TMainApplicationForm::dragEnterEvent(QDragEnterEvent* e) {
  if (!Scoring() && !DroppedPath(e->mimeData()).empty()) e->acceptProposedAction();
}

void TMainApplicationForm::dropEvent(QDropEvent* e) {
  const std::string path = DroppedPath(e->mimeData());
  if (Scoring() || path.empty()) return;
  e->acceptProposedAction();
  if (IsFolder(path))
    OpenFolder(path);
  else
    OpenFile(path);
}
