#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "EventLog.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

TEST(EventLogThreadTest, LinesStayWholeAndDepthsStayPerThread) {
  ScopedTraceLog log;
  auto work = [](int id) {
    for (int i = 0; i < 200; ++i) {
      LogMessage("entering Job" + std::to_string(id) + "()...");
      LogMessage("entering Step" + std::to_string(id) + "()...");
      LogMessage("exiting  Step" + std::to_string(id) + "()...");
      LogMessage("exiting  Job" + std::to_string(id) + "()...");
    }
    EXPECT_EQ(ProcessEventLog().Depth(), 0);
  };
  std::thread a(work, 1), b(work, 2);
  a.join();
  b.join();
  const std::regex line(
      R"(\[\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\.\d{3}\] - ( *)(entering |exiting  )(Job|Step)\d\(\)\.\.\.)");
  int lines = 0;
  for (const std::string& text : log.Lines()) {
    if (text.empty()) continue;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, line)) << text;
    // Jobs sit at depth 0 and steps at depth 1 of their own thread.
    EXPECT_EQ(m[1].length(), m[3] == "Job" ? 0 : 1) << text;
    ++lines;
  }
  EXPECT_EQ(lines, 1600);
}

}  // namespace
