#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "CometRecords.h"

// The two tab-delimited files of a data set: F(raw data)E with one row per
// undeleted comet and F(histogram)E with one histogram per chosen metric,
// for a chosen name FE. Lines end in CR LF; every field is followed by a
// TAB.
struct SpreadsheetFiles {
  std::string rawData;
  std::string histogram;
};
SpreadsheetFiles SpreadsheetFileNames(const std::string& chosenName);

// Writes both files. The result word is empty on success, else
// "ERROR CREATING RAW DATA FILE" or "ERROR CREATING HISTOGRAM FILE".
std::string WriteSpreadsheet(WellRecord& well, const std::string& chosenName,
                             const std::array<bool, 18>& metrics, std::uint16_t buckets);
