#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "EventLog.h"
#include "MessageBox.h"

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Sets (or, with nullptr, removes) an environment variable for the lifetime
// of this object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  bool had_ = false;
  std::string old_;
};

// Files of this process may grow no larger than `bytes` while this object
// lives: a write beyond fails with EFBIG, as on a full disk, instead of
// raising a signal.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(std::uint64_t bytes);
  ~ScopedFileSizeLimit();
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

 private:
  std::uint64_t oldSoft_ = 0;
  void (*previous_)(int) = nullptr;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);

// Every box shown, in order; questions take the scripted answers in turn and
// No when none is left.
class RecordingMessageBoxProvider : public MessageBoxProvider {
 public:
  struct Box {
    enum Kind { kError, kQuestion } kind;
    std::string text;
    std::string caption;
  };
  void ShowError(const std::string& text, const std::string& caption) override;
  int AskYesNo(const std::string& text, const std::string& caption) override;
  void ScriptAnswers(std::vector<int> answers) { answers_ = std::move(answers); }
  const std::vector<Box>& Boxes() const { return boxes_; }

 private:
  std::vector<Box> boxes_;
  std::vector<int> answers_;
};

// Points the process-wide event log at a file in a fresh folder with trace
// lines enabled, and puts back an unopened log afterwards.
class ScopedTraceLog {
 public:
  ScopedTraceLog();
  ~ScopedTraceLog();
  const std::string& Path() const { return path_; }
  // The messages of the trace lines, without time stamp and indentation.
  std::vector<std::string> Messages() const;
  // Whole trace lines after the header (without their CR LF), empty lines kept.
  std::vector<std::string> Lines() const;

 private:
  TempDir dir_;
  std::string path_;
};

// A locale that writes numbers with a decimal comma ("de_DE.UTF-8"), made
// once for the whole run in a private folder that LOCPATH then names; empty
// when this machine cannot make one.
std::string CommaDecimalLocale();

// A log file's lines, split on CR LF.
std::vector<std::string> SplitCrLf(const std::string& text);

}  // namespace testing_support
