#pragma once

#include "BitmapImage.h"

// The image turned counter-clockwise by 90, 180 or 270 degrees (any other
// multiple of 90 counts modulo 360; 0 leaves it as it is). A quarter turn
// swaps width and height: the picture's top row becomes its left column,
// so comets whose tails point down have them pointing right after 90. Half
// a turn mirrors every row and then the order of the rows. The colour
// table and the meta data stay with the pixels. False, with the image left as
// it was, when the degrees are not a multiple of 90 or the turned image
// cannot be stored.
bool RotateCounterClockwise(BitmapImageClass& image, int degrees);

// Whether the degrees are a multiple of 90.
bool IsQuarterTurn(int degrees);
