#pragma once

class TMainApplicationForm;

// Pictures of the real window for the manual and the README, taken on any
// platform (the offscreen one included) and then the program ends. Driven
// by the environment, so scripts/screenshot.sh can take them:
//   STRANDEX_SCREENSHOT=out.png         where the PNG goes (nothing happens without it)
//   STRANDEX_SCREENSHOT_IMAGE=picture   the image whose tree node is selected and loaded
//   STRANDEX_SCREENSHOT_WIDGET=name     the object name of the part to take (a child
//                                       widget or a dialog); the whole window by default;
//                                       of a picture label, the picture it shows
//   STRANDEX_SCREENSHOT_WIDTH=pixels    the picture is scaled down to this width
// Returns false when no picture is asked for.
bool ScheduleScreenshot(TMainApplicationForm& window);
