#pragma once

#include <string>

#include "BitmapImage.h"

// The quality of every comet JPEG thumbnail (IJG scale).
constexpr int kThumbnailJpegQuality = 95;

// Writes a measured comet's picture (with its profile plot) as the comet's
// ".jpg" thumbnail at the thumbnail quality. False when it was not written.
bool SaveProfiledThumbnail(const BitmapImageClass& comet, const std::string& fileName);
