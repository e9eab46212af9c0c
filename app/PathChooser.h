#pragma once

#include <functional>
#include <optional>
#include <string>

class QWidget;

// How the window asks the user for an image file or a folder: nothing when
// the user cancels. Tests put scripted answers in place of the dialogs.
struct PathChooser {
  std::function<std::optional<std::string>(QWidget* parent)> file;
  std::function<std::optional<std::string>(QWidget* parent)> folder;
  // The names to save under: the spreadsheet's and the exported bitmap's.
  // An empty one answers as a cancelled dialog.
  std::function<std::optional<std::string>(QWidget* parent)> spreadsheet;
  std::function<std::optional<std::string>(QWidget* parent)> bitmap;
};

// The file dialog "Load Image from File" (BMP, JPEG with ".jpg" and ".jpeg",
// PNG; default extension "bmp") and the folder chooser "Load Folder of
// Images"; the save dialogs "Save as Spreadsheet" (tab-delimited text as
// ".xls" or ".txt", default extension "xls") and "Save Image As BMP"
// (default extension "bmp"), both asking before they replace a file.
PathChooser DialogPathChooser();
