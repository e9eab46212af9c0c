#include "TestSupport.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testing_support {

TempDir::TempDir() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/strandex-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Give back write permission that a test may have taken away, then remove.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec)) chmod(it->path().c_str(), 0700);
  }
  chmod(path_.c_str(), 0700);
  std::filesystem::remove_all(path_, ec);
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  if (const char* old = std::getenv(name)) {
    had_ = true;
    old_ = old;
  }
  if (value != nullptr)
    setenv(name, value, 1);
  else
    unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
  if (had_)
    setenv(name_.c_str(), old_.c_str(), 1);
  else
    unsetenv(name_.c_str());
}

ScopedFileSizeLimit::ScopedFileSizeLimit(std::uint64_t bytes) {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  oldSoft_ = limit.rlim_cur;
  previous_ = std::signal(SIGXFSZ, SIG_IGN);
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  setrlimit(RLIMIT_FSIZE, &limit);
}

ScopedFileSizeLimit::~ScopedFileSizeLimit() {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = static_cast<rlim_t>(oldSoft_);
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previous_);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

void RecordingMessageBoxProvider::ShowError(const std::string& text, const std::string& caption) {
  boxes_.push_back({Box::kError, text, caption});
}

int RecordingMessageBoxProvider::AskYesNo(const std::string& text, const std::string& caption) {
  boxes_.push_back({Box::kQuestion, text, caption});
  if (answers_.empty()) return kIdNo;
  int answer = answers_.front();
  answers_.erase(answers_.begin());
  return answer;
}

ScopedTraceLog::ScopedTraceLog() : path_(dir_ / "trace.log") {
  WriteFile(dir_ / "trace.ini", "[main]\r\nlog_all_events=1\r\n");
  OpenEventLog(path_, dir_ / "trace.ini");
}

ScopedTraceLog::~ScopedTraceLog() {
  ProcessEventLog() = EventLog();
}

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> ScopedTraceLog::Lines() const {
  std::vector<std::string> all = SplitCrLf(ReadFile(path_));
  // The header is nine lines.
  return all.size() > 9 ? std::vector<std::string>(all.begin() + 9, all.end())
                        : std::vector<std::string>();
}

std::vector<std::string> ScopedTraceLog::Messages() const {
  std::vector<std::string> messages;
  for (const auto& line : Lines()) {
    auto dash = line.find("] - ");
    if (dash == std::string::npos) continue;
    std::string rest = line.substr(dash + 4);
    std::size_t i = 0;
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == '*')) ++i;
    messages.push_back(rest.substr(i));
  }
  return messages;
}

}  // namespace testing_support

namespace testing_support {

std::string CommaDecimalLocale() {
  static const std::string name = [] {
    static TempDir folder;
    const std::string made = folder / "de_DE.UTF-8";
    const std::string command = "localedef -i de_DE -f UTF-8 '" + made + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 && !Exists(made + "/LC_NUMERIC")) return std::string();
    setenv("LOCPATH", folder.Path().c_str(), 1);
    return std::string("de_DE.UTF-8");
  }();
  return name;
}

}  // namespace testing_support
