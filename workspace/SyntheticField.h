#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "BitmapImage.h"

// A made-up field of view for demonstrations and tests: round bright heads,
// tails streaming to the right with varied damage, background noise, a few
// comets cut by the border and a few small specks. The same seed always
// gives the same picture.
struct SyntheticComet {
  int headX, headY;  // centre of the head, picture coordinates (row 0 at the top)
  int radius;        // head radius
  int tailLength;    // 0 for an undamaged cell
  bool onBorder;     // cut by the picture's edge
};

struct SyntheticField {
  std::unique_ptr<BitmapImageClass> image;  // 24-bit
  std::vector<SyntheticComet> comets;
};

SyntheticField MakeSyntheticField(int width, int height, std::uint32_t seed);

// One comet alone on a square picture, its tail the longer the higher the
// damage (0 to 21): the About dialog's gallery.
std::unique_ptr<BitmapImageClass> MakeCometPicture(int side, int damage);
