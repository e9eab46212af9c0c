#include "RecentFoldersMenu.h"

#include <QAction>

RecentFoldersMenu::RecentFoldersMenu(QWidget* parent) : QMenu("Recent Folders", parent) {
  setObjectName("RecentFoldersMenu");
  SetFolders({});
}

void RecentFoldersMenu::SetFolders(const std::vector<std::string>& folders) {
  clear();
  if (folders.empty()) {
    addAction("(none)")->setEnabled(false);
    return;
  }
  int number = 0;
  for (const std::string& folder : folders) {
    ++number;
    QString text = QString::fromStdString(folder);
    text.replace('&', "&&");  // a folder's own '&' is no mnemonic
    QAction* item = addAction(number < 10 ? QString("&%1 %2").arg(number).arg(text) : text);
    item->setObjectName(QString("RecentFolder%1").arg(number));
    item->setData(QString::fromStdString(folder));
    connect(item, &QAction::triggered, this,
            [this, item] { emit FolderChosen(item->data().toString()); });
  }
}
