#include "IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fstream>
#include <vector>

#include "EventLog.h"
#include "SystemInfo.h"
#include "UniqueFiles.h"

namespace {

struct IniText {
  std::vector<std::string> lines;  // without their line ends
  std::string eol = "\r\n";        // the file's own line end; CR LF for a new file
  bool endsWithEol = true;
};

std::string Trim(const std::string& s) {
  auto isBlank = [](unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
  };
  std::size_t b = 0, e = s.size();
  while (b < e && isBlank(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && isBlank(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

// The section a line opens, if it is a section line.
std::optional<std::string> SectionName(const std::string& line) {
  std::string t = Trim(line);
  if (t.empty() || t[0] != '[') return std::nullopt;
  auto close = t.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

// The key and value of a "key=value" line.
std::optional<std::pair<std::string, std::string>> KeyValue(const std::string& line) {
  std::string t = Trim(line);
  if (t.empty() || t[0] == ';' || t[0] == '[') return std::nullopt;
  auto eq = t.find('=');
  if (eq == std::string::npos) return std::nullopt;
  return std::make_pair(Trim(t.substr(0, eq)), Trim(t.substr(eq + 1)));
}

enum class LoadResult { kMissing, kLoaded, kTooLarge };

LoadResult Load(const std::string& path, IniText& text) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return LoadResult::kMissing;
  if (static_cast<std::uint64_t>(st.st_size) > IniFile::kMaxFileSize) {
    LogMessage("ERROR: settings file \"" + path + "\" is larger than 16 MiB and is ignored!!!");
    return LoadResult::kTooLarge;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return LoadResult::kMissing;
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (data.size() > IniFile::kMaxFileSize) return LoadResult::kTooLarge;  // grew meanwhile

  auto firstNl = data.find('\n');
  text.eol = (firstNl != std::string::npos && firstNl > 0 && data[firstNl - 1] == '\r') ? "\r\n"
             : firstNl != std::string::npos                                             ? "\n"
                                                                                        : "\r\n";
  text.endsWithEol = data.empty() || data.back() == '\n';
  std::size_t start = 0;
  while (start < data.size()) {
    auto nl = data.find('\n', start);
    std::string line = data.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    text.lines.push_back(std::move(line));
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return LoadResult::kLoaded;
}

// Writes the whole text to a new file beside the old one and moves it in place.
bool Save(const std::string& path, const IniText& text) {
  std::string data;
  for (std::size_t i = 0; i < text.lines.size(); ++i) {
    data += text.lines[i];
    if (i + 1 < text.lines.size() || text.endsWithEol) data += text.eol;
  }

  struct stat st {};
  const bool existed = stat(path.c_str(), &st) == 0;
  std::string temp;
  int fd = CreateUniqueFile(path + ".", temp);
  if (fd < 0) return false;
  // A settings file keeps its mode; a new one gets the user's usual mode.
  if (existed) fchmod(fd, st.st_mode & 07777);
  bool ok = true;
  for (std::size_t done = 0; ok && done < data.size();) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      ok = false;
    else
      done += static_cast<std::size_t>(n);
  }
  if (ok && fsync(fd) != 0) ok = false;
  if (close(fd) != 0) ok = false;
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) unlink(temp.c_str());
  return ok;
}

std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

// Parses a decimal integer with optional blanks and sign; with `whole` the
// number must fill the text. Saturates at the limits of int when not whole.
std::optional<int> ParseInt(const std::string& text, bool whole) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t digitsStart = i;
  long long value = 0;
  bool overflow = false;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) {
      overflow = true;
      value = static_cast<long long>(INT_MAX) + 1;
    }
  }
  if (i == digitsStart) return std::nullopt;
  if (negative) value = -value;
  if (whole) {
    if (i != text.size() || overflow || value > INT_MAX || value < INT_MIN) return std::nullopt;
  }
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace

std::optional<std::string> IniFile::Find(const std::string& section, const std::string& key) const {
  IniText text;
  if (Load(path_, text) != LoadResult::kLoaded) return std::nullopt;
  bool inSection = false;
  for (const auto& line : text.lines) {
    if (auto name = SectionName(line)) {
      if (inSection) return std::nullopt;  // the first matching section holds the key or nothing
      inSection = SameName(*name, section);
      continue;
    }
    if (!inSection) continue;
    if (auto kv = KeyValue(line); kv && SameName(kv->first, key)) return Unquote(kv->second);
  }
  return std::nullopt;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
  return Find(section, key).value_or(defaultValue);
}

int IniFile::ReadInteger(const std::string& section, const std::string& key,
                         int defaultValue) const {
  auto value = Find(section, key);
  if (!value) return defaultValue;
  return ParseInt(*value, true).value_or(defaultValue);
}

bool IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  IniText text;
  if (Load(path_, text) == LoadResult::kTooLarge) return false;

  const std::string entry = key + "=" + value;
  std::optional<std::size_t> sectionLine, lastEntry;
  for (std::size_t i = 0; i < text.lines.size(); ++i) {
    if (auto name = SectionName(text.lines[i])) {
      if (sectionLine) break;
      if (SameName(*name, section)) sectionLine = lastEntry = i;
      continue;
    }
    if (!sectionLine) continue;
    if (auto kv = KeyValue(text.lines[i]); kv && SameName(kv->first, key)) {
      text.lines[i] = entry;
      return Save(path_, text);
    }
    if (!Trim(text.lines[i]).empty()) lastEntry = i;
  }
  if (sectionLine) {
    text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(*lastEntry + 1), entry);
    if (*lastEntry + 2 == text.lines.size()) text.endsWithEol = true;
  } else {
    text.lines.push_back("[" + section + "]");
    text.lines.push_back(entry);
    text.endsWithEol = true;
  }
  return Save(path_, text);
}

bool IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  return WriteString(section, key, std::to_string(value));
}

int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue,
                   const std::string& path) {
  auto value = IniFile(path).Find(section, key);
  if (!value) return defaultValue;
  return ParseInt(*value, false).value_or(0);
}
