#include "ImageBrowser.h"

#include <QApplication>
#include <QSignalBlocker>
#include <QStyle>

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

ImageBrowser::ImageBrowser(QWidget* parent) : QTreeWidget(parent) {
  setObjectName("DirTreeView");
  setHeaderHidden(true);
  setMinimumWidth(200);
  setIconSize(QSize(24, 24));
  connect(this, &QTreeWidget::currentItemChanged, this, [this] { emit SelectionChanged(); });
  connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    if (item != nullptr && item == pressedOn_ && item == currentItem()) emit SelectedNodeClicked();
    pressedOn_ = nullptr;
  });
}

void ImageBrowser::mousePressEvent(QMouseEvent* event) {
  pressedOn_ = currentItem();
  QTreeWidget::mousePressEvent(event);
}

void ImageBrowser::RemoveAll() {
  const QSignalBlocker quiet(this);
  clear();
  pressedOn_ = nullptr;
}

void ImageBrowser::ShowFolder(const std::string& folder,
                              const std::vector<std::string>& fileNames) {
  const QSignalBlocker quiet(this);
  clear();
  pressedOn_ = nullptr;
  auto* root = new QTreeWidgetItem(this, QStringList(Q(folder)));
  root->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
  for (const std::string& name : fileNames) {
    auto* node = new QTreeWidgetItem(root, QStringList(Q(name)));
    node->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
  }
  expandAll();
  setCurrentItem(nullptr);
}

std::string ImageBrowser::Folder() const {
  return HasNodes() ? topLevelItem(0)->text(0).toStdString() : std::string();
}

int ImageBrowser::ImageCount() const {
  return HasNodes() ? topLevelItem(0)->childCount() : 0;
}

std::vector<std::string> ImageBrowser::ImagePaths() const {
  std::vector<std::string> paths;
  const std::string folder = Folder();
  for (int i = 0; i < ImageCount(); ++i)
    paths.push_back(folder + topLevelItem(0)->child(i)->text(0).toStdString());
  return paths;
}

int ImageBrowser::SelectedLevel() const {
  const QTreeWidgetItem* node = currentItem();
  if (node == nullptr) return -1;
  return node->parent() == nullptr ? 0 : 1;
}

std::string ImageBrowser::SelectedText() const {
  const QTreeWidgetItem* node = currentItem();
  return node == nullptr ? std::string() : node->text(0).toStdString();
}

std::string ImageBrowser::SelectedImagePath() const {
  const QTreeWidgetItem* node = currentItem();
  if (node == nullptr || node->parent() == nullptr) return {};
  return node->parent()->text(0).toStdString() + node->text(0).toStdString();
}

void ImageBrowser::SelectRoot() {
  if (HasNodes()) setCurrentItem(topLevelItem(0));
}

void ImageBrowser::SelectImage(int index) {
  if (index >= 0 && index < ImageCount()) setCurrentItem(topLevelItem(0)->child(index));
}

bool ImageBrowser::SelectImageNamed(const std::string& name) {
  for (int i = 0; i < ImageCount(); ++i)
    if (topLevelItem(0)->child(i)->text(0).toStdString() == name) {
      SelectImage(i);
      return true;
    }
  return false;
}
