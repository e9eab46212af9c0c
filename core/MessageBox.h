#pragma once

#include <iosfwd>
#include <string>

// The answers of a yes/no question, as the platform numbers them.
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Shows the system's message boxes. The window installs one that shows modal,
// top-most dialogs; the command line uses the headless one; tests script the
// answers and read back what was shown.
class MessageBoxProvider {
 public:
  virtual ~MessageBoxProvider() = default;
  // An error message with the error icon and an OK button.
  virtual void ShowError(const std::string& text, const std::string& caption) = 0;
  // A question with the question icon and Yes and No; returns kIdYes or kIdNo.
  virtual int AskYesNo(const std::string& text, const std::string& caption) = 0;
};

// Writes every box to a stream (stderr by default) and answers every
// question with the answer it was given (No unless told otherwise).
class HeadlessMessageBoxProvider : public MessageBoxProvider {
 public:
  explicit HeadlessMessageBoxProvider(int answer = kIdNo);
  HeadlessMessageBoxProvider(int answer, std::ostream& out);
  void SetAnswer(int answer) { answer_ = answer; }
  void ShowError(const std::string& text, const std::string& caption) override;
  int AskYesNo(const std::string& text, const std::string& caption) override;

 private:
  int answer_;
  std::ostream& out_;
};

// The provider in use; a headless one answering No until another is set.
MessageBoxProvider& CurrentMessageBoxProvider();

// Installs a provider (not owned; nullptr restores the default headless one)
// and returns the one it replaces.
MessageBoxProvider* SetMessageBoxProvider(MessageBoxProvider* provider);

// Installs a provider for the lifetime of this object.
class ScopedMessageBoxProvider {
 public:
  explicit ScopedMessageBoxProvider(MessageBoxProvider& provider)
      : previous_(SetMessageBoxProvider(&provider)) {}
  ~ScopedMessageBoxProvider() { SetMessageBoxProvider(previous_); }
  ScopedMessageBoxProvider(const ScopedMessageBoxProvider&) = delete;
  ScopedMessageBoxProvider& operator=(const ScopedMessageBoxProvider&) = delete;

 private:
  MessageBoxProvider* previous_;
};

void ShowErrorBox(const std::string& text, const std::string& caption);
int AskYesNo(const std::string& text, const std::string& caption);

// An error box with the system's text for the last error (errno).
void ShowLastErrorBox(const std::string& caption);
