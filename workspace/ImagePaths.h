#pragma once

#include <string>
#include <vector>

// Where an image's results live: for an image F/B.ext the result folder is
// F/B/ and the data set is F/B/B.cdb.
std::string ResultFolderOf(const std::string& imagePath);  // ends with '/'
std::string DataSetPathOf(const std::string& imagePath);

// The images of a folder: the files matching "*.bmp", then "*.png", then
// "*.jpg" and "*.jpeg", then "*.tif" and "*.tiff" (letter case ignored),
// each group sorted by name so the order does not depend on the file
// system. Full paths.
std::vector<std::string> ListFolderImages(const std::string& folder);

// Images whose results would live in the same result folder as this one's
// (the same name with another extension: "slide.png" and "slide.jpg"),
// among `images` or among the images of the image's folder. No image of
// such a group is scored or counted until all but one are renamed.
std::vector<std::string> ImagesSharingResultsWith(const std::string& imagePath,
                                                  const std::vector<std::string>& images);
std::vector<std::string> ImagesSharingResultsWith(const std::string& imagePath);

// What to tell the user about such a group: which files and how to mend it.
std::string SharedResultsText(const std::string& imagePath, const std::vector<std::string>& others);

// Whether a data set whose `WellName` is `wellName`, found in the result
// folder of `imagePath`, holds that image's results rather than those of
// another image of the same name with another extension.
bool DataSetBelongsTo(const std::string& wellName, const std::string& imagePath);

// A folder path with exactly one trailing '/'.
std::string AsFolder(const std::string& folder);

// Whether a stored name can stand as a file name in a result folder: not
// empty, no path separator, not "." or "..".
bool IsPlainFileName(const std::string& name);
