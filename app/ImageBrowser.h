#pragma once

#include <QTreeWidget>
#include <string>
#include <vector>

// The directory tree: one root node holding a folder path (ending in '/')
// and one child per image file name under it. It says when the selected
// node changes and when the user clicks the node that was already
// selected, so that the window can load (or load again) what it names.
class ImageBrowser : public QTreeWidget {
  Q_OBJECT

 public:
  explicit ImageBrowser(QWidget* parent = nullptr);

  // Replaces the tree by the folder and the file names, expanded, with
  // nothing selected and without a selection change being reported.
  void ShowFolder(const std::string& folder, const std::vector<std::string>& fileNames);
  void RemoveAll();

  bool HasNodes() const { return topLevelItemCount() > 0; }
  std::string Folder() const;  // the root's text; empty without a root
  int ImageCount() const;
  // Full paths of the image nodes, in tree order.
  std::vector<std::string> ImagePaths() const;

  // The selected node: level -1 when none, 0 for the root, 1 for an image.
  int SelectedLevel() const;
  std::string SelectedText() const;
  // The selected image's full path (the root's text and the node's own).
  std::string SelectedImagePath() const;

  // Selecting runs the change report at once, as a click would.
  void SelectRoot();
  void SelectImage(int index);
  // Selects the image node of that file name; false when there is none.
  bool SelectImageNamed(const std::string& name);

 signals:
  void SelectionChanged();
  void SelectedNodeClicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QTreeWidgetItem* pressedOn_ = nullptr;  // the node selected when the mouse went down
};
