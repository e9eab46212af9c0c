#pragma once

#include <cstdint>
#include <string>

#include "BitmapImage.h"
#include "ToolkitPictures.h"

// The field-of-view display's colouring: the 8-bit image is shown through
// its colour table, which the cutoff slider and the display mode rebuild;
// the pixels themselves never change.

// Single hue: levels up to the cutoff black, the rest the colour (0x00BBGGRR)
// scaled by level, brightened as the cutoff rises.
void BuildSingleHueTable(RgbQuad (&table)[256], int cutoff, std::uint32_t colour);

// Full spectrum: levels below the cutoff black, from the brightest level in
// the image white, between them six bands from red through yellow, green,
// cyan, blue and magenta back to red.
void BuildFullSpectrumTable(RgbQuad (&table)[256], int cutoff, int brightest);

// Rebuilds the image's colour table for the mode and draws it into the
// display. Nothing happens without an image.
void ApplyDisplayColors(BitmapImageClass* image, TBitmap* display, bool fullSpectrum, int cutoff,
                        std::uint32_t colour);

// Draws the image upright into the 24-bit display through its colour
// table, over the rows and columns both have.
void DrawImageToDisplay(TBitmap& display, const BitmapImageClass& image);

// The slider's indicator: the share of the range above the cutoff, "49%".
std::string ThresholdIndicatorText(int position);

// The image turned half a turn in memory.
void Rotate180(BitmapImageClass& image);
