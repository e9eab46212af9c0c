#pragma once

#include <string>

#include "Clock.h"

// A name for a new file from the local time: year, month, day, hour, minute,
// second and hundredths of a second, 16 digits without separators.
std::string GetTimestampString();

// The same digits for a given time.
std::string FormatTimestamp(const LocalTime& time);
