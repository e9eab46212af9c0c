#pragma once

#include <string>
#include <string_view>

#include "TextFile.h"

// A file written under a temporary name beside its target and moved over the
// target only once it is complete, so a write that fails half-way (a full
// disk) leaves any earlier file of that name whole. The temporary file is
// removed when the object goes without Commit().
class ReplacingFile {
 public:
  // Creates the temporary file; in text mode every "\n" is written as CR LF.
  ReplacingFile(std::string path, bool textMode);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Whether the temporary file could be created.
  explicit operator bool() const { return static_cast<bool>(file_); }

  // False once any write has failed.
  bool Write(std::string_view text);

  // Closes the file and moves it over the target. False when a write, the
  // close or the move failed; the target is then as it was.
  bool Commit();

  // Whether the failure (if any) came from writing rather than from
  // creating or placing the file.
  bool WriteFailed() const { return writeFailed_; }
  // The system's words for the first failure ("No space left on device").
  const std::string& Reason() const { return reason_; }

 private:
  void Fail(bool writing);

  std::string path_;
  std::string temp_;
  TextFile file_;
  bool committed_ = false;
  bool writeFailed_ = false;
  std::string reason_;
};
