#pragma once

#include <functional>
#include <string>
#include <vector>

#include "CometRecords.h"

// The values of a data set that has no file yet: version 3, comet data set,
// the widest area and height limits, calibration 1000 (a factor of 1), no
// comets and a zeroed array. Other fields keep what they held.
void MakeFreshDataSet(WellRecord& well, const std::string& wellName);

// The data set of an image: its ".cdb" when one exists, reads and holds
// this image's results, else a fresh one named after the image file. True
// when it was read from disk; when a ".cdb" was there but not taken, `why`
// says why (unreadable, or the results of another image of the same name).
bool LoadImageDataSet(const std::string& imagePath, WellRecord& well, std::string* why = nullptr);

// The name of the other image whose results stand in this image's result
// folder (same name, another extension), or "" when they are this image's
// own, or there are none, or they cannot be read. Such results are never
// read or replaced as this image's.
std::string OwnerOfForeignResults(const std::string& imagePath);
std::string ForeignResultsText(const std::string& imagePath, const std::string& owner);

// Whether the image's ".cdb" holds results of its own that may be written
// over: no other image shares its result folder, and it exists, reads and
// names this image. When it does not, `why` says why (empty when there is
// simply no ".cdb" yet: nothing was scored).
bool HoldsOwnResults(const std::string& imagePath, std::string* why = nullptr);

// The folder summary: every image's comets appended in folder order while
// the total stays below 8192 (an image whose comets would not fit is
// skipped whole), then the statistics. `progress` hears of each image.
// Images that would share a result folder, unreadable data sets and data
// sets of other images are not counted; `notes` receives why.
void BuildFolderSummary(const std::string& folder, WellRecord& well,
                        const std::function<void(int done, int total)>& progress = {},
                        std::vector<std::string>* notes = nullptr);
// The same over a list of image paths, in their order.
void BuildImagesSummary(const std::vector<std::string>& images, WellRecord& well,
                        const std::function<void(int done, int total)>& progress = {},
                        std::vector<std::string>* notes = nullptr);
