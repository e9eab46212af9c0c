#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

#include "Clock.h"

// The diagnostic event log: a plain text file (CR LF line ends) with a header
// written at every start and, when "log_all_events" in section "main" of the
// settings file is non-zero, one time-stamped trace line per message,
// indented by the nesting depth of "entering"/"exiting" lines. The previous
// run's file is kept under a name carrying its modification time, and a file
// grown past the size limit is continued in a fresh one.
//
// Writing never fails towards the caller. When the file cannot be opened the
// line is lost and a single warning goes to stderr for the whole run. When an
// existing log cannot be renamed out of the way, the new header is appended
// to it rather than truncating it, and a rename never replaces another file:
// a name already taken gets " (2)", " (3)", ... before ".log".
//
// Lines from several threads never mix: each is written whole, and each
// thread keeps its own nesting depth.
class EventLog {
 public:
  static constexpr std::uint64_t kDefaultSizeLimit = 10485760;  // 10 MiB
  static constexpr std::uint64_t kSeparatorPauseMs = 1000;

  struct Clock {
    std::function<LocalTime()> now = LocalTimeNow;
    std::function<std::uint64_t()> tick = TickCountMillis;
  };

  EventLog() = default;
  explicit EventLog(Clock clock) : clock_(std::move(clock)) {}
  EventLog& operator=(EventLog&& other) noexcept;

  // Starts the log at logPath: reads "log_all_events" from the settings
  // file, renames a previous file, and writes a fresh header.
  void Open(const std::string& logPath, const std::string& settingsPath);

  // Appends one trace line when enabled; rotates first when the file has
  // grown past the size limit.
  void Log(const std::string& message);

  // Closes the full file with two lines, renames it, opens a new file and
  // names the old one in it.
  void Rotate();

  bool Enabled() const { return enabled_ != 0; }
  // The calling thread's nesting depth.
  int Depth() const;
  const std::string& Path() const { return path_; }

  // The size above which the file is rotated (tests use a small one).
  void SetSizeLimit(std::uint64_t bytes) { sizeLimit_ = bytes; }

 private:
  void AppendLine(const std::string& message);
  void ReportWriteFailure();

  int& ThreadDepth();

  mutable std::recursive_mutex mutex_;
  Clock clock_;
  std::string path_;
  std::string settingsPath_;
  std::atomic<int> enabled_{0};
  std::unordered_map<std::thread::id, int> depths_;
  std::uint64_t lastLineTime_ = 0;
  std::uint64_t sizeLimit_ = kDefaultSizeLimit;
  bool rotationBlocked_ = false;  // the full file could not be renamed: keep appending
  bool failureReported_ = false;
};

// The one process-wide log that the whole system writes to.
EventLog& ProcessEventLog();

// Starts the process-wide log (the settings file defaults to the program's own).
void OpenEventLog(const std::string& logPath);
void OpenEventLog(const std::string& logPath, const std::string& settingsPath);

// Appends one line to the process-wide log. Costs one test when disabled.
void LogMessage(const std::string& message);

// Rotates the process-wide log.
void RotateEventLog();

// Whether trace lines are written; lets hot paths skip building messages.
inline bool EventLogEnabled() {
  return ProcessEventLog().Enabled();
}
