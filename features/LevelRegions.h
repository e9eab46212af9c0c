#pragma once

#include <cstdint>
#include <vector>

#include "BitmapImage.h"
#include "FeatureTypes.h"

// The 4-connected regions of the pixels at or above a grey level of an
// 8-bit raster, kept while the level falls from 255. Lowering the level only
// adds pixels, so regions only grow and merge: a union-find over the pixels
// holds them, and a region is what labelling the raster thresholded at that
// level (set = at or above it) would make a feature of, when it spans more
// than one column.
//
// Memory: 4 bytes a pixel for the union-find (it also threads the pixels of
// each level in scan order until they are added), and 24 bytes a live
// region. The buffers stay with the object, so one object reused for raster
// after raster allocates only when a raster is larger than all before.
class LevelRegions {
 public:
  // Starts on a raster of one byte per pixel (row r is GetScanLine(r), as
  // labelling reads it), with no pixel added yet. Levels below `lowest` are
  // never reached. The raster must outlive the use of this object.
  void Reset(const BitmapImageClass& grey, int lowest);

  // Adds the pixels of the next level down (255 first, then 254, ...),
  // joining them to their added neighbours.
  void Lower();
  // The lowest level whose pixels are added; 256 before the first Lower().
  int Level() const { return level_; }

  // The bytes the buffers hold, and their release (the raster is forgotten).
  std::size_t BufferBytes() const;
  void Release();

  // The region that pixel (x, y) belongs to, or -1 when it is not added.
  std::int32_t RegionAt(std::int32_t x, std::int32_t y);
  // Whether labelling makes a feature of the region (more than one column).
  bool IsFeature(std::int32_t region) const;
  // centroidY of the region as the measurement of its feature gives it.
  double CentroidY(std::int32_t region);
  // The region as a labelled feature: box, runs in scan order, boundary
  // points and measurements. Its ID is left 0 (it names a labelling's run).
  FeatureRecord Feature(std::int32_t region);

 private:
  struct Stats {
    std::int64_t sumY;  // sum of the pixels' rows
    std::int32_t size;
    std::int16_t left, top, right, bottom;
  };

  std::int32_t Find(std::int32_t p);
  // Joins the regions whose roots are a and b; returns the surviving root.
  std::int32_t Join(std::int32_t a, std::int32_t b);
  void Add(std::int32_t p, std::int32_t x, std::int32_t y);
  Stats& StatsOf(std::int32_t root) { return stats_[-parent_[root] - 1]; }
  const Stats& StatsOf(std::int32_t root) const { return stats_[-parent_[root] - 1]; }
  std::uint8_t Value(std::int32_t x, std::int32_t y) const { return rows_[y][x]; }

  std::int32_t width_ = 0, height_ = 0;
  int level_ = 256;
  std::vector<const std::uint8_t*> rows_;
  // An added pixel: its parent pixel, or -(slot + 1) for a root. A pixel not
  // yet added: the next pixel of its level in scan order, or -1.
  std::vector<std::int32_t> parent_;
  std::vector<std::int32_t> first_;  // the first pixel of each level, or -1
  std::vector<Stats> stats_;
  std::vector<std::int32_t> freeSlots_;
};
