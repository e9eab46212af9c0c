#pragma once

#include <QMenu>
#include <string>
#include <vector>

// File > "Recent Folders": the folders opened last, newest first, numbered
// for the keyboard. Choosing one says which.
class RecentFoldersMenu : public QMenu {
  Q_OBJECT

 public:
  explicit RecentFoldersMenu(QWidget* parent);

  void SetFolders(const std::vector<std::string>& folders);

 signals:
  void FolderChosen(const QString& folder);
};
