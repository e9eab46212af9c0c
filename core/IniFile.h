#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A settings file in INI form: "[section]" lines and "key=value" lines,
// sections and keys matched without regard to case, the first of duplicates
// winning, lines starting with ';' ignored. Every write goes to the file at
// once, keeps every other line as it stood, and replaces the file as a whole
// (a crash mid-write leaves the old file). Files larger than
// IniFile::kMaxFileSize are not read (every key reads as its default) and
// never rewritten.
class IniFile {
 public:
  static constexpr std::uint64_t kMaxFileSize = 16u << 20;

  explicit IniFile(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }

  // The value as written (surrounding blanks and one pair of matching quotes
  // removed), or nothing when the file, section or key is missing.
  std::optional<std::string> Find(const std::string& section, const std::string& key) const;

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;

  // The value when it is a whole decimal integer in range, else the default.
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;

  // False when the file could not be written; the old file is then unchanged.
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);
  bool WriteInteger(const std::string& section, const std::string& key, int value);

 private:
  std::string path_;
};

// The private-profile integer read: the leading decimal number of the key's
// value (0 when the value does not start with one), or the default when the
// file, section or key is missing.
int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue,
                   const std::string& path);
