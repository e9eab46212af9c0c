#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CometRecords.h"

// A change to a comet kept in an image's own ".cdb", found by its
// ImageName (the first stored comet of that name): it takes the
// replacement, or without one it is marked deleted.
struct StoredCometChange {
  std::string imageName;
  std::optional<CometRecord> replacement;
};

enum class StoredUpdate {
  kWritten,     // changed, statistics recomputed, written back
  kUnreadable,  // the file cannot be read or holds another image's results
  kNoMatch,     // no stored comet carries any of the names
  kNotWritten,  // the write failed; the file is as it was
};

// Applies changes to the data set of `imagePath` kept at `dataSetPath`.
// Changes whose comet is not stored are skipped; a file that is not read,
// or in which nothing matches, is left as it is. `message` (when given)
// says what went wrong, empty when nothing did.
StoredUpdate UpdateImageDataSet(const std::string& dataSetPath, const std::string& imagePath,
                                const std::vector<StoredCometChange>& changes,
                                std::string* message = nullptr);
