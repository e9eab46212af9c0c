#include "MessageBox.h"

#include <cerrno>
#include <cstring>
#include <iostream>

namespace {

HeadlessMessageBoxProvider& DefaultProvider() {
  static HeadlessMessageBoxProvider provider;
  return provider;
}

MessageBoxProvider*& Installed() {
  static MessageBoxProvider* provider = nullptr;
  return provider;
}

}  // namespace

HeadlessMessageBoxProvider::HeadlessMessageBoxProvider(int answer)
    : HeadlessMessageBoxProvider(answer, std::cerr) {}

HeadlessMessageBoxProvider::HeadlessMessageBoxProvider(int answer, std::ostream& out)
    : answer_(answer), out_(out) {}

void HeadlessMessageBoxProvider::ShowError(const std::string& text, const std::string& caption) {
  out_ << caption << ": " << text << '\n' << std::flush;
}

int HeadlessMessageBoxProvider::AskYesNo(const std::string& text, const std::string& caption) {
  out_ << caption << ": " << text << " -> " << (answer_ == kIdYes ? "Yes" : "No") << '\n'
       << std::flush;
  return answer_;
}

MessageBoxProvider& CurrentMessageBoxProvider() {
  MessageBoxProvider* installed = Installed();
  return installed != nullptr ? *installed : DefaultProvider();
}

MessageBoxProvider* SetMessageBoxProvider(MessageBoxProvider* provider) {
  MessageBoxProvider* previous = Installed();
  Installed() = provider;
  return previous;
}

void ShowErrorBox(const std::string& text, const std::string& caption) {
  CurrentMessageBoxProvider().ShowError(text, caption);
}

int AskYesNo(const std::string& text, const std::string& caption) {
  return CurrentMessageBoxProvider().AskYesNo(text, caption) == kIdYes ? kIdYes : kIdNo;
}

void ShowLastErrorBox(const std::string& caption) {
  ShowErrorBox(std::strerror(errno), caption);
}
