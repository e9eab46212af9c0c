#pragma once

#include <memory>
#include <string>

#include "BitmapImage.h"
#include "ToolkitPictures.h"

// Loads a field-of-view image file into the workspace's form: ".jpg" and
// ".jpeg" through the JPEG picture, ".png" through the PNG picture, ".bmp"
// straight into a bitmap (extensions in any letter case), then the raster
// image built from the bitmap, turned grey and set to 8 bits per pixel.
// The decoded bitmap is handed to `display` when one is given. Returns no
// image (with ERROR lines logged) when the file cannot be decoded; `display`
// is then left as it was and `reason`, when given, says why in words
// ("the file is empty", "not a JPEG file (it holds text)", "cut off after
// 1200 bytes", "permission denied", ...).
std::unique_ptr<BitmapImageClass> LoadFieldImage(const std::string& path,
                                                 TBitmap* display = nullptr,
                                                 std::string* reason = nullptr);

// Whether the file name has one of the image extensions the program opens.
bool IsFieldImageName(const std::string& path);
