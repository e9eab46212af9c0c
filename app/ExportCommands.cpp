#include "ExportCommands.h"

#include <QApplication>
#include <QMainWindow>
#include <array>
#include <cstdint>

#include "AppPaths.h"
#include "Composite.h"
#include "DocumentOpenings.h"
#include "EventLog.h"
#include "FieldOfViewView.h"
#include "ImageBrowser.h"
#include "MessageBox.h"
#include "MetricHistogram.h"
#include "PreferencesForm.h"
#include "ScopedTrace.h"
#include "ScoringWorkspace.h"
#include "SpreadsheetExport.h"

namespace {

const std::string kForm = "TMainApplicationForm::";
constexpr const char* kSpreadsheet = "Save as Spreadsheet";

}  // namespace

ExportCommands::ExportCommands(const Parts& parts)
    : QObject(parts.window),
      parts_(parts),
      compositeBlurRounds_(kCompositeBlurRounds),
      openings_(new DocumentOpenings(this)) {}

void ExportCommands::SaveAsSpreadsheetMenuItemClick() {
  if (parts_.busy()) return;
  ScopedTrace trace(kForm + "SaveAsSpreadsheetMenuItemClick");
  ScoringWorkspace& workspace = *parts_.workspace;
  if (workspace.Image() == nullptr) {
    ShowErrorBox("Unable to export data. No data exists.\nPlease select an image or image set.",
                 kSpreadsheet);
    trace.SetResult("NO DATA");
    return;
  }

  TPreferencesForm* preferences = parts_.preferences();
  if (preferences == nullptr) LogMessage("ERROR : TPreferencesForm is undefined!!!");
  const std::string bucketText =
      preferences != nullptr ? preferences->BucketCountText().toStdString() : "100";
  const std::uint16_t buckets = HistogramBucketCount(bucketText);
  if (buckets < kMinHistogramBuckets) {
    LogMessage("ERROR : " + HistogramBucketCountError(bucketText));
    ShowErrorBox("Number of bins in histogram\nmust be greater than 1.", "Preferences");
    trace.SetResult("BIN COUNT");
    return;
  }

  std::optional<std::string> chosen;
  {
    LogMessage("entering TSaveDialog::Execute()...");
    if (parts_.chooser->spreadsheet) chosen = parts_.chooser->spreadsheet(parts_.window);
    LogMessage("exiting  TSaveDialog::Execute(" + chosen.value_or("") + ")...");
  }
  if (!chosen || chosen->empty()) {
    trace.SetResult("ABORTED");
    return;
  }

  const std::uint32_t mask = preferences != nullptr ? preferences->MetricMask() : 0xFFFFFFFFu;
  std::array<bool, 18> metrics{};
  for (int k = 0; k < 18; ++k) metrics[k] = (mask >> k) & 1u;
  std::string why;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const std::string word = WriteSpreadsheet(workspace.DataSet(), *chosen, metrics, buckets, &why);
  QApplication::restoreOverrideCursor();
  if (!word.empty()) {
    // The box says which file and why ("... : Permission denied").
    const bool created = word.rfind("ERROR CREATING", 0) == 0;
    ShowErrorBox((created ? "Unable to create file!\n" : "Unable to write file!\n") + why,
                 parts_.window->windowTitle().toStdString());
    trace.SetResult(word);
    return;
  }

  // The histogram file opens a second after the raw data, while the window
  // goes on answering (and a second export within that second opens its
  // own files as well).
  const SpreadsheetFiles files = SpreadsheetFileNames(*chosen);
  openings_->Open({files.rawData, files.histogram});
}

void ExportCommands::SaveBMPClick() {
  if (parts_.busy() || parts_.fileName->empty()) return;
  BitmapImageClass* image = parts_.workspace->MarkableImage();
  if (image == nullptr) return;
  std::optional<std::string> chosen;
  if (parts_.chooser->bitmap) chosen = parts_.chooser->bitmap(parts_.window);
  if (!chosen || chosen->empty()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  image->SaveToFile(*chosen);
  QApplication::restoreOverrideCursor();
}

void ExportCommands::Blur3x3MenuItemClick() {
  if (parts_.busy()) return;
  if (BitmapImageClass* image = parts_.workspace->MarkableImage()) image->Blur3x3();
}

void ExportCommands::BuildCompositeMenuItemClick() {
  if (parts_.busy()) return;
  const std::string folder = parts_.tree->Folder();
  if (folder.empty()) return;
  std::vector<std::string> names;
  for (const std::string& path : parts_.tree->ImagePaths()) names.push_back(FileNameOf(path));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  CompositeResult result = BuildComposite(folder, names, compositeBlurRounds_);
  if (result.composite) parts_.fieldOfView->ShowImage(*result.composite);
  QApplication::restoreOverrideCursor();
}

void ExportCommands::TestMenuItemClick() {
  // The outer size: the frame's margins come off the client area.
  QMainWindow* window = parts_.window;
  const QSize frame = window->frameGeometry().size() - window->geometry().size();
  window->resize(1280 - frame.width(), 960 - frame.height());
}
