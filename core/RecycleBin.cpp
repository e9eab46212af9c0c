#include "RecycleBin.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "AppPaths.h"
#include "Clock.h"
#include "EventLog.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRootFolder = 116;
constexpr int kDestinationInsideSource = 118;
constexpr int kAccessDenied = 120;
constexpr int kPathTooLong = 121;
constexpr int kTooLargeForDestination = 133;
constexpr int kInvalidPath = 1026;
constexpr int kDestinationError = 65536;

int CodeForErrno(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
      return kAccessDenied;
    case ENAMETOOLONG:
      return kPathTooLong;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
      return kTooLargeForDestination;
    case EINVAL:
      return kDestinationInsideSource;
    default:
      return kInvalidPath;
  }
}

// A trash path is URL-escaped with '/' kept.
std::string EscapePath(const std::string& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string TrashInfoText(const std::string& originalPath) {
  LocalTime t = LocalTimeNow();
  char date[32];
  std::snprintf(date, sizeof date, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return "[Trash Info]\nPath=" + EscapePath(originalPath) + "\nDeletionDate=" + date + "\n";
}

bool WriteAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Reserves a free name in the trash by creating its ".trashinfo" record
// exclusively; returns the name, or an empty text with *code set.
std::string ReserveTrashName(const std::string& trash, const std::string& name,
                             const std::string& originalPath, int* code) {
  const std::string stem = RemoveExtension(name).empty() ? name : RemoveExtension(name);
  const std::string extension = name.substr(stem.size());
  for (int n = 1; n < 100000; ++n) {
    std::string candidate = n == 1 ? name : stem + "." + std::to_string(n) + extension;
    std::string info = trash + "/info/" + candidate + ".trashinfo";
    int fd = open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      *code = errno == ENAMETOOLONG ? kPathTooLong : kDestinationError;
      return {};
    }
    struct stat st {};
    const bool taken = lstat((trash + "/files/" + candidate).c_str(), &st) == 0;
    const bool written = !taken && WriteAll(fd, TrashInfoText(originalPath));
    close(fd);
    if (taken) {
      unlink(info.c_str());
      continue;
    }
    if (!written) {
      unlink(info.c_str());
      *code = kTooLargeForDestination;
      return {};
    }
    return candidate;
  }
  *code = kDestinationError;
  return {};
}

// Copies the item into the trash and removes the original once the copy is
// whole; a failed copy is taken back out of the trash.
int CopyThenRemove(const std::string& source, const std::string& target) {
  std::error_code ec;
  fs::copy(source, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove_all(target, ignored);
    return CodeForErrno(ec.value());
  }
  fs::remove_all(source, ec);
  return ec ? kAccessDenied : 0;
}

bool IsWithin(const fs::path& inner, const fs::path& outer) {
  auto o = outer.begin();
  auto i = inner.begin();
  for (; o != outer.end(); ++o, ++i) {
    if (o->empty()) continue;  // trailing separator
    if (i == inner.end() || *i != *o) return false;
  }
  return true;
}

}  // namespace

std::string TrashFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && *data == '/') return std::string(data) + "/Trash";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.local/share/Trash";
}

bool TrashIsReachable() {
  const std::string trash = TrashFolder();
  std::error_code ec;
  for (const char* part : {"/files", "/info"}) {
    fs::create_directories(trash + part, ec);
    if (!fs::is_directory(trash + part, ec) || access((trash + part).c_str(), W_OK | X_OK) != 0)
      return false;
  }
  return true;
}

namespace {

// A path made absolute and normal; "folder/" names the folder.
fs::path AbsoluteItem(const std::string& path, std::error_code& ec) {
  fs::path absolute = fs::absolute(path, ec).lexically_normal();
  if (!absolute.has_filename() && absolute.has_parent_path()) absolute = absolute.parent_path();
  return absolute;
}

}  // namespace

