#include "PathChooser.h"

#include <QFileDialog>

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
  return chooser;
}
