#pragma once

#include <array>
#include <string>

#include "CometRecords.h"

// The texts of the review area: the statistics labels, the data-points
// count, the option row and the value label of a grid cell.

// Whether the data set holds statistics of the metric: at least two comets
// and a minimum not above the maximum (the statistics of a data set of 0 or
// 1 comets, or of one whose comets are all left out, keep their start
// values, which are no statistics).
bool HasStatistics(const WellRecord& well, int metric);

// What a label shows for a missing statistic.
inline constexpr const char* kNoStatisticText = "\u2014";

// " 1.250 (minimum)", "\u03bc = 2.000, \u03c3 = 0.500", "(maximum) 3.000 "; the
// numbers become kNoStatisticText without statistics.
struct StatisticsTexts {
  std::string minimum;
  std::string mean;
  std::string maximum;
};
StatisticsTexts StatisticsLabelTexts(const WellRecord& well, int metric);

// The data-points label: "showing S (P%) of K data points (T total points
// acquired)" over the undeleted comets K, of which S are included, and all
// T comets; P is 0.0 when none is undeleted.
std::string DataPointsText(const WellRecord& well);

// The value label of a grid cell, "%.03f".
std::string CellValueText(float value);

// The option row reads as one sentence: kOptionRowTexts[0], the lower
// bound list, [1], the upper bound list, [2], the metric list, [3], the sort
// list, [4], the picture-mode list; then, at its right end, [5] and the
// cursor-mode list.
inline constexpr std::array<const char*, 6> kOptionRowTexts = {
    "Display between ", " and ", " standard deviation(s) of ", " as ", " and ", "Cursor Mode:"};
inline constexpr std::array<const char*, 8> kWindowBoundItems = {"-4", "-3", "-2", "-1",
                                                                 "1",  "2",  "3",  "4"};
inline constexpr int kDefaultMinBoundItem = 0;  // "-4"
inline constexpr int kDefaultMaxBoundItem = 7;  // "4"
inline constexpr std::array<const char*, 2> kSortItems = {"increasing", "decreasing"};
inline constexpr std::array<const char*, 2> kImageModeItems = {"unaltered", "profiled"};
inline constexpr std::array<const char*, 4> kCursorModeItems = {"No Change", "Auto Score",
                                                                "Manual Score", "Delete"};

// The window bound an item of the bound lists stands for: -4..-1 for items
// 0..3, 1..4 for items 4..7 (there is no 0). Items outside 0..7 are clamped.
int WindowBoundOfItem(int item);

// The metric that the views show for the metric list's selection: the
// selection itself, or Tail %DNA when nothing valid is selected (index -1 on
// a first start). The window selects and stores that metric as if the user
// had chosen it.
int MetricOfListIndex(int index);
