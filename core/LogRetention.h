#pragma once

#include <string>

// Previous event logs sit beside the live one under "<name> <14-digit
// time>.log", or "<name> <14-digit time> (N).log" when that name was taken.
// Only that many of the newest are kept: a batch loop that starts the
// program thousands of times leaves no more files than that.
inline constexpr int kDefaultLogFilesKept = 20;

// Removes the oldest previous logs of logPath beyond `keep` (ordered by the
// time in their names, then by their number). Files of other names, the
// live log and anything that is not a regular file are never touched. A
// negative `keep` keeps them all. Returns how many files were removed.
int PrunePreviousLogs(const std::string& logPath, int keep);
