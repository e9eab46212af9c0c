#pragma once

#include <QObject>
#include <functional>
#include <string>

#include "PathChooser.h"

class DocumentOpenings;
class FieldOfViewView;
class ImageBrowser;
class QMainWindow;
class ScoringWorkspace;
class TPreferencesForm;

// The window's export and debugging commands: "Save as Spreadsheet" (the
// data set's two tab-delimited files, both then opened with the desktop's
// default application), "Export BMP" (the workspace image as a BMP file),
// and the Debug menu's "Blur3x3", "Build Composite" and "TEST". The window
// hands over what they work on; the files themselves are written by the
// workspace's exporters, the same ones the command line uses.
class ExportCommands : public QObject {
  Q_OBJECT

 public:
  struct Parts {
    QMainWindow* window;
    ScoringWorkspace* workspace;
    FieldOfViewView* fieldOfView;
    ImageBrowser* tree;
    const PathChooser* chooser;   // the window's, replaced by tests
    const std::string* fileName;  // the open-file dialog's current name
    // The preferences dialog (made after the window; may not exist yet).
    std::function<TPreferencesForm*()> preferences;
    // True while a scoring run owns the workspace.
    std::function<bool()> busy;
  };

  explicit ExportCommands(const Parts& parts);

  void SaveAsSpreadsheetMenuItemClick();
  void SaveBMPClick();
  void Blur3x3MenuItemClick();
  void BuildCompositeMenuItemClick();
  void TestMenuItemClick();

  // The blur rounds of Build Composite; tests use fewer.
  void SetCompositeBlurRounds(int rounds) { compositeBlurRounds_ = rounds; }
  // Exported files still to be opened with the desktop's application.
  DocumentOpenings* Openings() const { return openings_; }

 private:
  Parts parts_;
  int compositeBlurRounds_;
  DocumentOpenings* openings_;
};
