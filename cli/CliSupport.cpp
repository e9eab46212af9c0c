#include "CliSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "AppPaths.h"
#include "DataSets.h"
#include "ImagePaths.h"
#include "SystemInfo.h"

bool Arguments::Has(const std::string& name) const {
  for (const auto& [key, value] : options)
    if (key == name) return true;
  return false;
}

std::optional<std::string> Arguments::Value(const std::string& name) const {
  for (const auto& [key, value] : options)
    if (key == name) return value;
  return std::nullopt;
}

bool ParseArguments(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                    const std::vector<std::string>& withValue, Arguments& out, std::string& error) {
  auto in = [](const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (arg.rfind("--", 0) != 0 || arg == "--") {
      out.positional.push_back(arg);
      continue;
    }
    std::string value;
    const auto eq = arg.find('=');
    if (eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
    }
    if (in(flags, arg) && eq == std::string::npos) {
      out.options.push_back({arg, ""});
    } else if (in(withValue, arg)) {
      if (eq == std::string::npos) {
        if (i + 1 >= args.size()) {
          error = arg + " needs a value";
          return false;
        }
        value = args[++i];
      }
      out.options.push_back({arg, value});
    } else {
      error = "unknown option " + args[i];
      return false;
    }
  }
  return true;
}

std::optional<long> ParseNumber(const std::string& text, long low, long high) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || value < low || value > high) return std::nullopt;
  return value;
}

void TerminalMessageBoxProvider::ShowError(const std::string& text, const std::string& caption) {
  std::cerr << caption << ": " << text << '\n';
}

int TerminalMessageBoxProvider::AskYesNo(const std::string& text, const std::string& caption) {
  if (answer_) {
    std::cerr << caption << ": " << text << " -> " << (*answer_ == kIdYes ? "yes" : "no") << '\n';
    return *answer_;
  }
  if (!isatty(STDIN_FILENO)) {
    std::cerr << caption << ": " << text << " -> no (give --yes to replace)\n";
    return kIdNo;
  }
  std::cerr << caption << ": " << text << " [y/N] " << std::flush;
  std::string reply;
  std::getline(std::cin, reply);
  return !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y') ? kIdYes : kIdNo;
}

std::optional<std::string> LoadDataSetOf(const std::string& path, WellRecord& well,
                                         std::string& name) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    std::vector<std::string> notes;
    BuildFolderSummary(path, well, {}, &notes);
    for (const std::string& note : notes) Warn(note);
    name = AsFolder(path);
    return std::nullopt;
  }
  name = FileNameOf(path);
  if (!FileExists(path)) return path + ": no such file or folder";
  if (!FileExists(DataSetPathOf(path))) return path + ": no results yet (score it first)";
  std::string why;
  if (!LoadImageDataSet(path, well, &why)) return path + ": " + why;
  return std::nullopt;
}

void Warn(const std::string& message) {
  std::cerr << "strandex-cli: warning: " << message << '\n';
}

int Fail(const std::string& message, int status) {
  std::cerr << "strandex-cli: " << message << '\n';
  return status;
}
