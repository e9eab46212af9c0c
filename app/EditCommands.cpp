// The commands that change results after scoring: the size filter,
// "Delete This Data", and undo and redo of the last grid edit.
#include <QAction>
#include <QApplication>
#include <QToolBar>

#include "DeleteThisData.h"
#include "FilterPanel.h"
#include "ImageBrowser.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "ScopedTrace.h"
#include "SizeFilter.h"

namespace {

const std::string kForm = "TMainApplicationForm::";

}  // namespace

void TMainApplicationForm::BuildEditCommands() {
  connect(Command("FilterButton"), &QAction::triggered, this, [this] { FilterButtonClick(); });
  connect(filterPanel_, &FilterPanel::PreviewClicked, this, [this] { PreviewFilterButtonClick(); });
  connect(filterPanel_, &FilterPanel::ApplyClicked, this, [this] { ApplyFilterButtonClick(); });
  for (const char* name : {"DeleteThisDataMenuItem", "DeleteThisDataButton"})
    connect(Command(name), &QAction::triggered, this, [this] { DeleteThisDataMenuItemClick(); });
  const QKeySequence undoKeys[] = {QKeySequence("Ctrl+Z")};
  const QKeySequence redoKeys[] = {QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")};
  Command("UndoMenuItem")
      ->setShortcuts(QList<QKeySequence>(std::begin(undoKeys), std::end(undoKeys)));
  Command("RedoMenuItem")
      ->setShortcuts(QList<QKeySequence>(std::begin(redoKeys), std::end(redoKeys)));
  for (const char* name : {"UndoMenuItem", "UndoButton", "RedoMenuItem", "RedoButton"})
    connect(Command(name), &QAction::triggered, this, [this, name] { UndoMenuItemClick(name); });
  UpdateUndoCommands();
}

void TMainApplicationForm::UpdateUndoCommands() {
  for (const char* name : {"UndoMenuItem", "UndoButton"})
    Command(name)->setEnabled(edits_.CanUndo());
  for (const char* name : {"RedoMenuItem", "RedoButton"})
    Command(name)->setEnabled(edits_.CanRedo());
}

void TMainApplicationForm::DataSetEdited() {
  MetricComboBoxChange();
  DataPointsLabelClick();
}

void TMainApplicationForm::FilterButtonClick() {
  ScopedTrace trace(kForm + "FilterButtonClick");
  QAction* button = Command("FilterButton");
  if (!button->isChecked()) {
    filterPanel_->hide();
    return;
  }
  // Under the tool bar that holds the button.
  QToolBar* bar = findChild<QToolBar*>("ViewToolBar");
  const QWidget* tool = bar->widgetForAction(button);
  const QPoint left = tool != nullptr ? tool->mapTo(this, QPoint(0, 0)) : QPoint();
  filterPanel_->PlaceUnder(left.x(), tool != nullptr ? tool->width() : 0, bar->y() + bar->height());
  filterPanel_->show();
  filterPanel_->raise();
}

void TMainApplicationForm::PreviewFilterButtonClick() {
  ScopedTrace trace(kForm + "PreviewFilterButtonClick");
  const SizeFilterTexts texts = filterPanel_->Texts();
  if (!WriteSizeFilterTexts(*settings_, texts))
    ShowStatusText("Cannot write the filter limits to the settings file.");
  PreviewSizeFilter(workspace_.DataSet(), texts);
  DataSetEdited();
}

void TMainApplicationForm::ApplyFilterButtonClick() {
  ScopedTrace trace(kForm + "ApplyFilterButtonClick");
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const SizeFilterTexts texts = filterPanel_->Texts();
  if (!WriteSizeFilterTexts(*settings_, texts))
    ShowStatusText("Cannot write the filter limits to the settings file.");
  const ApplyResult result = ApplySizeFilter(workspace_.DataSet(), edits_.Place(), texts);
  // The filter's deletions cannot be undone, nor an older edit over them.
  edits_.ClearUndo();
  UpdateUndoCommands();
  DataSetEdited();
  QApplication::restoreOverrideCursor();
  if (!result.message.empty()) {
    ShowStatusText(result.message);
    ShowErrorBox(result.message, "Apply");
    trace.SetResult("FAILURE");
  }
}

void TMainApplicationForm::DeleteThisDataMenuItemClick() {
  ScopedTrace trace(kForm + "DeleteThisDataMenuItemClick");
  DeleteReport report;
  switch (tree_->SelectedLevel()) {
    case 0:
      report = DeleteFolderData(tree_->Folder());
      break;
    case 1:
      report = DeleteImageData(tree_->SelectedImagePath());
      break;
    default:
      ShowStatusText("Select an image or a folder whose data to delete.");
      trace.SetResult("ABORTED");
      return;
  }
  if (report.outcome == DeleteOutcome::kDeclined) {
    trace.SetResult("ABORTED");
    return;
  }
  edits_.ClearUndo();
  UpdateUndoCommands();
  if (report.outcome == DeleteOutcome::kFailed) {
    ShowErrorBox(report.message, "Delete this data?");
    trace.SetResult("FAILURE");
  }
  DirTreeViewClick();
  if (!report.message.empty()) ShowStatusText(report.message);
}

void TMainApplicationForm::UndoMenuItemClick(const std::string& sender) {
  ScopedTrace trace(kForm + "UndoMenuItemClick", sender);
  const bool undo = sender == "UndoMenuItem" || sender == "UndoButton";
  if (!(undo ? edits_.CanUndo() : edits_.CanRedo())) {
    trace.SetResult("ABORTED");
    return;
  }
  const EditResult result = undo ? edits_.Undo() : edits_.Redo();
  // A folder's comet is shown over the image it came from.
  if (!result.sourceImage.empty()) LoadImageIntoWorkspace(result.sourceImage, true);
  UpdateUndoCommands();
  if (result.changed) {
    if (edits_.UndoAction() == static_cast<std::int32_t>(CursorMode::kDelete))
      DataPointsLabelClick();
    MetricComboBoxChange();
  }
  if (!result.message.empty()) {
    ShowStatusText(result.message);
    trace.SetResult("FAILURE");
  }
}
