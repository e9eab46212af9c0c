#include "EventLog.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <utility>

#include "AppPaths.h"
#include "FileRename.h"
#include "FileVersion.h"
#include "IniFile.h"
#include "LogRetention.h"
#include "SystemInfo.h"

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

// Serialises starting up and rotating among all processes whose logs share
// a folder: an exclusive advisory lock on the folder itself. A folder that
// cannot be opened is not locked (best effort).
class FolderLock {
 public:
  explicit FolderLock(const std::string& filePath) {
    const std::string folder = FolderOf(filePath);
    fd_ = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ >= 0)
      while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~FolderLock() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_ = -1;
};

// Appends the text with a single write on a file opened for appending, so
// that the lines of concurrent writers never mix. False when it fails.
bool AppendWhole(const std::string& path, const std::string& text) {
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = true;
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t put = write(fd, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      ok = false;
      break;
    }
    done += static_cast<std::size_t>(put);
  }
  if (close(fd) != 0) ok = false;
  return ok;
}

// Tries to take the lock alone; when another holds it, takes it shared again
// (a failed conversion gives up the shared lock that was held).
bool TryExclusive(int fd) {
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  flock(fd, LOCK_SH);
  return false;
}

thread_local int tJob = 0;

}  // namespace

ScopedLogJob::ScopedLogJob(int job) : previous_(tJob) {
  tJob = job;
}

ScopedLogJob::~ScopedLogJob() {
  tJob = previous_;
}

EventLog& EventLog::operator=(EventLog&& other) noexcept {
  std::scoped_lock lock(mutex_, other.mutex_);
  ReleaseFile();
  clock_ = std::move(other.clock_);
  path_ = std::move(other.path_);
  settingsPath_ = std::move(other.settingsPath_);
  enabled_ = other.enabled_.load();
  depths_ = std::move(other.depths_);
  lastLineTime_ = other.lastLineTime_;
  sizeLimit_ = other.sizeLimit_;
  filesKept_ = other.filesKept_;
  rotationBlocked_ = other.rotationBlocked_;
  rotationRetrySize_ = other.rotationRetrySize_;
  failureReported_ = other.failureReported_;
  lockFd_ = std::exchange(other.lockFd_, -1);
  return *this;
}

EventLog::~EventLog() {
  ReleaseFile();
}

void EventLog::ReleaseFile() {
  if (lockFd_ >= 0) close(lockFd_);
  lockFd_ = -1;
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
  ReleaseFile();
  path_ = logPath;
  settingsPath_ = settingsPath;
  rotationBlocked_ = false;
  rotationRetrySize_ = 0;
  enabled_ = ReadProfileInt("main", "log_all_events", 0, settingsPath);
  filesKept_ = ReadProfileInt("main", "log_files_kept", kDefaultLogFilesKept, settingsPath);
  FolderLock folder(logPath);
  StartFile();
}

// With the folder locked: keeps a previous run's file under its time-stamped
// name unless another process is using it, then writes the header (appended
// whole to a file in use) and holds the file's shared lock.
void EventLog::StartFile() {
  const bool existed = FileExists(path_);
  lockFd_ = open(path_.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
  if (lockFd_ >= 0) {
    // A file nobody else uses is a previous run's: it goes aside (when it
    // cannot, the new header is appended to it).
    if (TryExclusive(lockFd_) && existed && RenameWithoutReplacing(path_, TimeStampedName(path_))) {
      PrunePreviousLogs(path_, filesKept_);
      ReleaseFile();
      lockFd_ = open(path_.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
    }
    if (lockFd_ >= 0) flock(lockFd_, LOCK_SH);
  }

  const std::string exe = ExecutablePath();
  auto built = GetFileModificationTime(exe);
  LocalTime buildTime = built ? LocalTimeFromEpoch(*built) : LocalTime{};
  LocalTime now = clock_.now();
  const std::string header = GetApplicationTitle() + "\r\n" + "\r\n" +
                             "File Name    = " + FileNameOf(exe) + "\r\n" +
                             "Version      = " + GetFileVersionString(exe) + "\r\n" +
                             "Build Date   = " + DateText(buildTime) + ", " + TimeText(buildTime) +
                             "\r\n" + "Current Time = " + DateText(now) + ", " + TimeText(now) +
                             "\r\n" + "Computer     = " + GetComputerNameString() + "\r\n" +
                             "User Name    = " + GetUserNameString() + "\r\n" + "\r\n";
  if (!AppendWhole(path_, header)) ReportWriteFailure();
}

void EventLog::Log(const std::string& message, bool always) {
  if (enabled_ == 0 && !always && message.find("ERROR") == std::string::npos) return;
  std::lock_guard lock(mutex_);
  if (path_.empty()) return;     // not opened yet
  const int savedErrno = errno;  // a failure being reported keeps its error number
  if (!rotationBlocked_) {
    const std::uint64_t size = GetFileSize64(path_);
    if (size > sizeLimit_ && size > rotationRetrySize_) Rotate();
  }
  AppendLine(message, enabled_ != 0);
  errno = savedErrno;
}

void EventLog::Rotate() {
  std::lock_guard lock(mutex_);
  FolderLock folder(path_);
  if (lockFd_ >= 0 && !TryExclusive(lockFd_)) {
    // Another process writes to this file too: keep appending, and look
    // again once it has grown by a tenth of the limit.
    rotationRetrySize_ = GetFileSize64(path_) + sizeLimit_ / 10;
    return;
  }
  RotateLocked();
}

void EventLog::RotateLocked() {
  const bool trackDepth = enabled_ != 0;
  AppendLine("", trackDepth);
  AppendLine("continuing log in another file...", trackDepth);
  std::string fullName = TimeStampedName(path_);
  if (!RenameWithoutReplacing(path_, fullName, &fullName)) {
    if (lockFd_ >= 0) flock(lockFd_, LOCK_SH);
    rotationBlocked_ = true;  // go on in the same file rather than lose lines
    return;
  }
  PrunePreviousLogs(path_, filesKept_);
  ReleaseFile();
  rotationRetrySize_ = 0;
  enabled_ = ReadProfileInt("main", "log_all_events", 0, settingsPath_);
  StartFile();
  AppendLine("see \"" + FileNameOf(fullName) + "\" for previous details...", enabled_ != 0);
}

void EventLog::AppendLine(const std::string& message, bool trackDepth) {
  int& depth = ThreadDepth();
  if (trackDepth && StartsWith(message, "exiting ") && --depth < 0) depth = 0;
  std::string indentation(static_cast<std::size_t>(depth),
                          message.find("ERROR") != std::string::npos ? '*' : ' ');
  if (tJob > 0) indentation += "[job " + std::to_string(tJob) + "] ";
  if (trackDepth && StartsWith(message, "entering ")) ++depth;

  const LocalTime t = clock_.now();
  const std::uint64_t tick = clock_.tick();
  const std::uint64_t elapsed = tick - lastLineTime_;

  std::string text = elapsed > kSeparatorPauseMs ? "\r\n" : "";
  text += Format("[%04d/%02d/%02d %02d:%02d:%02d.%03d] - ", t.year, t.month, t.day, t.hour,
                 t.minute, t.second, t.millisecond) +
          indentation + message + "\r\n";
  if (!AppendWhole(path_, text)) ReportWriteFailure();
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

void LogNote(const std::string& message) {
  ProcessEventLog().Log(message, true);
}

void RotateEventLog() {
  ProcessEventLog().Rotate();
}
