#pragma once

#include "MessageBox.h"

// Shows the boxes of another provider on the interface thread, whichever
// thread asks for them: a worker waits for the answer while the interface
// thread shows the box. Boxes asked for at once from several threads are
// shown one after another.
class InterfaceThreadBoxes : public MessageBoxProvider {
 public:
  explicit InterfaceThreadBoxes(MessageBoxProvider& shown) : shown_(shown) {}
  void ShowError(const std::string& text, const std::string& caption) override;
  int AskYesNo(const std::string& text, const std::string& caption) override;

 private:
  MessageBoxProvider& shown_;
};
