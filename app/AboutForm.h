#pragma once

#include <QDialog>
#include <QImage>
#include <QStringList>
#include <vector>

class QLabel;
class QPlainTextEdit;

// A small gallery about the program: comets of rising damage, one text
// each, stepped with "<" and ">" and wrapping round, starting at a random
// picture.
class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kPictures = 22;
  static constexpr const char* kWebsite = "https://strandex.org/";

  explicit TAboutForm(QWidget* parent = nullptr);

  void labelLeftMouseDown() { Show(index_ - 1); }
  void labelRightMouseDown() { Show(index_ + 1); }
  // Opens the program's web site with the desktop's browser.
  void labelWebsiteClick();
  int Index() const { return index_; }
  QString Description() const;

 private:
  void Show(int index);

  std::vector<QImage> pictures_;
  QStringList texts_;
  int index_ = 0;
  QLabel* picture_;
  QPlainTextEdit* description_;
};
