// The descending-threshold head search, level by level without labelling
// every level afresh.
//
// Lowering the level only adds pixels, so the regions grow and merge: a
// union-find over the pixels, fed one grey level at a time from the
// brightest down, holds every level's regions. The leftmost feature's
// column can only move left as regions grow. A region whose offsets from
// its left edge sum to at most 2^24 has an exact single-precision running
// sum, so its centroid follows from integer totals; a larger one is cut
// into runs and measured as labelling would. When two features share the
// leftmost column, their order depends on the labels of the scan-order
// merging, and that level is labelled in full.
#include <algorithm>
#include <climits>
#include <vector>

#include "BinaryImage.h"
#include "CometImage.h"

namespace {

constexpr std::int64_t kExactSum = std::int64_t{1} << 24;

class GrowingRegions {
 public:
  GrowingRegions(int width, int height)
      : width_(width),
        parent_(static_cast<std::size_t>(width) * height, -1),
        size_(parent_.size(), 0),
        left_(parent_.size()),
        right_(parent_.size()),
        top_(parent_.size()),
        bottom_(parent_.size()),
        sumX_(parent_.size()) {}

  bool Added(std::int32_t p) const { return parent_[p] >= 0; }

  void Add(std::int32_t p) {
    const std::int32_t x = p % width_, y = p / width_;
    parent_[p] = p;
    size_[p] = 1;
    left_[p] = right_[p] = x;
    top_[p] = bottom_[p] = y;
    sumX_[p] = x;
    if (x > 0 && Added(p - 1)) Join(p, p - 1);
    if (x + 1 < width_ && Added(p + 1)) Join(p, p + 1);
    if (p >= width_ && Added(p - width_)) Join(p, p - width_);
    if (p + width_ < static_cast<std::int32_t>(parent_.size()) && Added(p + width_))
      Join(p, p + width_);
  }

  std::int32_t Find(std::int32_t p) {
    while (parent_[p] != p) {
      parent_[p] = parent_[parent_[p]];
      p = parent_[p];
    }
    return p;
  }

  // A region is a feature when it spans more than one column.
  bool IsFeature(std::int32_t root) const { return left_[root] < right_[root]; }
  std::int32_t Left(std::int32_t root) const { return left_[root]; }

  // trunc(centroidX) of a region, as its measurement as a feature gives it.
  std::int32_t CentroidColumn(std::int32_t root) {
    const std::int64_t offsetSum = sumX_[root] - std::int64_t{left_[root]} * size_[root];
    if (offsetSum <= kExactSum)
      return static_cast<std::int32_t>(
          CentroidFromSum(left_[root], static_cast<float>(offsetSum), size_[root]));
    const FeatureRecord f =
        FeatureInBox(static_cast<std::int16_t>(left_[root]), static_cast<std::int16_t>(top_[root]),
                     static_cast<std::int16_t>(right_[root]),
                     static_cast<std::int16_t>(bottom_[root]), [&](std::int32_t x, std::int32_t y) {
                       const std::int32_t p = y * width_ + x;
                       return Added(p) && Find(p) == root;
                     });
    return static_cast<std::int32_t>(f.centroidX);
  }

 private:
  void Join(std::int32_t a, std::int32_t b) {
    a = Find(a);
    b = Find(b);
    if (a == b) return;
    if (size_[a] < size_[b]) std::swap(a, b);
    parent_[b] = a;
    size_[a] += size_[b];
    sumX_[a] += sumX_[b];
    left_[a] = std::min(left_[a], left_[b]);
    right_[a] = std::max(right_[a], right_[b]);
    top_[a] = std::min(top_[a], top_[b]);
    bottom_[a] = std::max(bottom_[a], bottom_[b]);
  }

  std::int32_t width_;
  std::vector<std::int32_t> parent_, size_, left_, right_, top_, bottom_;
  std::vector<std::int64_t> sumX_;
};

// The level labelled as the search would label it: threshold, features,
// the leftmost one's centroid column.
std::int32_t LabelledCentroidColumn(const BitmapImageClass& blurred, int level) {
  BinaryImageClass binary(blurred);
  binary.image.ThresholdGRAY(static_cast<std::uint8_t>(level), 255);
  binary.ComputeFeatures();
  return static_cast<std::int32_t>(binary.GetFeatureLeftmost()->centroidX);
}

}  // namespace

std::int32_t DescendingHeadSearch(const BitmapImageClass& blurred, std::int32_t start,
                                  std::int32_t half) {
  const int width = blurred.Bitmap.bmWidth, height = blurred.Bitmap.bmHeight;
  if (blurred.IsEmpty() || blurred.BytesPerPixel != 1 || width <= 0 || height <= 0) return start;

  // Pixels by grey level, brightest first.
  std::vector<std::int32_t> first(257, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) ++first[blurred.GetScanLine(y)[x] + 1];
  for (int v = 1; v <= 256; ++v) first[v] += first[v - 1];
  std::vector<std::int32_t> byLevel(static_cast<std::size_t>(width) * height);
  std::vector<std::int32_t> next(first.begin(), first.end() - 1);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) byLevel[next[blurred.GetScanLine(y)[x]]++] = y * width + x;

  GrowingRegions regions(width, height);
  std::int32_t leftmost = INT32_MAX;
  std::int32_t head = start;
  std::vector<std::int32_t> tied;
  for (int level = 254; level >= 1; --level) {
    // Level 254 also takes the pixels at 255.
    const std::int32_t from = first[level], to = level == 254 ? first[256] : first[level + 1];
    for (std::int32_t i = from; i < to; ++i) regions.Add(byLevel[i]);
    for (std::int32_t i = from; i < to; ++i) {
      const std::int32_t root = regions.Find(byLevel[i]);
      if (regions.IsFeature(root)) leftmost = std::min(leftmost, regions.Left(root));
    }
    if (leftmost == INT32_MAX) continue;  // no feature yet: the head stays

    tied.clear();
    for (int y = 0; y < height; ++y) {
      const std::int32_t p = y * width + leftmost;
      if (!regions.Added(p)) continue;
      const std::int32_t root = regions.Find(p);
      if (regions.IsFeature(root) && std::find(tied.begin(), tied.end(), root) == tied.end())
        tied.push_back(root);
    }
    head =
        tied.size() == 1 ? regions.CentroidColumn(tied[0]) : LabelledCentroidColumn(blurred, level);
    if (head <= half) break;
  }
  return head;
}
