#pragma once

#include <string>

// New files and folders with names nobody else holds, created with the modes
// the user's umask (and any default ACL of the folder) gives to every newly
// made file (0666) or folder (0777), so results written through them are as
// readable as any other file the user makes. `stem` is the path up to the
// generated part: the name becomes stem + six random letters or digits.

// Opens a new file for writing (close-on-exec); -1 with errno set when none
// can be made. `path` receives the name used.
int CreateUniqueFile(const std::string& stem, std::string& path);

// Makes a new folder; false with errno set when none can be made.
bool CreateUniqueFolder(const std::string& stem, std::string& path);
