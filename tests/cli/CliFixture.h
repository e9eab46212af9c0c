#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace testing_support {

struct CliRun {
  int status;
  std::string out;  // stdout, then stderr
  std::string stdoutText;
  std::string stderrText;
};

class CliTest : public ::testing::Test {
 protected:
  // Runs strandex-cli with the arguments (shell words) and a private home,
  // its input piped from `input` and after the shell commands `before`;
  // stdout and stderr are kept apart.
  CliRun Cli(const std::string& arguments, const std::string& input = "",
             const std::string& before = "") {
    const std::string command =
        "cd '" + work_.Path() + "' && " + before + (input.empty() ? "" : input + " | ") +
        "STRANDEX_HOME='" + home_.Path() + "' XDG_DATA_HOME='" + home_.Path() +
        "/data' '" STRANDEX_CLI "' " + arguments + " 2>'" + streams_ / "stderr" + "'";
    CliRun run{-1, {}, {}, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
      run.stdoutText.append(buffer.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.stderrText = ReadFile(streams_ / "stderr");
    run.out = run.stdoutText + run.stderrText;
    return run;
  }
  bool Contains(const CliRun& run, const std::string& text) {
    return run.out.find(text) != std::string::npos;
  }

  TempDir home_;
  TempDir work_;
  TempDir streams_;
};

}  // namespace testing_support
