// The descent of the automatic threshold, labelled or grown.
#include "LevelDescent.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "LevelRegions.h"

BinaryImageClass& LabelledLevels::At(int level) {
  auto& binary = levels_[level];
  if (!binary) {
    binary = std::make_unique<BinaryImageClass>(grey_);
    binary->image.ThresholdGRAY(static_cast<std::uint8_t>(level), 255);
    binary->ComputeFeatures();
  }
  return *binary;
}

const FeatureRecord* LabelledLevels::Descend(const FeatureRecord& s, int cutoff, int mode) {
  const auto x = static_cast<std::int32_t>(s.centroidX);
  const auto y = static_cast<std::int32_t>(s.centroidY);
  int l = cutoff;
  while (true) {
    const FeatureRecord* p = At(l).GetFeature(x, y);
    --l;
    if (l <= mode + 1 || p == nullptr || std::fabs(p->centroidY - s.centroidY) >= 4.0) break;
  }
  return At(l + 1).GetFeature(x, y);
}

namespace {

constexpr std::size_t kBuffersKept = std::size_t{64} << 20;

struct Walker {
  std::int32_t feature;  // index at the cutoff level
  std::int32_t x, y;     // the followed pixel
  double centroidY;      // the cutoff feature's
};

}  // namespace

DescentEnds DescendByGrowing(const BitmapImageClass& grey, const BinaryImageClass& atCutoff,
                             int cutoff, int mode,
                             const std::function<bool(const FeatureRecord&)>& follow) {
  DescentEnds ends;
  const std::int32_t n = atCutoff.features ? atCutoff.numFeatures : 0;
  ends.of.assign(static_cast<std::size_t>(n), -1);
  std::vector<Walker> walking;
  for (std::int32_t i = 0; i < n; ++i) {
    const FeatureRecord& s = (*atCutoff.features)[static_cast<std::size_t>(i)];
    if (follow(s))
      walking.push_back({i, static_cast<std::int32_t>(s.centroidX),
                         static_cast<std::int32_t>(s.centroidY), s.centroidY});
  }
  if (walking.empty()) return ends;

  thread_local LevelRegions regions;
  regions.Reset(grey, std::min(cutoff, mode + 2));
  while (regions.Level() > cutoff) regions.Lower();
  // Regions met at the current level: their centroids and ends, each found once.
  std::unordered_map<std::int32_t, double> centroids;
  std::unordered_map<std::int32_t, std::int32_t> ended;
  while (!walking.empty()) {
    const int level = regions.Level();
    centroids.clear();
    ended.clear();
    std::size_t kept = 0;
    for (const Walker& w : walking) {
      const std::int32_t region = regions.RegionAt(w.x, w.y);
      const bool found = region >= 0 && regions.IsFeature(region);
      bool stop = level - 1 <= mode + 1 || !found;
      if (!stop) {
        auto c = centroids.find(region);
        if (c == centroids.end()) c = centroids.emplace(region, regions.CentroidY(region)).first;
        stop = std::fabs(c->second - w.centroidY) >= 4.0;
      }
      if (!stop) {
        walking[kept++] = w;
        continue;
      }
      if (!found) continue;
      auto e = ended.find(region);
      if (e == ended.end()) {
        e = ended.emplace(region, static_cast<std::int32_t>(ends.features.size())).first;
        ends.features.push_back(regions.Feature(region));
      }
      ends.of[static_cast<std::size_t>(w.feature)] = e->second;
    }
    walking.resize(kept);
    if (!walking.empty()) regions.Lower();
  }
  // Buffers of ordinary fields stay for the next image; those of a huge one
  // would only raise what the next steps need at their peak.
  if (regions.BufferBytes() > kBuffersKept) regions.Release();
  return ends;
}
