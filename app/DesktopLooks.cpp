#include "DesktopLooks.h"

#include <QAction>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "ToolIcons.h"

namespace {

struct Mnemonic {
  const char* name;  // the action's object name; a menu's title when it starts with '#'
  const char* text;
};

constexpr Mnemonic kMnemonics[] = {
    {"#File", "&File"},
    {"#Edit", "&Edit"},
    {"#Analyze", "&Analyze"},
    {"#View", "&View"},
    {"#Help", "&Help"},
    {"OpenFileMenuItem", "&Open File"},
    {"OpenFolderMenuItem", "Open Fo&lder"},
    {"SaveAsSpreadsheetMenuItem", "&Save as Spreadsheet"},
    {"RecentFoldersMenu", "&Recent Folders"},
    {"QuitMenuItem", "&Quit"},
    {"UndoMenuItem", "&Undo"},
    {"RedoMenuItem", "&Redo"},
    {"Rotate90Left", "Rotate 90° &Left"},
    {"Rotate90Right", "Rotate 90° Righ&t"},
    {"Rotate180", "Rotate &180°"},
    {"DeleteThisDataMenuItem", "&Delete This Data"},
    {"PreferencesMenuItem", "&Preferences"},
    {"ScoreUsingCutoffMenuItem", "Score &Image using Cutoff"},
    {"ScoreFolderUsingCutoffMenuItem", "Score &Folder using Cutoff"},
    {"SingleHueMenuItem", "Single &Hue"},
    {"FullSpectrumMenuItem", "&Full Spectrum"},
    {"OverviewMenuItem", "&Overview"},
    {"ReleaseNotesMenuItem", "&Release Notes"},
    {"AboutMenuItem", "&About..."},
};

// The buttons that open a new group on their tool bar.
constexpr const char* kGroupStarts[] = {"UndoButton", "ManualScoringButton", "FilterButton",
                                        "PreferencesButton"};

}  // namespace

void ApplyMenuMnemonics(QMenuBar* menus) {
  for (const Mnemonic& m : kMnemonics) {
    if (m.name[0] == '#') {
      for (QAction* menu : menus->actions())
        if (menu->text() == m.name + 1) menu->setText(m.text);
      continue;
    }
    for (QAction* action : menus->parentWidget()->findChildren<QAction*>(m.name))
      action->setText(m.text);
    for (QMenu* menu : menus->parentWidget()->findChildren<QMenu*>(m.name)) menu->setTitle(m.text);
  }
}

void DecorateToolBar(QToolBar* bar) {
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  bar->setIconSize(QSize(20, 20));  // two rows of them leave the window its height
  const QList<QAction*> actions = bar->actions();
  for (QAction* action : actions) {
    const std::string name = action->objectName().toStdString();
    action->setIcon(ToolIcon(name));
    for (const char* start : kGroupStarts)
      if (name == start) bar->insertSeparator(action);
    // Undo and Redo are known by their arrows alone (their captions show
    // as hints), so that a row of buttons fits a narrow window.
    if (name == "UndoButton" || name == "RedoButton")
      if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  }
}

void PlaceOnScreen(QMainWindow* window, QSize wanted) {
  QScreen* screen =
      window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    window->resize(wanted);
    return;
  }
  const QRect area = screen->availableGeometry();
  // The frame (title bar, borders) comes on top of the client size.
  const QSize frame = window->frameGeometry().size() - window->geometry().size();
  const QSize room(std::max(1, area.width() - frame.width()),
                   std::max(1, area.height() - frame.height()));
  const QSize size = wanted.boundedTo(room).expandedTo(window->minimumSize().boundedTo(room));
  window->resize(size);
  // Centred; a window larger than the screen (its layout needs the room)
  // keeps its top left corner on the screen.
  const QPoint centred = area.center() - QPoint(size.width() / 2, size.height() / 2) -
                         QPoint(frame.width() / 2, frame.height() / 2);
  window->move(std::max(centred.x(), area.left()), std::max(centred.y(), area.top()));
}
