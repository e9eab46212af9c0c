#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BitmapImage.h"
#include "CometRecords.h"
#include "IniFile.h"
#include "ToolkitPictures.h"

class QAction;
class QFrame;
class QLabel;
class QProgressBar;
class QSlider;
class QTreeWidget;
class QTreeWidgetItem;
class TPreferencesForm;

// The main window: the directory tree, the tool bar, the cutoff slider, the
// field-of-view display and the review area, with every command of the
// menus and tool bar. Commands whose work is not built yet do nothing.
class TMainApplicationForm : public QMainWindow {
  Q_OBJECT

 public:
  TMainApplicationForm(const std::vector<std::string>& arguments, QWidget* parent = nullptr);
  ~TMainApplicationForm() override;

  // The window's start: settings restored, command line applied.
  void FormCreate(const std::vector<std::string>& arguments);

  // Loads one image file into the display and the workspace image.
  bool LoadImageIntoWorkspace(const std::string& path);

  // The preferences dialog, made after the window as at start-up.
  void CreatePreferences();
  TPreferencesForm* Preferences() const { return preferences_; }

  void ShowStatusText(const std::string& text);
  void PreferencesMenuItemClick();
  void OverviewMenuItemClick();
  void ReleaseNotesMenuItemClick();
  void AboutMenuItemClick();
  void ApplyDisplayColors();

  // Command and control look-ups by their names (for tests and scripts).
  QAction* Command(const std::string& name) const;
  QSlider* ThresholdBar() const { return thresholdBar_; }
  QLabel* ThresholdIndicator() const { return thresholdIndicator_; }
  QTreeWidget* DirTreeView() const { return tree_; }
  QFrame* ProgressPanel() const { return progressPanel_; }
  const BitmapImageClass* CurrentImage() const { return image_.get(); }
  const TBitmap& DisplayBitmap() const { return display_; }
  std::string StatusText() const;
  bool FullSpectrum() const;
  bool OneClickScoring() const;

 protected:
  bool event(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  void BuildCommands();
  void BuildLayout();
  void BuildReviewArea(QWidget* review);
  QAction* AddCommand(const std::string& name, const QString& caption, const QKeySequence& keys,
                      bool shown, QMenu* menu);
  QAction* AddButton(const std::string& name, const QString& caption, const QString& hint,
                     bool toggle, bool shown);
  void ApplyCommandLine(const std::vector<std::string>& arguments);
  void ThresholdBarChange(int position);
  void Rotate180Click();
  void SingleHueMenuItemClick();
  void FullSpectrumMenuItemClick();
  void ManualScoringButtonClick(bool writeSetting);
  void ThresholdScoringButtonClick(bool writeSetting);
  void ShowDisplay();

  std::unique_ptr<IniFile> settings_;
  TPreferencesForm* preferences_ = nullptr;
  std::unique_ptr<BitmapImageClass> image_;
  TBitmap display_;
  WellRecord well_;
  std::string dataSetPath_;
  std::string statusText_;
  int rectangle_[4] = {-1, -1, -1, -1};

  std::map<std::string, QAction*> commands_;
  QTreeWidget* tree_ = nullptr;
  QSlider* thresholdBar_ = nullptr;
  QLabel* thresholdIndicator_ = nullptr;
  QLabel* fieldOfView_ = nullptr;
  QFrame* progressPanel_ = nullptr;
  QFrame* filterPanel_ = nullptr;
};
