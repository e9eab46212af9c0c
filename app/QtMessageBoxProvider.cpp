#include "QtMessageBoxProvider.h"

#include <QMessageBox>
#include <memory>

namespace {

QMessageBox* MakeBox(QMessageBox::Icon icon, const std::string& text, const std::string& caption,
                     QMessageBox::StandardButtons buttons) {
  auto* box =
      new QMessageBox(icon, QString::fromStdString(caption), QString::fromStdString(text), buttons);
  box->setWindowFlag(Qt::WindowStaysOnTopHint);
  box->setWindowModality(Qt::ApplicationModal);
  box->setAttribute(Qt::WA_DeleteOnClose, false);
  return box;
}

// The dialogs themselves; only ever run on the interface thread.
class QtDialogBoxes : public MessageBoxProvider {
 public:
  void ShowError(const std::string& text, const std::string& caption) override {
    std::unique_ptr<QMessageBox> box(
        MakeBox(QMessageBox::Critical, text, caption, QMessageBox::Ok));
    box->exec();
  }
  int AskYesNo(const std::string& text, const std::string& caption) override {
    std::unique_ptr<QMessageBox> box(
        MakeBox(QMessageBox::Question, text, caption, QMessageBox::Yes | QMessageBox::No));
    return box->exec() == QMessageBox::Yes ? kIdYes : kIdNo;
  }
};

QtDialogBoxes& Dialogs() {
  static QtDialogBoxes dialogs;
  return dialogs;
}

}  // namespace

QtMessageBoxProvider::QtMessageBoxProvider() : InterfaceThreadBoxes(Dialogs()) {}
