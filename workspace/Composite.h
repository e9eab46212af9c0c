#pragma once

#include <memory>
#include <string>
#include <vector>

#include "BitmapImage.h"

// The composite of a folder's images, a debugging aid: a 640 x 480 grey
// picture with the folder's BMP images merged in at random places over 10
// to 14 rounds (one image a round, in folder order, while images last),
// then a copy blurred and stretched `blurRounds` times (each step saved
// under a time-stamp name), the copy offset by 0 to 2 levels, and the
// composite plus the copy. Everything is written into the folder's
// "Composite" sub-folder, made when missing: 01.bmp the composite, the
// steps, 02.bmp the last step, 03.bmp the offset copy, 04.bmp the sum,
// which is returned for the display. Without a folder nothing is done.
struct CompositeResult {
  std::unique_ptr<BitmapImageClass> composite;  // 04.bmp
  int rounds = 0;                               // 10 to 14
  int merged = 0;                               // images merged in
};

inline constexpr int kCompositeBlurRounds = 200;

CompositeResult BuildComposite(const std::string& folder, const std::vector<std::string>& images,
                               int blurRounds = kCompositeBlurRounds);
