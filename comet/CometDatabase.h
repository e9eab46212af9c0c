#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CometRecords.h"

// The ".cdb" comet database file: a WellRecord followed by its comets
// (version 3), read through a memory stream loaded in one piece. Version-2
// comet data sets are converted on reading; version 0 is refused; every
// other version is read as version 3.
//
// Reading never goes past the 8192 comets of the array nor past the end of
// the file: extra comets and a cut-off list are reported by ERROR lines and
// left out (CometCount says how many were read). A failed read leaves the
// destination as it was. Writing goes to a temporary file beside the target
// that replaces it only when complete, so a failed write leaves the old file.

// Reads a comet data set (type 5). Files of the other record kinds are
// refused, except that a version-2 file of an unknown kind reads as nothing
// (the destination keeps its data, given an empty comet array if it had none).
// On failure `why`, when given, gets the reason in words ("cut off after 500
// bytes, inside its header", "a database of another kind (type 4), not comet
// results", "permission denied").
bool Zelcor_ReadFromDB(const std::string& fileName, WellRecord& destination,
                       std::string* why = nullptr);

// Writes a comet data set; sets its Version to 3 first.
bool Zelcor_WriteToDB(const std::string& fileName, WellRecord& record);

// The other record kinds (1, 2, 3, 4 and 6) as opaque blocks of their
// current size; the rows and columns of a type-4 layout are derived from its
// layout code. A version-2 type-3 block is refused (its re-layout is not
// known).
bool Zelcor_ReadBlockFromDB(const std::string& fileName, std::vector<std::uint8_t>& block);
bool Zelcor_WriteBlockToDB(const std::string& fileName, std::vector<std::uint8_t>& block);

// The size of a current-version block of a record kind other than 5; 0 for
// kinds without one.
std::size_t DatabaseBlockSize(std::uint32_t type);
