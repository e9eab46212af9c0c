#include "TextFile.h"

#include <utility>

TextFile::TextFile(TextFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      textMode_(other.textMode_),
      failed_(other.failed_) {}

TextFile& TextFile::operator=(TextFile&& other) noexcept {
  if (this != &other) {
    Close();
    file_ = std::exchange(other.file_, nullptr);
    textMode_ = other.textMode_;
    failed_ = other.failed_;
  }
  return *this;
}

TextFile::~TextFile() {
  Close();
}

bool TextFile::Write(std::string_view text) {
  if (file_ == nullptr) return false;
  auto put = [this](std::string_view part) {
    if (!part.empty() && std::fwrite(part.data(), 1, part.size(), file_) != part.size())
      failed_ = true;
  };
  if (!textMode_) {
    put(text);
    return !failed_;
  }
  std::size_t start = 0;
  for (std::size_t nl = text.find('\n'); nl != std::string_view::npos;
       nl = text.find('\n', start)) {
    put(text.substr(start, nl - start));
    put("\r\n");
    start = nl + 1;
  }
  put(text.substr(start));
  return !failed_;
}

bool TextFile::Close() {
  if (file_ == nullptr) return !failed_;
  if (std::fflush(file_) != 0) failed_ = true;
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

TextFile OpenTextFile(const std::string& path, const std::string& mode) {
  std::string cmode;
  for (char c : mode)
    if (c != 't') cmode += c;  // text mode is the translation above, not a C flag here
  std::FILE* file = std::fopen(path.c_str(), cmode.c_str());
  if (file == nullptr) return {};
  return TextFile(file, mode.find('b') == std::string::npos);
}