int MoveToTrash(const std::string& path, const std::string& restorePath, std::string* trashed) {
  if (path.empty()) return kInvalidPath;
  std::error_code ec;
  const fs::path absolute = AbsoluteItem(path, ec);
  if (ec) return kInvalidPath;
  const fs::path recorded = restorePath.empty() ? absolute : AbsoluteItem(restorePath, ec);
  if (ec) return kInvalidPath;
  if (absolute == absolute.root_path()) return kRootFolder;

  struct stat st {};
  if (lstat(absolute.c_str(), &st) != 0) return CodeForErrno(errno);

  const std::string trash = TrashFolder();
  if (IsWithin(fs::path(trash).lexically_normal(), absolute)) return kDestinationInsideSource;
  if (!TrashIsReachable()) return kDestinationError;
  chmod(trash.c_str(), 0700);

  int code = 0;
  const std::string name = ReserveTrashName(trash, recorded.filename().string(), recorded, &code);
  if (name.empty()) return code;
  const std::string target = trash + "/files/" + name;
  const std::string info = trash + "/info/" + name + ".trashinfo";

  if (trashed != nullptr) *trashed = target;
  if (std::rename(absolute.c_str(), target.c_str()) == 0) return 0;
  code = errno == EXDEV ? CopyThenRemove(absolute, target) : CodeForErrno(errno);
  const bool inTrash = lstat(target.c_str(), &st) == 0;
  if (!inTrash) unlink(info.c_str());  // nothing of it reached the trash
  return code;
}

std::string RecycleErrorMessage(int code) {
  switch (code) {
    case 113:
      return "The source and destination files are the same file.";
    case 114:
      return "Multiple file paths were specified in the source buffer, but only one destination "
             "file path.";
    case 115:
      return "Rename operation was specified but the destination path is a different directory. "
             "Use the move operation instead.";
    case 116:
      return "The source is a root directory, which cannot be moved or renamed.";
    case 117:
      return "The operation was canceled by the user, or silently canceled if the appropriate "
             "flags were supplied to SHFileOperation.";
    case 118:
      return "The destination is a subtree of the source.";
    case 120:
      return "Security settings denied access to the source.";
    case 121:
      return "The source or destination path exceeded or would exceed MAX_PATH.";
    case 122:
      return "The operation involved multiple destination paths, which can fail in the case of a "
             "move operation.";
    case 124:
      return "The path in the source or destination or both was invalid.";
    case 125:
      return "The source and destination have the same parent folder.";
    case 126:
      return "The destination path is an existing file.";
    case 128:
      return "The destination path is an existing folder.";
    case 129:
      return "The name of the file exceeds MAX_PATH.";
    case 130:
      return "The destination is a read-only CD-ROM, possibly unformatted.";
    case 131:
      return "The destination is a read-only DVD, possibly unformatted.";
    case 132:
      return "The destination is a writable CD-ROM, possibly unformatted.";
    case 133:
      return "The file involved in the operation is too large for the destination media or file "
             "system.";
    case 134:
      return "The source is a read-only CD-ROM, possibly unformatted.";
    case 135:
      return "The source is a read-only DVD, possibly unformatted.";
    case 136:
      return "The source is a writable CD-ROM, possibly unformatted.";
    case 183:
      return "MAX_PATH was exceeded during the operation.";
    case 1026:
      return "An unknown error occurred. This is typically due to an invalid path in the source "
             "or destination. This error does not occur on Windows Vista and later.";
    case 65536:
      return "An unspecified error occurred on the destination.";
    case 65652:
      return "Destination is a root directory and cannot be renamed.";
    default:
      return "UNKNOWN ERROR (" + std::to_string(code) + ")!!!";
  }
}

bool AnsiString_RecycleFile(const std::string& path, bool silent) {
  (void)silent;
  LogMessage("entering AnsiString_RecycleFile(" + path + ")...");
  const int code = MoveToTrash(path);
  if (code != 0) LogMessage("ERROR: " + RecycleErrorMessage(code));
  LogMessage(std::string("exiting  AnsiString_RecycleFile(") + (code == 0 ? "SUCCESS" : "FAILURE") +
             ")...");
  return code == 0;
}
