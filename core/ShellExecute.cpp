#include "ShellExecute.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "EventLog.h"
#include "MessageBox.h"

extern char** environ;

namespace {

constexpr int kSuccess = 42;
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kNoAssociation = 31;

// How long the opener is watched for an early failure; an opener still
// running then has handed the document over (or is the application itself).
constexpr int kOpenerWatchMs = 1000;
constexpr int kStillRunning = -1;

std::string& OpenerSetting() {
  static std::string opener;
  return opener;
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The opener's full path, found along PATH when it names no folder.
std::string ResolveProgram(const std::string& program) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos) return IsExecutableFile(program) ? program : "";
  const char* pathVar = std::getenv("PATH");
  std::string path = pathVar != nullptr ? pathVar : "/usr/local/bin:/usr/bin:/bin";
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t colon = path.find(':', start);
    if (colon == std::string::npos) colon = path.size();
    std::string folder = path.substr(start, colon - start);
    std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
    if (IsExecutableFile(candidate)) return candidate;
    start = colon + 1;
  }
  return {};
}

// Starts the opener in a session of its own, watches it for a moment, and
// returns its exit status, kStillRunning, or 127 when it could not start.
// A middle process does the watching so that the opener is never left as a
// zombie of ours; only async-signal-safe calls follow the forks.
int RunOpener(const std::string& program, const std::string& document) {
  std::vector<char*> argv = {const_cast<char*>(program.c_str()),
                             const_cast<char*>(document.c_str()), nullptr};
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return 127;

  pid_t middle = fork();
  if (middle < 0) {
    close(fds[0]);
    close(fds[1]);
    return 127;
  }
  if (middle == 0) {
    setsid();
    int status = 127;
    pid_t opener = fork();
    if (opener == 0) {
      int null = open("/dev/null", O_RDWR);
      if (null >= 0) {
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
      }
      execve(argv[0], argv.data(), environ);
      _exit(127);
    }
    if (opener > 0) {
      status = kStillRunning;
      const timespec step{0, 10 * 1000 * 1000};
      for (int waited = 0; waited < kOpenerWatchMs; waited += 10) {
        int raw = 0;
        if (waitpid(opener, &raw, WNOHANG) == opener) {
          status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 127;
          break;
        }
        nanosleep(&step, nullptr);
      }
    }
    ssize_t ignored = write(fds[1], &status, sizeof status);
    (void)ignored;
    _exit(0);
  }

  close(fds[1]);
  int status = 127;
  ssize_t got;
  do {
    got = read(fds[0], &status, sizeof status);
  } while (got < 0 && errno == EINTR);
  if (got != static_cast<ssize_t>(sizeof status)) status = 127;
  close(fds[0]);
  while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
  }
  return status;
}

// A web address goes to the opener as it is, without a look on the disk.
bool IsWebAddress(const std::string& file) {
  return file.rfind("https://", 0) == 0 || file.rfind("http://", 0) == 0;
}

int OpenDocument(const std::string& file, const std::string& directory) {
  const bool web = IsWebAddress(file);
  if (!web && !directory.empty() && !IsDirectory(directory)) return kPathNotFound;
  const std::string document =
      (web || file.empty() || file[0] == '/' || directory.empty()) ? file : directory + "/" + file;
  struct stat st {};
  if (document.empty() || (!web && stat(document.c_str(), &st) != 0)) return kFileNotFound;

  const std::string opener = ResolveProgram(DocumentOpener());
  if (opener.empty()) return kNoAssociation;
  const int status = RunOpener(opener, document);
  if (status == 0 || status == kStillRunning) return kSuccess;
  if (status == 2) return kFileNotFound;
  return kNoAssociation;
}

}  // namespace

std::string ShellExecuteErrorMessage(int code) {
  switch (code) {
    case 0:
      return "The operating system is out of memory or resources.";
    case 2:
      return "The specified file was not found.";
    case 3:
      return "The specified path was not found.";
    case 5:
      return "The operating system denied access to the specified file.";
    case 8:
      return "There was not enough memory to complete the operation.";
    case 11:
      return "The .EXE file is invalid.";
    case 26:
      return "A sharing violation occurred.";
    case 27:
      return "The file association is incomplete or invalid.";
    case 28:
      return "The DDE transaction could not be completed because\nthe request timed out.";
    case 29:
      return "The DDE transaction failed.";
    case 30:
      return "The DDE transaction could not be completed because\nother DDE transactions were "
             "being processed.";
    case 31:
      return "There is no application associated with the given filenamce extension.";
    case 32:
      return "The specified dynamic-link library was not found.";
    default:
      return "Unknown error.";
  }
}

int AnsiString_ShellExecute(const std::string& operation, const std::string& file,
                            const std::string& parameters, const std::string& directory,
                            int showCommand, bool silent) {
  LogMessage("entering AnsiString_ShellExecute(" + operation + ", " + file + ", " + parameters +
             ", " + directory + ", " + std::to_string(showCommand) + ", " +
             (silent ? "SILENT" : "NOT SILENT") + ")...");
  const int r = OpenDocument(file, directory);
  if (r <= 32) {
    const std::string message = ShellExecuteErrorMessage(r);
    LogMessage("ERROR: " + message);
    if (!silent) ShowErrorBox(message, "ShellExecute(" + file + ")");
  }
  LogMessage(std::string("exiting  AnsiString_ShellExecute(") + (r > 32 ? "SUCCESS" : "FAILURE") +
             ")...");
  return r;
}

void SetDocumentOpener(const std::string& program) {
  OpenerSetting() = program;
}

std::string DocumentOpener() {
  if (!OpenerSetting().empty()) return OpenerSetting();
  const char* env = std::getenv("STRANDEX_OPENER");
  return env != nullptr && *env != '\0' ? env : "xdg-open";
}
