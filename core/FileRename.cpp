#include "FileRename.h"

#include <fcntl.h>
#include <stdio.h>

#include <cerrno>

#include "AppPaths.h"
#include "SystemInfo.h"

namespace {

// One attempt; EEXIST when the target is taken.
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // The file system cannot rename without replacing: check first instead.
  if (FileExists(to)) return EEXIST;
  return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

std::string NumberedName(const std::string& path, int n) {
  const std::string stem = RemoveExtension(path);
  return stem + " (" + std::to_string(n) + ")" + path.substr(stem.size());
}

}  // namespace

bool RenameWithoutReplacing(const std::string& from, const std::string& to, std::string* used) {
  constexpr int kMaxAttempts = 1000;
  for (int n = 1; n <= kMaxAttempts; ++n) {
    const std::string candidate = n == 1 ? to : NumberedName(to, n);
    const int error = RenameNoReplace(from, candidate);
    if (error == 0) {
      if (used != nullptr) *used = candidate;
      return true;
    }
    if (error != EEXIST) return false;
  }
  return false;
}
