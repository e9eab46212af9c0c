#pragma once

#include <cstdint>
#include <ctime>

// Local calendar time down to the millisecond, as the event log and the
// time-stamp names need it.
struct LocalTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// The current local time.
LocalTime LocalTimeNow();

// A point in time given in seconds since the epoch (a file time), in local time.
LocalTime LocalTimeFromEpoch(std::time_t seconds);

// A monotonic millisecond counter; only differences between readings mean anything.
std::uint64_t TickCountMillis();
