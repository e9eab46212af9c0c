#pragma once

#include <functional>
#include <string>
#include <vector>

#include "CometRecords.h"

// The values of a data set that has no file yet: version 3, comet data set,
// the widest area and height limits, calibration 1000 (a factor of 1), no
// comets and a zeroed array. Other fields keep what they held.
void MakeFreshDataSet(WellRecord& well, const std::string& wellName);

// The data set of an image: its ".cdb" when one exists and reads, else a
// fresh one named after the image file. True when it was read from disk.
bool LoadImageDataSet(const std::string& imagePath, WellRecord& well);

// The folder summary: every image's comets appended in folder order while
// the total stays below 8192 (an image whose comets would not fit is
// skipped whole), then the statistics. `progress` hears of each image.
void BuildFolderSummary(const std::string& folder, WellRecord& well,
                        const std::function<void(int done, int total)>& progress = {});
// The same over a list of image paths, in their order.
void BuildImagesSummary(const std::vector<std::string>& images, WellRecord& well,
                        const std::function<void(int done, int total)>& progress = {});
