#include "ToolIcons.h"

namespace {

struct ToolPicture {
  const char* button;
  const char* theme;  // freedesktop icon name
  const char* own;    // our drawing in the resources
};

constexpr ToolPicture kPictures[] = {
    {"OpenFileButton", "document-open", "open-file"},
    {"OpenFolderButton", "folder-open", "open-folder"},
    {"SaveAsSpreadsheetButton", "x-office-spreadsheet", "save-spreadsheet"},
    {"UndoButton", "edit-undo", "undo"},
    {"RedoButton", "edit-redo", "redo"},
    {"DeleteThisDataButton", "edit-delete", "delete"},
    {"ManualScoringButton", "", "rectangle"},
    {"ThresholdScoringButton", "", "one-click"},
    {"ScoreUsingCutoffButton", "", "score"},
    {"ScoreUsingAutoSegmentationButton", "", "auto-score"},
    {"SingleHueButton", "", "single-hue"},
    {"FullSpectrumButton", "", "full-spectrum"},
    {"FilterButton", "view-filter", "filter"},
    {"PreferencesButton", "preferences-system", "preferences"},
    {"HelpButton", "help-contents", "help"},
    {"ReleaseNotesButton", "text-x-generic", "release-notes"},
    {"AboutButton", "help-about", "about"},
};

}  // namespace

QIcon ToolIcon(const std::string& buttonName) {
  Q_INIT_RESOURCE(tool_icons);  // the pictures live in this static library
  for (const ToolPicture& p : kPictures) {
    if (buttonName != p.button) continue;
    const QIcon own(QString(":/icons/%1.svg").arg(p.own));
    // Pictures of our own meaning (cutoff scoring, hues) are never the
    // theme's.
    return *p.theme != '\0' ? QIcon::fromTheme(p.theme, own) : own;
  }
  return {};
}
