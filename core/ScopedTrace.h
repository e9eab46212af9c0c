#pragma once

#include <string>

// The trace lines of one operation: "entering NAME(ARGUMENTS)..." when made,
// "exiting  NAME(RESULT)..." when it goes, on every way out. The result is
// empty unless set ("SUCCESS", "ABORTED", a value, ...).
class ScopedTrace {
 public:
  explicit ScopedTrace(std::string name, const std::string& arguments = "");
  ~ScopedTrace();
  ScopedTrace(const ScopedTrace&) = delete;
  ScopedTrace& operator=(const ScopedTrace&) = delete;

  void SetResult(std::string result) { result_ = std::move(result); }

 private:
  std::string name_;
  std::string result_;
};
