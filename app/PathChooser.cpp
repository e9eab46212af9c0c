#include "PathChooser.h"

#include <QFileDialog>

namespace {

// A save dialog that asks before replacing an existing file.
std::optional<std::string> SaveName(QWidget* parent, const QString& title,
                                    const QStringList& filters, const QString& extension) {
  QFileDialog dialog(parent, title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(extension);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front().toStdString();
}

}  // namespace

PathChooser DialogPathChooser() {
  PathChooser chooser;
  chooser.file = [](QWidget* parent) -> std::optional<std::string> {
    QFileDialog dialog(parent, "Load Image from File");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {"BMP (*.bmp *.BMP)", "JPEG (*.jpg *.jpeg *.JPG *.JPEG)", "PNG (*.png *.PNG)"});
    dialog.setDefaultSuffix("bmp");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front().toStdString();
  };
  chooser.folder = [](QWidget* parent) -> std::optional<std::string> {
    const QString folder = QFileDialog::getExistingDirectory(parent, "Load Folder of Images");
    if (folder.isEmpty()) return {};
    return folder.toStdString();
  };
  chooser.spreadsheet = [](QWidget* parent) {
    return SaveName(parent, "Save as Spreadsheet",
                    {"Tab Delimited Text (*.xls)", "Tab Delimited Text (*.txt)"}, "xls");
  };
  chooser.bitmap = [](QWidget* parent) {
    return SaveName(parent, "Save Image As BMP", {"Bitmaps (*.bmp)"}, "bmp");
  };
  return chooser;
}
