#pragma once

#include <memory>

#include "BitmapImage.h"
#include "ToolkitPictures.h"

// The 8-bit grey workspace raster of a decoded bitmap: the raster built
// from the bitmap, greyed and set to 8 bits per pixel. Untraced, a 24- or
// 32-bit bitmap is greyed straight into the padded 8-bit raster in one pass,
// each pixel's grey value taken twice as the two conversions take it, which
// gives the same raster; traced, and for other formats (a grey bitmap is
// copied as it is), the steps are taken one by one as the trace shows them.
// An empty raster when it cannot be made.
std::unique_ptr<BitmapImageClass> WorkspaceRasterOf(const TBitmap& bitmap);
