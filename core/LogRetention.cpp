#include "LogRetention.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct PreviousLog {
  std::string stamp;
  long number = 1;  // " (N)" of a taken name; 1 for the plain one
  fs::path path;
};

bool AllDigits(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// Reads "<stem> <14 digits>[ (N)].log"; false for any other name.
bool ParsePreviousName(const std::string& name, const std::string& stem, PreviousLog& out) {
  const std::string prefix = stem + " ";
  const std::string suffix = ".log";
  if (name.size() < prefix.size() + 14 + suffix.size() || name.rfind(prefix, 0) != 0 ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  const std::string middle =
      name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
  out.stamp = middle.substr(0, 14);
  if (!AllDigits(out.stamp)) return false;
  const std::string rest = middle.substr(14);
  if (rest.empty()) {
    out.number = 1;
    return true;
  }
  // " (N)" with N of at most nine digits
  if (rest.size() < 4 || rest.rfind(" (", 0) != 0 || rest.back() != ')') return false;
  const std::string digits = rest.substr(2, rest.size() - 3);
  if (!AllDigits(digits) || digits.size() > 9) return false;
  out.number = std::stol(digits);
  return true;
}

}  // namespace

int PrunePreviousLogs(const std::string& logPath, int keep) {
  if (keep < 0) return 0;
  const fs::path live(logPath);
  const std::string stem = live.stem().string();
  const fs::path folder = live.has_parent_path() ? live.parent_path() : fs::path(".");

  std::vector<PreviousLog> previous;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError) || it->is_symlink(typeError)) continue;
    PreviousLog log;
    if (!ParsePreviousName(it->path().filename().string(), stem, log)) continue;
    log.path = it->path();
    previous.push_back(std::move(log));
  }
  if (previous.size() <= static_cast<std::size_t>(keep)) return 0;

  std::sort(previous.begin(), previous.end(), [](const PreviousLog& a, const PreviousLog& b) {
    return std::tie(a.stamp, a.number) < std::tie(b.stamp, b.number);
  });
  int removed = 0;
  const std::size_t surplus = previous.size() - static_cast<std::size_t>(keep);
  for (std::size_t i = 0; i < surplus; ++i) {
    std::error_code removeError;
    if (fs::remove(previous[i].path, removeError)) ++removed;
  }
  return removed;
}
