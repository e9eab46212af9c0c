#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "BitmapImage.h"
#include "FeatureTypes.h"

// A two-level raster and its 4-connected features. A byte 0 is a set pixel,
// any other byte background; the first bmWidth bytes of a row are its
// pixels. Features are found lazily, kept until the next ComputeFeatures,
// and owned by this object.
class BinaryImageClass {
 public:
  // Rasters wider or taller than this cannot be labelled (rows and columns
  // are 16-bit); they yield no features.
  static constexpr int kMaxSide = 32767;

  // A deep copy of the raster; the caller's image is never touched.
  explicit BinaryImageClass(const BitmapImageClass& raster);
  // The feature's mask in its own bounding box (set = 0).
  explicit BinaryImageClass(const FeatureRecord& feature);
  ~BinaryImageClass();
  BinaryImageClass(const BinaryImageClass&) = delete;
  BinaryImageClass& operator=(const BinaryImageClass&) = delete;

  // Cuts every row into runs of set pixels, in scan order.
  std::vector<Chord> FindChords() const;

  // Labels, assembles and measures the features; replaces earlier ones.
  std::int32_t ComputeFeatures();

  void RemoveIsolatedPixels();
  void RemoveFeaturesOnEdge();
  const FeatureRecord* GetFeature(std::int32_t index);
  const FeatureRecord* GetFeature(std::int32_t x, std::int32_t y);
  const FeatureRecord* GetFeatureLeftmost();
  void ColorFeature(std::int32_t index, std::uint32_t colour);

  BitmapImageClass image;
  std::int32_t numFeatures = 0;
  std::optional<std::vector<FeatureRecord>> features;  // none until computed

 private:
  void EnsureFeatures();
};

// Joins runs into regions as the scan-order merging does: returns, for each
// run, the label its region ends with. Runs must be in scan order.
std::vector<std::uint32_t> MergeChordLabels(const std::vector<Chord>& runs);

// Bounding box, moments, centroid and orientation of a feature from its runs.
void MeasureFeature(FeatureRecord& feature);

// Run and boundary-point counts, boundary points and measurements of a
// feature whose box and runs (in scan order) are set.
void FinishFeature(FeatureRecord& feature);

// The feature made of the pixels of the box (inclusive) that inside(x, y)
// accepts, cut into runs in scan order and finished; its ID is 0.
template <typename Inside>
FeatureRecord FeatureInBox(std::int16_t left, std::int16_t top, std::int16_t right,
                           std::int16_t bottom, Inside inside) {
  FeatureRecord f;
  f.left = left;
  f.top = top;
  f.right = right;
  f.bottom = bottom;
  for (std::int32_t y = top; y <= bottom; ++y) {
    std::int32_t runStart = -1;
    for (std::int32_t x = left; x <= right + 1; ++x) {
      const bool in = x <= right && inside(x, y);
      if (in && runStart < 0) runStart = x;
      if (!in && runStart >= 0) {
        f.chords.push_back({0, static_cast<std::int16_t>(y), static_cast<std::int16_t>(runStart),
                            static_cast<std::int16_t>(x - 1)});
        runStart = -1;
      }
    }
  }
  FinishFeature(f);
  return f;
}

// A centroid coordinate from the box edge, the single-precision sum of the
// pixels' offsets from it and the area, as the measurement forms it.
inline double CentroidFromSum(std::int32_t edge, float offsetSum, double area) {
  return static_cast<double>(edge + static_cast<long double>(offsetSum) / area);
}
