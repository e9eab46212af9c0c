#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

#include "Clock.h"
#include "LogRetention.h"

// The diagnostic event log: a plain text file (CR LF line ends) with a header
// written at every start and, when "log_all_events" in section "main" of the
// settings file is non-zero, one time-stamped trace line per message,
// indented by the nesting depth of "entering"/"exiting" lines. The previous
// run's file is kept under a name carrying its modification time, and a file
// grown past the size limit is continued in a fresh one.
//
// ERROR lines (messages containing "ERROR") are written even when trace
// lines are off; they then change no nesting depth.
//
// Writing never fails towards the caller. When the file cannot be opened the
// line is lost and a single warning goes to stderr for the whole run. When an
// existing log cannot be renamed out of the way, the new header is appended
// to it rather than truncating it, and a rename never replaces another file:
// a name already taken gets " (2)", " (3)", ... before ".log". Only the
// newest previous files are kept: "log_files_kept" in section "main" (20
// when absent; a negative value keeps them all).
//
// Lines from several threads never mix: each is written whole, and each
// thread keeps its own nesting depth. A thread working as one of several
// parallel jobs marks its lines with "[job N] " after the indentation.
//
// Several processes may share one log file. Each holds a shared advisory
// lock (flock) on the file while it runs; starting up and rotating are done
// under an exclusive lock on the file's folder. A process that finds the
// file in use by another appends its header and lines to it, each line in
// one write, and never renames, truncates or rotates it.
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
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;
  ~EventLog();

  // Starts the log at logPath: reads "log_all_events" from the settings
  // file, renames a previous file, and writes a fresh header.
  void Open(const std::string& logPath, const std::string& settingsPath);

  // Appends one trace line when enabled (an ERROR line, or any line when
  // `always`, whatever the setting); rotates first when the file has grown
  // past the size limit. Leaves errno as it was, so a failure can be logged
  // before its reason is read.
  void Log(const std::string& message, bool always = false);

  // Closes the full file with two lines, renames it, opens a new file and
  // names the old one in it; does nothing while another process uses the
  // file.
  void Rotate();

  bool Enabled() const { return enabled_ != 0; }
  // The calling thread's nesting depth.
  int Depth() const;
  const std::string& Path() const { return path_; }

  // The size above which the file is rotated (tests use a small one).
  void SetSizeLimit(std::uint64_t bytes) { sizeLimit_ = bytes; }

 private:
  void StartFile();
  void AppendLine(const std::string& message, bool trackDepth);
  void RotateLocked();
  void ReleaseFile();
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
  int filesKept_ = kDefaultLogFilesKept;
  bool rotationBlocked_ = false;         // the full file could not be renamed: keep appending
  std::uint64_t rotationRetrySize_ = 0;  // another process used the file: try again past this
  int lockFd_ = -1;                      // held with a shared lock: this process uses the file
  bool failureReported_ = false;
};

// Marks the calling thread's lines with "[job N] " while it lives (N >= 1);
// the thread's lines are unmarked again afterwards.
class ScopedLogJob {
 public:
  explicit ScopedLogJob(int job);
  ~ScopedLogJob();
  ScopedLogJob(const ScopedLogJob&) = delete;
  ScopedLogJob& operator=(const ScopedLogJob&) = delete;

 private:
  int previous_;
};

// The one process-wide log that the whole system writes to.
EventLog& ProcessEventLog();

// Starts the process-wide log (the settings file defaults to the program's own).
void OpenEventLog(const std::string& logPath);
void OpenEventLog(const std::string& logPath, const std::string& settingsPath);

// Appends one line to the process-wide log. Costs one test and one search
// for "ERROR" when disabled.
void LogMessage(const std::string& message);

// Appends a line to the process-wide log whatever "log_all_events" says:
// what a result depends on and the user may need to know afterwards (how an
// image's samples were scaled, which page of a file was read, the turn it
// was scored at).
void LogNote(const std::string& message);

// Rotates the process-wide log.
void RotateEventLog();

// Whether trace lines are written; lets hot paths skip building messages.
inline bool EventLogEnabled() {
  return ProcessEventLog().Enabled();
}
