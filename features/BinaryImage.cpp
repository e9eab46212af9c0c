// Labelling and feature assembly of the two-level raster.
#include "BinaryImage.h"

#include <algorithm>
#include <new>
#include <string>

#include "EventLog.h"

namespace {
const std::string kClass = "BinaryImageClass::";
}

BinaryImageClass::BinaryImageClass(const BitmapImageClass& raster) : image(raster) {
  LogMessage("entering " + kClass + "BinaryImageClass()...");
  LogMessage("exiting  " + kClass + "BinaryImageClass()...");
}

BinaryImageClass::BinaryImageClass(const FeatureRecord& feature)
    : image(feature.width, feature.height, 8) {
  LogMessage("entering " + kClass + "BinaryImageClass(FeatureRecord)...");
  image.SetAllPixelsToValue(255);
  if (!image.IsEmpty()) {
    for (const Chord& c : feature.chords) {
      const int row = c.row - feature.top;
      const int from = std::max(c.colStart - feature.left, 0);
      const int to = std::min(c.colEnd - feature.left, image.Bitmap.bmWidth - 1);
      if (row < 0 || row >= image.Bitmap.bmHeight) continue;  // not the feature's own run
      std::uint8_t* pixels = image.GetScanLine(row);
      for (int x = from; x <= to; ++x) pixels[x] = 0;
    }
  }
  LogMessage("exiting  " + kClass + "BinaryImageClass(FeatureRecord)...");
}

BinaryImageClass::~BinaryImageClass() {
  LogMessage("entering ~" + kClass + "BinaryImageClass()...");
  features.reset();
  LogMessage("exiting  ~" + kClass + "BinaryImageClass()...");
}

void BinaryImageClass::EnsureFeatures() {
  if (!features) ComputeFeatures();
}

std::int32_t BinaryImageClass::ComputeFeatures() {
  LogMessage("entering " + kClass + "ComputeFeatures()...");
  std::vector<FeatureRecord> found;
  const int width = image.IsEmpty() ? 0 : image.Bitmap.bmWidth;
  const int height = image.IsEmpty() ? 0 : image.Bitmap.bmHeight;
  if (width > kMaxSide || height > kMaxSide) {
    LogMessage("ERROR: image of " + std::to_string(width) + " x " + std::to_string(height) +
               " pixels is too large to label!!!");
  } else {
    try {
      const std::vector<Chord> runs = FindChords();
      const std::vector<std::uint32_t> labels = MergeChordLabels(runs);

      // Extremes and run counts per label; labels run from 1 to the run count.
      struct Extent {
        std::int32_t count = 0, left, top, right = 0, bottom = 0;
        std::int32_t feature = -1;
      };
      std::vector<Extent> extents(runs.size() + 1, Extent{0, width, height, 0, 0, -1});
      for (std::size_t i = 0; i < runs.size(); ++i) {
        Extent& e = extents[labels[i]];
        ++e.count;
        e.left = std::min<std::int32_t>(e.left, runs[i].colStart);
        e.top = std::min<std::int32_t>(e.top, runs[i].row);
        e.right = std::max<std::int32_t>(e.right, runs[i].colEnd);
        e.bottom = std::max<std::int32_t>(e.bottom, runs[i].row);
      }
      // A feature per label in ascending order, unless its runs all lie in
      // one column.
      for (std::size_t label = 1; label < extents.size(); ++label) {
        Extent& e = extents[label];
        if (e.count == 0 || e.left >= e.right) continue;
        e.feature = static_cast<std::int32_t>(found.size());
        FeatureRecord f;
        f.ID = static_cast<std::uint32_t>(label);
        f.left = static_cast<std::int16_t>(e.left);
        f.top = static_cast<std::int16_t>(e.top);
        f.right = static_cast<std::int16_t>(e.right);
        f.bottom = static_cast<std::int16_t>(e.bottom);
        f.chords.reserve(static_cast<std::size_t>(e.count));
        found.push_back(std::move(f));
      }
      for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::int32_t index = extents[labels[i]].feature;
        if (index >= 0)
          found[index].chords.push_back({0, runs[i].row, runs[i].colStart, runs[i].colEnd});
      }
      for (FeatureRecord& f : found) FinishFeature(f);
    } catch (const std::bad_alloc&) {
      LogMessage("ERROR : unable to allocate enough memory for " +
                 std::to_string(static_cast<std::int64_t>((width + 1) / 2) * height) +
                 " chords!!!");
      found.clear();
    }
  }
  features = std::move(found);
  numFeatures = static_cast<std::int32_t>(features->size());
  LogMessage("exiting  " + kClass + "ComputeFeatures(" + std::to_string(numFeatures) + ")...");
  return numFeatures;
}
