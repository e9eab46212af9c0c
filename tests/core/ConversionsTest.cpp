#include "Conversions.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testing_support;

namespace {

TEST(ConversionsTest, ToIntReadsLikeAtol) {
  ScopedTraceLog log;
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {{"42abc", 42},
                        {"  -7", -7},
                        {"abc", 0},
                        {"+15", 15},
                        {"99999999999", 2147483647},
                        {"-99999999999", -2147483647 - 1},
                        {"0x1F", 0}};
  for (const auto& c : cases) EXPECT_EQ(AnsiString_ToInt(c.text), c.expected) << c.text;
  auto messages = log.Messages();
  ASSERT_EQ(messages.size(), 2 * std::size(cases));
  EXPECT_EQ(messages[0], "entering AnsiString_ToInt(42abc)...");
  EXPECT_EQ(messages[1], "exiting  AnsiString_ToInt(42)...");
  EXPECT_EQ(messages[5], "exiting  AnsiString_ToInt(0)...");
}

TEST(ConversionsTest, EmptyTextsGiveZeroWithoutALogLine) {
  ScopedTraceLog log;
  EXPECT_EQ(AnsiString_ToInt(""), 0);
  EXPECT_EQ(AnsiString_ToDouble(""), 0.0L);
  EXPECT_TRUE(log.Messages().empty());
}

TEST(ConversionsTest, ToDoubleAcceptsBothDecimalMarks) {
  struct Case {
    const char* text;
    char separator;
    long double expected;
    bool error;
  };
  const Case cases[] = {
      {"1.5", '.', 1.5L, false},  {"2,5", '.', 2.5L, true},  {" -3.25e2 ", '.', -325.0L, false},
      {"1,5", ',', 1.5L, false},  {"1.5", ',', 1.5L, true},  {"abc", '.', 0.0L, true},
      {"7.5kg", '.', 7.5L, true}, {"0.1", '.', 0.1L, false}, {".", '.', 0.0L, true},
  };
  for (const auto& c : cases) {
    ScopedTraceLog log;
    EXPECT_EQ(AnsiString_ToDouble(c.text, c.separator), c.expected) << c.text;
    auto messages = log.Messages();
    ASSERT_EQ(messages.size(), c.error ? 3u : 2u) << c.text;
    EXPECT_EQ(messages[0], std::string("entering AnsiString_ToDouble(") + c.text + ")...");
    if (c.error) {
      EXPECT_EQ(messages[1],
                std::string("ERROR: '") + c.text + "' is not a valid floating point value");
    }
  }
}

TEST(ConversionsTest, ToDoubleKeepsExtendedPrecision) {
  // 0.1 read as long double differs from the double nearest 0.1.
  EXPECT_EQ(AnsiString_ToDouble("0.1", '.'), 0.1L);
  EXPECT_EQ(AnsiString_ToDouble("0,1", '.'), 0.1L);
}

TEST(ConversionsTest, ToDoubleLogsItsValue) {
  ScopedTraceLog log;
  AnsiString_ToDouble("2,5", '.');
  EXPECT_EQ(log.Messages().back(), "exiting  AnsiString_ToDouble(2.5)...");
}

}  // namespace
