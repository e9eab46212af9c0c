#pragma once

#include <string>
#include <vector>

// Where an image's results live: for an image F/B.ext the result folder is
// F/B/ and the data set is F/B/B.cdb.
std::string ResultFolderOf(const std::string& imagePath);  // ends with '/'
std::string DataSetPathOf(const std::string& imagePath);

// The images of a folder: the names matching "*.bmp", then "*.png", then
// "*.jpg" (with "*.jpeg"; letter case ignored), each group sorted by name so
// the order does not depend on the file system. Full paths.
std::vector<std::string> ListFolderImages(const std::string& folder);

// A folder path with exactly one trailing '/'.
std::string AsFolder(const std::string& folder);

// Whether a stored name can stand as a file name in a result folder: not
// empty, no path separator, not "." or "..".
bool IsPlainFileName(const std::string& name);
