#pragma once

#include "MessageBox.h"

// The system's message boxes as modal, top-most Qt dialogs: the error icon
// with OK, the question icon with Yes and No.
class QtMessageBoxProvider : public MessageBoxProvider {
 public:
  void ShowError(const std::string& text, const std::string& caption) override;
  int AskYesNo(const std::string& text, const std::string& caption) override;
};
