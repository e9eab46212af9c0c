#include "SystemInfo.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "EventLog.h"

namespace {
constexpr std::size_t kNameBufferSize = 256;  // names are read into 256 characters

std::string Clip(std::string name) {
  if (name.size() >= kNameBufferSize) name.resize(kNameBufferSize - 1);
  return name;
}
}  // namespace

std::string GetUserNameString() {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd pw{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_name != nullptr)
    return Clip(found->pw_name);
  const char* user = std::getenv("USER");
  return user != nullptr ? Clip(user) : std::string();
}

std::string GetComputerNameString() {
  char name[kNameBufferSize] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::uint64_t GetFileSize64(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

std::string GetLastErrorAsString() {
  const int code = errno;  // read before the log line can touch it
  LogMessage("entering GetLastErrorAsString()...");
  std::string text = std::strerror(code);
  LogMessage("exiting  GetLastErrorAsString(" + text + ")...");
  errno = code;
  return text;
}

std::string ErrnoText(int error) {
  std::string text = std::strerror(error);
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}

std::optional<std::time_t> GetFileModificationTime(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return st.st_mtime;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}
