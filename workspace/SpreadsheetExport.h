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

// Writes both files, each through a temporary file moved over any earlier
// one only when complete, numbers always with "." as the decimal mark. The
// result word is empty on success, else "ERROR CREATING RAW DATA FILE",
// "ERROR CREATING HISTOGRAM FILE", or for a failure after creation (a full
// disk) "ERROR WRITING RAW DATA FILE" / "ERROR WRITING HISTOGRAM FILE";
// `error` then says which file and why. A data set without statistics
// (fewer than two counted comets) gets its bins from its comets' own values.
std::string WriteSpreadsheet(WellRecord& well, const std::string& chosenName,
                             const std::array<bool, 18>& metrics, std::uint16_t buckets,
                             std::string* error = nullptr);
