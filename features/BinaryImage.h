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

// A centroid coordinate from the box edge, the single-precision sum of the
// pixels' offsets from it and the area, as the measurement forms it.
inline double CentroidFromSum(std::int32_t edge, float offsetSum, double area) {
  return static_cast<double>(edge + static_cast<long double>(offsetSum) / area);
}
