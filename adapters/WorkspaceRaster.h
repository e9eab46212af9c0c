#pragma once

#include <memory>

#include "BitmapImage.h"
#include "ToolkitPictures.h"

// The 8-bit grey workspace raster of a decoded bitmap: what building the
// raster from the bitmap, greying it and setting it to 8 bits per pixel
// makes, pixel for pixel. A grey bitmap is copied as it is (rows not padded,
// as the raster takes them from a bitmap); a 24- or 32-bit bitmap is greyed
// straight into a padded 8-bit raster in one pass, each pixel's grey value
// taken twice as the two conversions take it; other formats go the long way.
// No image when the raster cannot be made.
std::unique_ptr<BitmapImageClass> WorkspaceRasterOf(const TBitmap& bitmap);
