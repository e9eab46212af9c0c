#pragma once

#include <QIcon>
#include <string>

// The picture of a tool button, by the button's name: the desktop's icon
// theme where it has one, else our own small drawing. A null icon for a
// name without a picture.
QIcon ToolIcon(const std::string& buttonName);
