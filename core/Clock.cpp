#include "Clock.h"

#include <chrono>

namespace {

LocalTime FromTm(const std::tm& tm, int millisecond) {
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                   tm.tm_min,         tm.tm_sec,     millisecond};
}

}  // namespace

LocalTime LocalTimeNow() {
  std::timespec ts{};
  std::timespec_get(&ts, TIME_UTC);
  std::tm tm{};
  localtime_r(&ts.tv_sec, &tm);
  return FromTm(tm, static_cast<int>(ts.tv_nsec / 1000000));
}

LocalTime LocalTimeFromEpoch(std::time_t seconds) {
  std::tm tm{};
  localtime_r(&seconds, &tm);
  return FromTm(tm, 0);
}

std::uint64_t TickCountMillis() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
