#include "Timestamp.h"

#include <cstdio>

std::string FormatTimestamp(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second, t.millisecond / 10);
  return text;
}

std::string GetTimestampString() {
  return FormatTimestamp(LocalTimeNow());
}
