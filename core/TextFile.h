#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// An open C stream that owns its file. Opened in text mode (no "b" in the
// mode) it writes every "\n" as CR LF, the line end of the system's text
// files (event log, spreadsheet exports); in binary mode bytes pass as given.
class TextFile {
 public:
  TextFile() = default;
  TextFile(std::FILE* file, bool textMode) : file_(file), textMode_(textMode) {}
  TextFile(TextFile&& other) noexcept;
  TextFile& operator=(TextFile&& other) noexcept;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  ~TextFile();

  explicit operator bool() const { return file_ != nullptr; }

  // Writes the text; false once any write has failed.
  bool Write(std::string_view text);

  // Closes the stream; true when every write and the close itself succeeded
  // (so a full disk is noticed here at the latest).
  bool Close();

 private:
  std::FILE* file_ = nullptr;
  bool textMode_ = false;
  bool failed_ = false;
};

// Opens a stream on the path with a C mode text ("a", "w", "r", "wb", ...);
// an empty object when the file cannot be opened.
TextFile OpenTextFile(const std::string& path, const std::string& mode);
