#pragma once

#include <string>

#include "BitmapImage.h"
#include "CometRecords.h"
#include "FeatureTypes.h"

// Makes one comet of a feature of the field of view: cuts the feature's
// pixels out of the 8-bit field (everything else in its box 0), stretches
// them to the full grey range and saves the cut-out as folder + N + ".bmp";
// fills `entry` as a new comet (version, record type, included, centre,
// size, name N), finds its head, measures and calibrates it with the data
// set's scale; and saves the comet with its profile plot as folder + N +
// ".jpg" (quality 95). N is a fresh time-stamp name (see NextThumbnailName).
// False when a thumbnail could not be written.
bool MeasureFeatureComet(const BitmapImageClass& field, const FeatureRecord& feature,
                         WellRecord& well, CometRecord& entry, const std::string& folder,
                         std::string& lastName);
