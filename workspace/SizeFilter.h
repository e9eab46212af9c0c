#pragma once

#include <string>

#include "CometRecords.h"
#include "DataSetPlace.h"

class IniFile;

// The four limit texts of the size filter, as typed.
struct SizeFilterTexts {
  std::string minArea = "0";
  std::string maxArea = "2147483648";
  std::string minHeight = "0";
  std::string maxHeight = "2147483648";
};

struct SizeLimits {
  float minArea = 0, maxArea = 0, minHeight = 0, maxHeight = 0;
};

// Each text through AnsiString_ToDouble (an empty text is 0, a text that
// is not a number logs one ERROR line and reads what it can), rounded
// once to single precision; nothing corrected.
SizeLimits ParseSizeLimits(const SizeFilterTexts& texts);

// A minimum of 0 or less becomes 0; a maximum of 0 or less becomes
// 2147483648 (no limit); a limit that is not a number ("nan") likewise.
SizeLimits CorrectSizeLimits(SizeLimits limits);

// Stores limits in the data set's own fields (which the display window
// applies, ends included).
void StoreSizeLimits(WellRecord& well, const SizeLimits& limits);

// The settings: the four texts under the edits' names in section "main",
// written in the order min area, max area, min height, max height; read
// back with the defaults above. False when the file could not be written.
bool WriteSizeFilterTexts(IniFile& settings, const SizeFilterTexts& texts);
SizeFilterTexts ReadSizeFilterTexts(const IniFile& settings);

// Preview: the limits exactly as typed; nothing is deleted or written.
void PreviewSizeFilter(WellRecord& well, const SizeFilterTexts& texts);

struct ApplyResult {
  std::uint32_t deleted = 0;  // comets outside the limits (deleted ones included)
  std::string message;        // what could not be written or read; empty when all was
};

// Apply: the limits corrected and stored; every comet whose Comet Area or
// Comet Height lies outside them is marked deleted, in a folder also in
// the ".cdb" of the image it came from; then the statistics, and for one
// image its ".cdb" is written. A ".cdb" that cannot be written is left as
// it was and reported; one image's data set is then read again from it, so
// that no deletion shows that is not on disk. Only an image's own results
// are written over (see HoldsOwnResults). Does not touch the undo state of the grid edits;
// the caller clears it (the filter's deletions cannot be undone, nor may an
// older edit be undone over them).
ApplyResult ApplySizeFilter(WellRecord& well, const DataSetPlace& place,
                            const SizeFilterTexts& texts);
