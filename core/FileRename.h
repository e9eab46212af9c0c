#pragma once

#include <string>

// Renames `from` to `to` without ever replacing an existing file: when `to`
// is taken, " (2)", " (3)", ... go before its extension. The name used is
// stored in *used. False when the rename cannot be done at all.
bool RenameWithoutReplacing(const std::string& from, const std::string& to,
                            std::string* used = nullptr);
