#pragma once

#include <string>

// The file version of an executable: the compiled-in program version
// ("1.0.0.0") for the running program's own executable, "FILE NOT FOUND" for
// a path where nothing exists, and "0.0.0.0" for any other file, which has no
// version the system can read (an error box says so, as the version query
// reports every file without a version block).
std::string GetFileVersionString(const std::string& path);

// The compiled-in program version, four numbers.
std::string ProgramVersionString();
