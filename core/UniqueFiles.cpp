#include "UniqueFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

namespace {

constexpr int kAttempts = 100;

std::string RandomSuffix() {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937 engine{std::random_device{}()};
  std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
  std::string suffix(6, ' ');
  for (char& c : suffix) c = kLetters[pick(engine)];
  return suffix;
}

}  // namespace

int CreateUniqueFile(const std::string& stem, std::string& path) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    path = stem + RandomSuffix();
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool CreateUniqueFolder(const std::string& stem, std::string& path) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    path = stem + RandomSuffix();
    if (mkdir(path.c_str(), 0777) == 0) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}
