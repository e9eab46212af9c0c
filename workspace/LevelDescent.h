#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "BinaryImage.h"

// Following comets down the grey levels for the automatic threshold. A
// feature s of the cutoff level is followed one level at a time, from the
// cutoff down, through the feature p that holds the pixel at s's truncated
// centroid. The descent stops at the first level where no feature holds
// that pixel, where p's centroidY lies 4 rows or more from s's, or where the
// next level down would be mode + 1 or lower; it ends with that level's p.

// The grey image labelled level by level as the descent asks for levels,
// every level kept until the end (as the trace shows it).
class LabelledLevels {
 public:
  explicit LabelledLevels(const BitmapImageClass& grey) : grey_(grey) {}

  // The grey image thresholded at `level` (set = at or above it) and
  // labelled; made on first use.
  BinaryImageClass& At(int level);
  // Where the descent of `start` ends, or none.
  const FeatureRecord* Descend(const FeatureRecord& start, int cutoff, int mode);

 private:
  const BitmapImageClass& grey_;
  std::map<int, std::unique_ptr<BinaryImageClass>> levels_;
};

// Where the descents of the features of a labelled cutoff level end.
struct DescentEnds {
  std::vector<FeatureRecord> features;  // each end once
  std::vector<std::int32_t> of;         // per feature: its end in `features`, or -1

  const FeatureRecord* Of(std::int32_t feature) const {
    const std::int32_t end = of[static_cast<std::size_t>(feature)];
    return end < 0 ? nullptr : &features[static_cast<std::size_t>(end)];
  }
};

// The descents of the features of `atCutoff` (the grey image labelled at
// the cutoff) that `follow` accepts, all at once and without labelling the
// levels below: the regions of the falling level are grown instead. Ends
// equal those of LabelledLevels::Descend but for their IDs, which are 0.
// The working buffers stay with the calling thread for its next image,
// unless they grew past 64 MiB.
DescentEnds DescendByGrowing(const BitmapImageClass& grey, const BinaryImageClass& atCutoff,
                             int cutoff, int mode,
                             const std::function<bool(const FeatureRecord&)>& follow);
