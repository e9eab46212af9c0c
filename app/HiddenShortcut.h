#pragma once

class QAction;
class QWidget;

// A hidden item's shortcut still runs its command: the toolkit switches off
// the shortcuts of invisible actions, so a window-wide shortcut with the
// same keys triggers the action instead (unless it was disabled).
void KeepShortcutWhileHidden(QAction* action, QWidget* window);
