// Regions of a falling grey level, grown by union-find.
#include "LevelRegions.h"

#include <algorithm>

#include "BinaryImage.h"

namespace {
constexpr std::int64_t kExactSum = std::int64_t{1} << 24;
}

void LevelRegions::Reset(const BitmapImageClass& grey, int lowest) {
  const bool usable = !grey.IsEmpty() && grey.BytesPerPixel == 1;
  width_ = usable ? grey.Bitmap.bmWidth : 0;
  height_ = usable ? grey.Bitmap.bmHeight : 0;
  level_ = 256;
  rows_.resize(static_cast<std::size_t>(height_));
  for (std::int32_t y = 0; y < height_; ++y) rows_[y] = grey.GetScanLine(y);
  const std::size_t pixels = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  if (parent_.size() < pixels) parent_.resize(pixels);
  stats_.clear();
  freeSlots_.clear();
  // Thread every pixel that can be reached onto its level's list, in scan order.
  first_.assign(256, -1);
  std::vector<std::int32_t> last(256, -1);
  const int from = std::max(lowest, 0);
  for (std::int32_t y = 0; y < height_; ++y) {
    const std::uint8_t* row = rows_[y];
    for (std::int32_t x = 0; x < width_; ++x) {
      const int v = row[x];
      if (v < from) continue;
      const std::int32_t p = y * width_ + x;
      parent_[p] = -1;
      if (last[v] < 0)
        first_[v] = p;
      else
        parent_[last[v]] = p;
      last[v] = p;
    }
  }
}

std::size_t LevelRegions::BufferBytes() const {
  return parent_.capacity() * sizeof(std::int32_t) + stats_.capacity() * sizeof(Stats) +
         freeSlots_.capacity() * sizeof(std::int32_t) + rows_.capacity() * sizeof(void*);
}

void LevelRegions::Release() {
  *this = LevelRegions();
}

void LevelRegions::Lower() {
  if (level_ == 0) return;
  --level_;
  for (std::int32_t p = first_[level_]; p >= 0;) {
    const std::int32_t next = parent_[p];
    const std::int32_t y = p / width_;
    Add(p, p - y * width_, y);
    p = next;
  }
}

std::int32_t LevelRegions::Find(std::int32_t p) {
  while (true) {
    const std::int32_t q = parent_[p];
    if (q < 0) return p;
    const std::int32_t r = parent_[q];
    if (r < 0) return q;
    parent_[p] = r;
    p = r;
  }
}

std::int32_t LevelRegions::Join(std::int32_t a, std::int32_t b) {
  if (a == b) return a;
  if (StatsOf(a).size < StatsOf(b).size) std::swap(a, b);
  Stats& into = StatsOf(a);
  const Stats& from = StatsOf(b);
  into.sumY += from.sumY;
  into.size += from.size;
  into.left = std::min(into.left, from.left);
  into.top = std::min(into.top, from.top);
  into.right = std::max(into.right, from.right);
  into.bottom = std::max(into.bottom, from.bottom);
  freeSlots_.push_back(-parent_[b] - 1);
  parent_[b] = a;
  return a;
}

// Pixels of the level being added join their neighbours that came before
// them: any of a higher level, and those of the same level to the left and
// above (earlier in scan order).
void LevelRegions::Add(std::int32_t p, std::int32_t x, std::int32_t y) {
  const int level = level_;
  std::int32_t root = -1;
  auto meet = [&](std::int32_t q) {
    const std::int32_t r = Find(q);
    root = root < 0 ? r : Join(root, r);
  };
  if (x > 0 && Value(x - 1, y) >= level) meet(p - 1);
  if (y > 0 && Value(x, y - 1) >= level) meet(p - width_);
  if (x + 1 < width_ && Value(x + 1, y) > level) meet(p + 1);
  if (y + 1 < height_ && Value(x, y + 1) > level) meet(p + width_);
  const auto x16 = static_cast<std::int16_t>(x), y16 = static_cast<std::int16_t>(y);
  if (root < 0) {
    std::int32_t slot;
    if (freeSlots_.empty()) {
      slot = static_cast<std::int32_t>(stats_.size());
      stats_.push_back({});
    } else {
      slot = freeSlots_.back();
      freeSlots_.pop_back();
    }
    stats_[slot] = {y, 1, x16, y16, x16, y16};
    parent_[p] = -slot - 1;
    return;
  }
  parent_[p] = root;
  Stats& s = StatsOf(root);
  s.sumY += y;
  ++s.size;
  s.left = std::min(s.left, x16);
  s.top = std::min(s.top, y16);
  s.right = std::max(s.right, x16);
  s.bottom = std::max(s.bottom, y16);
}

std::int32_t LevelRegions::RegionAt(std::int32_t x, std::int32_t y) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || Value(x, y) < level_) return -1;
  return Find(y * width_ + x);
}

bool LevelRegions::IsFeature(std::int32_t region) const {
  const Stats& s = StatsOf(region);
  return s.left < s.right;
}

// A region whose row offsets from its top sum to at most 2^24 has an exact
// single-precision running sum, so its centroid follows from the totals; a
// larger one is cut into runs and measured as labelling would.
double LevelRegions::CentroidY(std::int32_t region) {
  const Stats& s = StatsOf(region);
  const std::int64_t offsetSum = s.sumY - std::int64_t{s.top} * s.size;
  if (offsetSum <= kExactSum) return CentroidFromSum(s.top, static_cast<float>(offsetSum), s.size);
  return Feature(region).centroidY;
}

FeatureRecord LevelRegions::Feature(std::int32_t region) {
  const Stats s = StatsOf(region);
  return FeatureInBox(s.left, s.top, s.right, s.bottom, [&](std::int32_t x, std::int32_t y) {
    return Value(x, y) >= level_ && Find(y * width_ + x) == region;
  });
}
