#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BitmapImage.h"
#include "CometEdits.h"
#include "IniFile.h"
#include "PathChooser.h"
#include "ScoringWorkspace.h"
#include "ToolkitPictures.h"

class ExportCommands;
class QToolBar;
class FieldOfViewView;
class FilterPanel;
class ImageBrowser;
class ProgressPanelWidget;
class QAction;
class QFrame;
class QLabel;
class QSlider;
class RecentFoldersMenu;
class ReviewPanel;
class ScoringRunner;
class TPreferencesForm;

// The main window: the directory tree, the tool bar, the field of view and
// the review area, with every command of the menus and tool bar. It owns
// the one scoring workspace and connects the views that show it.
class TMainApplicationForm : public QMainWindow {
  Q_OBJECT

 public:
  // Who ran a command: its menu item or tool button (which ask the user
  // first), the hidden auto-segmentation controls, the tree, or the window
  // itself (start-up, refresh).
  enum class Sender { kCommand, kAutoSegmentation, kTree, kOther };

  TMainApplicationForm(const std::vector<std::string>& arguments, QWidget* parent = nullptr);
  ~TMainApplicationForm() override;

  // The window's start: settings restored, command line applied.
  void FormCreate(const std::vector<std::string>& arguments);

  // Opening and browsing.
  void OpenFileMenuItemClick(Sender sender);
  void OpenFolderMenuItemClick(Sender sender);
  // "Open File" / "Open Folder" with the path already chosen (dropped).
  void OpenFile(const std::string& path);
  void OpenFolder(const std::string& folder);
  void DirTreeViewChange(Sender sender);
  void OpenRecentFolder(const std::string& folder);
  void DirTreeViewClick();
  // Loads one image file into the workspace and the display. The image of
  // a comet clicked in the grid leaves the data set alone, and the image on
  // view when it cannot be decoded.
  bool LoadImageIntoWorkspace(const std::string& path, bool cometImage = false);
  void FillWellGUI(const std::string& dataSetPath);
  void DataPointsLabelClick();
  // The review of the data set on view: histogram, labels and grid redrawn.
  void MetricComboBoxChange();

  // Scoring with the slider's cutoff: the selected image, or every image
  // when the folder node is selected. Runs off the interface thread.
  void ScoreUsingCutoffMenuItemClick(Sender sender);
  bool Scoring() const;
  // Waits (handling events) until a scoring run has ended.
  void WaitForScoring();

  // The preferences dialog, made after the window as at start-up.
  void CreatePreferences();
  TPreferencesForm* Preferences() const { return preferences_; }
  void SetPathChooser(PathChooser chooser) { chooser_ = std::move(chooser); }

  void ShowStatusText(const std::string& text);
  void PreferencesMenuItemClick();
  void OverviewMenuItemClick();
  void ReleaseNotesMenuItemClick();
  void AboutMenuItemClick();
  void ApplyDisplayColors();

  // Command and control look-ups by their names (for tests and scripts).
  QAction* Command(const std::string& name) const;
  QSlider* ThresholdBar() const;
  QLabel* ThresholdIndicator() const;
  ImageBrowser* DirTreeView() const { return tree_; }
  ExportCommands* Exports() const { return exports_; }
  ProgressPanelWidget* ProgressPanel() const { return progressPanel_; }
  ScoringRunner* Runner() const { return runner_; }
  const ScoringWorkspace& Workspace() const { return workspace_; }
  const BitmapImageClass* CurrentImage() const { return workspace_.Image(); }
  const TBitmap& DisplayBitmap() const;
  std::string StatusText() const;
  bool FullSpectrum() const;
  bool OneClickScoring() const;
  // The review area below the field of view.
  ReviewPanel* Review() const { return review_; }
  // The one set of edits of the data set on view: the grid's clicks, undo
  // and redo.
  CometEdits& Edits() { return edits_; }

  // Editing results: the size filter, "Delete This Data", undo and redo.
  void FilterButtonClick();
  void PreviewFilterButtonClick();
  void ApplyFilterButtonClick();
  void DeleteThisDataMenuItemClick();
  // Shared by the four undo and redo controls; `sender` names the one used.
  void UndoMenuItemClick(const std::string& sender);
  // The undo and redo controls follow the edits' state.
  void UpdateUndoCommands();
  FilterPanel* Filter() const { return filterPanel_; }

 protected:
  bool event(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void BuildCommands();
  void BuildLayout();
  void BuildReviewArea(QWidget* review);
  QAction* AddCommand(const std::string& name, const QString& caption, const QKeySequence& keys,
                      bool shown, QMenu* menu);
  QAction* AddButton(const std::string& name, const QString& caption, const QString& hint,
                     bool toggle, bool shown);
  void ApplyCommandLine(std::vector<std::string> arguments);
  void ListFolder(const std::string& folder, bool selectRoot);
  void ShowFileAlone(const std::string& path);
  void LoadSelectedImage();
  void ClearReviewPictures();
  // The data set on view was replaced (one image's, or the folder's
  // summary): the edits and the review bound to it.
  void BindDataSet(bool folder);
  void CometClicked(const EditResult& result);
  void ScoreSelectedImage(Sender sender);
  void ScoreFolderImages(Sender sender);
  void ScoringFinished();
  void SetScoringBusy(bool busy);
  void ThresholdBarChange(int position);
  void Rotate180Click();
  // Turns the image counter-clockwise in memory ("Rotate 90° Left" 90,
  // "Rotate 90° Right" 270), as "Rotate 180°" turns it half way.
  void RotateClick(int degrees);
  void SingleHueMenuItemClick();
  void FullSpectrumMenuItemClick();
  void ManualScoringButtonClick(bool writeSetting);
  void ThresholdScoringButtonClick(bool writeSetting);
  // Manual scoring: the rectangle dropped (Escape); after a comet added by
  // hand, the review views refreshed.
  void CancelRectangleMenuItemClick();
  void ManualCometAdded();
  void BuildEditCommands();
  // After the data set's limits or comets changed: the review redrawn and
  // the data points counted again.
  void DataSetEdited();

  ScoringWorkspace workspace_;
  CometEdits edits_;  // bound to the workspace's data set on view
  std::unique_ptr<IniFile> settings_;
  TPreferencesForm* preferences_ = nullptr;
  PathChooser chooser_;
  std::string fileName_;    // the file dialog's current file name
  std::string folderName_;  // the folder dialog's current folder
  std::string statusText_;

  // The scoring run in progress: what it scores and what to do after it.
  struct Run {
    bool folder = false;
    std::string name;  // the node's text
  } run_;
  std::vector<QObject*> disabledWhileScoring_;

  std::map<std::string, QAction*> commands_;
  QToolBar* buttonBar_ = nullptr;  // where AddButton puts the next button
  ImageBrowser* tree_ = nullptr;
  FieldOfViewView* fieldOfView_ = nullptr;
  ProgressPanelWidget* progressPanel_ = nullptr;
  ScoringRunner* runner_ = nullptr;
  FilterPanel* filterPanel_ = nullptr;
  ReviewPanel* review_ = nullptr;
  RecentFoldersMenu* recentFolders_ = nullptr;
  ExportCommands* exports_ = nullptr;
};
