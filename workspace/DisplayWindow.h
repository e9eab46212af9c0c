#pragma once

#include <cstdint>

#include "CometRecords.h"

// The display window: the grid shows the comets whose value of the chosen
// metric lies within a chosen number of standard deviations of the mean,
// within the data set's area and height limits.

// The band of a value around mean a with standard deviation s (limits
// a + k s in extended precision): 1 below a - 3s, 2..4 the three bands up to
// a, 5..7 the three from a up to a + 3s, 8 everything else (at or above
// a + 3s, or not a number).
int ValueBand(float value, float mean, float stdDev);

// The band limits of one metric, computed once for a whole pass.
class BandLimits {
 public:
  BandLimits(float mean, float stdDev);
  int BandOf(float value) const;

 private:
  long double limit_[7];  // a - 3s, a - 2s, a - s, a, a + s, a + 2s, a + 3s
};

// Whether a band lies in the window of bounds lo..hi (each -4..-1 or 1..4):
// bands 2..7 when their bound (-3, -2, -1, 1, 2, 3) lies within lo..hi;
// band 1 only for the full window -4..4; band 8 when hi is 4 and lo at most 2.
bool BandInWindow(int band, int lo, int hi);

// What the pass found: how many comets are shown and the largest thumbnail
// among them.
struct DisplayWindowResult {
  std::uint32_t shown = 0;
  int maxWidth = 0;
  int maxHeight = 0;
};

// Sets every comet's Included flag: 1 when it is in the window for metric m,
// not deleted, and its Comet Area and Comet Height lie within the data set's
// limits (inclusive; not a number fails); 0 otherwise. A data set without
// comets is left as it is.
DisplayWindowResult RunDisplayWindowPass(WellRecord& well, int metric, int lo, int hi);
