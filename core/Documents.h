#pragma once

#include <string>

// Where a document of the program (the manual, the release notes) is: beside
// the executable in a build tree, else in share/doc/strandex/ of the prefix
// the program is installed under. When neither holds it, the path beside the
// executable (which the caller then reports as not found).
std::string DocumentPath(const std::string& fileName);
