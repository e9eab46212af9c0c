#pragma once

#include <QSize>

class QMainWindow;
class QMenuBar;
class QToolBar;

// What makes the window a desktop program beside the commands themselves.

// Alt-key letters for the menus and their items, looked up by the items'
// object names; a name that is not there is passed over.
void ApplyMenuMnemonics(QMenuBar* menus);

// Tool buttons with a picture and their text beside it, and separators
// between the groups (files, edits, scoring, viewing, help).
void DecorateToolBar(QToolBar* bar);

// Starts the window at the wanted client size where the screen's available
// area allows (never larger), centred on that area.
void PlaceOnScreen(QMainWindow* window, QSize wanted);
