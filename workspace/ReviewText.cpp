#include "ReviewText.h"

#include <cstdio>

std::string DataPointsText(const WellRecord& well) {
  int kept = 0, shown = 0;
  for (std::uint32_t i = 0; well.Comets != nullptr && i < well.CometCount; ++i) {
    const CometRecord& c = well.Comets[i];
    if (c.Deleted != 0) continue;
    ++kept;
    if (c.Included != 0) ++shown;
  }
  char text[160];
  if (kept > 0)
    std::snprintf(text, sizeof text,
                  "showing %d (%0.1f%c) of %d data points (%d total points acquired)", shown,
                  100.0 * shown / kept, '%', kept, static_cast<int>(well.CometCount));
  else
    std::snprintf(text, sizeof text,
                  "showing %d (0.0%c) of %d data points (%d total points acquired)", shown, '%', 0,
                  static_cast<int>(well.CometCount));
  return text;
}
