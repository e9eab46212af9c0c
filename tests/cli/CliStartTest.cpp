// Runs the command-line program as a user would.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "TestSupport.h"

using namespace testing_support;

namespace {

struct CliRun {
  int status;
  std::string out;
};

CliRun RunCli(const std::string& environment) {
  const std::string command = environment + " '" STRANDEX_CLI "' 2>&1";
  CliRun run{-1, {}};
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> buffer{};
  std::size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
  run.status = pclose(pipe);
  return run;
}

TEST(CliStartTest, StartsTheEventLogAndSaysWhere) {
  TempDir home;
  WriteFile(home / "strandex.ini", "[main]\r\nlog_all_events=1\r\n");
  CliRun first = RunCli("STRANDEX_HOME='" + home.Path() + "'");
  ASSERT_EQ(first.status, 0) << first.out;
  EXPECT_NE(first.out.find("Event log: " + home.Path() + "/strandex.log"), std::string::npos)
      << first.out;
  auto lines = SplitCrLf(ReadFile(home / "strandex.log"));
  ASSERT_GE(lines.size(), 12u);
  EXPECT_EQ(lines[0], "strandex-cli");
  EXPECT_EQ(lines[3], "Version      = " STRANDEX_TEST_VERSION);
  EXPECT_NE(lines[10].find("] - entering main()..."), std::string::npos);
  EXPECT_NE(lines[11].find("] - exiting  main(0)..."), std::string::npos);

  // A second start keeps the first run's log under a time-stamped name.
  CliRun second = RunCli("STRANDEX_HOME='" + home.Path() + "'");
  ASSERT_EQ(second.status, 0) << second.out;
  int kept = 0;
  for (const auto& entry : std::filesystem::directory_iterator(home.Path()))
    if (entry.path().filename().string().starts_with("strandex 2")) ++kept;
  EXPECT_EQ(kept, 1);
}

}  // namespace
