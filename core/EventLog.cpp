#include "EventLog.h"

#include <cstdio>
#include <iostream>

#include "AppPaths.h"
#include "FileRename.h"
#include "FileVersion.h"
#include "IniFile.h"
#include "SystemInfo.h"
#include "TextFile.h"

namespace {

std::string Format(const char* format, auto... values) {
  char buffer[128];
  int n = std::snprintf(buffer, sizeof buffer, format, values...);
  return std::string(buffer, n < 0 ? 0 : std::min<std::size_t>(n, sizeof buffer - 1));
}

std::string DateText(const LocalTime& t) {
  return Format("%04d-%02d-%02d", t.year, t.month, t.day);
}

std::string TimeText(const LocalTime& t) {
  return Format("%02d:%02d:%02d", t.hour, t.minute, t.second);
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// The name a log file gets when it is moved aside: the path without its
// extension, a blank, the file's modification time in 14 digits, ".log".
std::string TimeStampedName(const std::string& logPath) {
  auto mtime = GetFileModificationTime(logPath);
  LocalTime t = mtime ? LocalTimeFromEpoch(*mtime) : LocalTimeNow();
  return RemoveExtension(logPath) + " " +
         Format("%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second) +
         ".log";
}

}  // namespace

EventLog& EventLog::operator=(EventLog&& other) noexcept {
  std::scoped_lock lock(mutex_, other.mutex_);
  clock_ = std::move(other.clock_);
  path_ = std::move(other.path_);
  settingsPath_ = std::move(other.settingsPath_);
  enabled_ = other.enabled_.load();
  depths_ = std::move(other.depths_);
  lastLineTime_ = other.lastLineTime_;
  sizeLimit_ = other.sizeLimit_;
  rotationBlocked_ = other.rotationBlocked_;
  failureReported_ = other.failureReported_;
  return *this;
}

int& EventLog::ThreadDepth() {
  return depths_[std::this_thread::get_id()];
}

int EventLog::Depth() const {
  std::lock_guard lock(mutex_);
  auto it = depths_.find(std::this_thread::get_id());
  return it == depths_.end() ? 0 : it->second;
}

void EventLog::Open(const std::string& logPath, const std::string& settingsPath) {
  std::lock_guard lock(mutex_);
  path_ = logPath;
  settingsPath_ = settingsPath;
  rotationBlocked_ = false;
  enabled_ = ReadProfileInt("main", "log_all_events", 0, settingsPath);

  bool keepOld = false;
  if (FileExists(logPath)) keepOld = !RenameWithoutReplacing(logPath, TimeStampedName(logPath));

  const std::string exe = ExecutablePath();
  auto built = GetFileModificationTime(exe);
  LocalTime buildTime = built ? LocalTimeFromEpoch(*built) : LocalTime{};
  LocalTime now = clock_.now();

  TextFile file = OpenTextFile(logPath, keepOld ? "a" : "w");
  if (!file) {
    ReportWriteFailure();
    return;
  }
  file.Write(GetApplicationTitle() + "\n");
  file.Write("\n");
  file.Write("File Name    = " + FileNameOf(exe) + "\n");
  file.Write("Version      = " + GetFileVersionString(exe) + "\n");
  file.Write("Build Date   = " + DateText(buildTime) + ", " + TimeText(buildTime) + "\n");
  file.Write("Current Time = " + DateText(now) + ", " + TimeText(now) + "\n");
  file.Write("Computer     = " + GetComputerNameString() + "\n");
  file.Write("User Name    = " + GetUserNameString() + "\n");
  file.Write("\n");
  if (!file.Close()) ReportWriteFailure();
}

void EventLog::Log(const std::string& message) {
  if (enabled_ == 0) return;
  std::lock_guard lock(mutex_);
  if (!rotationBlocked_ && GetFileSize64(path_) > sizeLimit_) Rotate();
  AppendLine(message);
}

void EventLog::Rotate() {
  std::lock_guard lock(mutex_);
  AppendLine("");
  AppendLine("continuing log in another file...");
  std::string fullName = TimeStampedName(path_);
  if (!RenameWithoutReplacing(path_, fullName, &fullName)) {
    rotationBlocked_ = true;  // go on in the same file rather than lose lines
    return;
  }
  Open(path_, settingsPath_);
  Log("see \"" + FileNameOf(fullName) + "\" for previous details...");
}

void EventLog::AppendLine(const std::string& message) {
  int& depth = ThreadDepth();
  if (StartsWith(message, "exiting ") && --depth < 0) depth = 0;
  const std::string indentation(static_cast<std::size_t>(depth),
                                message.find("ERROR") != std::string::npos ? '*' : ' ');
  if (StartsWith(message, "entering ")) ++depth;

  const LocalTime t = clock_.now();
  const std::uint64_t tick = clock_.tick();
  const std::uint64_t elapsed = tick - lastLineTime_;

  TextFile file = OpenTextFile(path_, "a");
  if (file) {
    if (elapsed > kSeparatorPauseMs) file.Write("\n");
    file.Write(Format("[%04d/%02d/%02d %02d:%02d:%02d.%03d] - ", t.year, t.month, t.day, t.hour,
                      t.minute, t.second, t.millisecond) +
               indentation + message + "\n");
    if (!file.Close()) ReportWriteFailure();
  } else {
    ReportWriteFailure();
  }
  lastLineTime_ = tick;
}

void EventLog::ReportWriteFailure() {
  if (failureReported_) return;
  failureReported_ = true;
  std::cerr << "strandex: cannot write the event log \"" << path_ << "\"; its lines are lost\n";
}

EventLog& ProcessEventLog() {
  static EventLog log;
  return log;
}

void OpenEventLog(const std::string& logPath) {
  OpenEventLog(logPath, SettingsFilePath());
}

void OpenEventLog(const std::string& logPath, const std::string& settingsPath) {
  ProcessEventLog().Open(logPath, settingsPath);
}

void LogMessage(const std::string& message) {
  ProcessEventLog().Log(message);
}

void RotateEventLog() {
  ProcessEventLog().Rotate();
}
