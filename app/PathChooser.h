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
};

// The file dialog "Load Image from File" (BMP, JPEG with ".jpg" and ".jpeg",
// PNG; default extension "bmp") and the folder chooser "Load Folder of
// Images".
PathChooser DialogPathChooser();
