#include "HiddenShortcut.h"

#include <QAction>
#include <QShortcut>
#include <QWidget>

void KeepShortcutWhileHidden(QAction* action, QWidget* window) {
  auto* shortcut = new QShortcut(action->shortcut(), window);
  shortcut->setObjectName(action->objectName() + "Shortcut");
  shortcut->setContext(Qt::WindowShortcut);
  // Only one of the two answers the keys: the action's own shortcut while
  // it is shown, this one while it is hidden.
  auto follow = [action, shortcut] {
    shortcut->setKey(action->shortcut());
    shortcut->setEnabled(!action->isVisible());
  };
  follow();
  QObject::connect(action, &QAction::changed, shortcut, follow);
  QObject::connect(shortcut, &QShortcut::activated, action, &QAction::trigger);
}
