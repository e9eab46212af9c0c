#include "ScopedTrace.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testing_support;

namespace {

// Leaves early or at the end, with or without a result word.
int Operation(int way) {
  ScopedTrace trace("Operation", std::to_string(way));
  if (way == 0) return 0;
  if (way == 1) {
    trace.SetResult("ABORTED");
    return 1;
  }
  {
    ScopedTrace inner("Inner");
    inner.SetResult("SUCCESS");
  }
  trace.SetResult("DONE");
  return 2;
}

TEST(ScopedTraceTest, EveryWayOutIsTracedOnceWithItsWord) {
  struct Case {
    int way;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {0, {"entering Operation(0)...", "exiting  Operation()..."}},
      {1, {"entering Operation(1)...", "exiting  Operation(ABORTED)..."}},
      {2,
       {"entering Operation(2)...", "entering Inner()...", "exiting  Inner(SUCCESS)...",
        "exiting  Operation(DONE)..."}},
  };
  for (const Case& c : cases) {
    ScopedTraceLog log;
    EXPECT_EQ(Operation(c.way), c.way);
    EXPECT_EQ(log.Messages(), c.lines) << c.way;
  }
}

TEST(ScopedTraceTest, AnExceptionPassingThroughStillClosesTheOperation) {
  ScopedTraceLog log;
  try {
    ScopedTrace trace("Throwing");
    throw std::runtime_error("x");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(log.Messages(),
            (std::vector<std::string>{"entering Throwing()...", "exiting  Throwing()..."}));
}

}  // namespace
