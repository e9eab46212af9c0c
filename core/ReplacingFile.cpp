#include "ReplacingFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "UniqueFiles.h"

ReplacingFile::ReplacingFile(std::string path, bool textMode) : path_(std::move(path)) {
  const int fd = CreateUniqueFile(path_ + ".", temp_);
  if (fd < 0) {
    Fail(false);
    temp_.clear();
    return;
  }
  std::FILE* stream = fdopen(fd, "wb");
  if (stream == nullptr) {
    Fail(false);
    close(fd);
    unlink(temp_.c_str());
    temp_.clear();
    return;
  }
  file_ = TextFile(stream, textMode);
}

ReplacingFile::~ReplacingFile() {
  file_.Close();
  if (!committed_ && !temp_.empty()) unlink(temp_.c_str());
}

void ReplacingFile::Fail(bool writing) {
  if (!reason_.empty()) return;
  writeFailed_ = writing;
  reason_ = std::strerror(errno != 0 ? errno : EIO);
}

bool ReplacingFile::Write(std::string_view text) {
  errno = 0;
  if (!file_.Write(text)) {
    Fail(true);
    return false;
  }
  return true;
}

bool ReplacingFile::Commit() {
  if (!file_) return false;
  errno = 0;
  if (!file_.Close()) Fail(true);
  if (!reason_.empty()) return false;
  if (std::rename(temp_.c_str(), path_.c_str()) != 0) {
    Fail(false);
    return false;
  }
  committed_ = true;
  return true;
}
