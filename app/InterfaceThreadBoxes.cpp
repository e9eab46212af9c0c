#include "InterfaceThreadBoxes.h"

#include "InterfaceThread.h"

void InterfaceThreadBoxes::ShowError(const std::string& text, const std::string& caption) {
  OnInterfaceThread([&] { shown_.ShowError(text, caption); });
}

int InterfaceThreadBoxes::AskYesNo(const std::string& text, const std::string& caption) {
  return OnInterfaceThread([&] { return shown_.AskYesNo(text, caption); });
}
