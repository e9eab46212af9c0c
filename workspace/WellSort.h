#pragma once

#include <cstdint>

#include "CometRecords.h"

// Orders all comet records (deleted and left-out ones too) by metric m,
// increasing or decreasing. The order is that of a bubble sort that swaps
// neighbours only when strictly out of order and never swaps a value that
// is not a number: equal values keep their order, a not-a-number value
// keeps its place, and the runs between such values are ordered each on
// their own. `undoCometIndex`, when it names a record, keeps naming the same
// comet. Linear time for long runs (a radix sort), never quadratic.
void SortThisWell(WellRecord& well, int metric, bool descending, std::int32_t& undoCometIndex);
