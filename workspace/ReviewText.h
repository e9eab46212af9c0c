#pragma once

#include <string>

#include "CometRecords.h"

// The data-points label of the review area: of the comets not deleted
// (kept), how many are shown (included), as a share of the kept ones, and
// how many the data set holds in all.
std::string DataPointsText(const WellRecord& well);
