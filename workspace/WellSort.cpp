#include "WellSort.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Key {
  float value;
  std::uint32_t index;
};

// Sorts one run of keys by value, ties by their first position.
template <typename Before>
void SortRun(Key* first, Key* last, Before before) {
  const auto byValue = [&](const Key& x, const Key& y) { return before(x.value, y.value); };
  if (std::is_sorted(first, last, byValue)) return;
  std::sort(first, last, [&](const Key& x, const Key& y) {
    if (before(x.value, y.value)) return true;
    if (before(y.value, x.value)) return false;
    return x.index < y.index;
  });
}

}  // namespace

void SortThisWell(WellRecord& well, int metric, bool descending, std::int32_t& undoCometIndex) {
  if (well.Comets == nullptr) return;
  const std::uint32_t n = std::min(well.CometCount, WellRecord::kMaxComets);
  if (n < 2) return;
  std::vector<Key> keys(n);
  for (std::uint32_t i = 0; i < n; ++i) keys[i] = {well.Comets[i].Metrics[metric], i};
  // Values that are not numbers never move and nothing passes them.
  for (std::uint32_t begin = 0; begin < n;) {
    if (std::isnan(keys[begin].value)) {
      ++begin;
      continue;
    }
    std::uint32_t end = begin + 1;
    while (end < n && !std::isnan(keys[end].value)) ++end;
    if (descending)
      SortRun(keys.data() + begin, keys.data() + end, [](float a, float b) { return a > b; });
    else
      SortRun(keys.data() + begin, keys.data() + end, [](float a, float b) { return a < b; });
    begin = end;
  }
  std::uint32_t firstMoved = 0;
  while (firstMoved < n && keys[firstMoved].index == firstMoved) ++firstMoved;
  if (firstMoved == n) return;
  std::vector<CometRecord> moved(n - firstMoved);
  for (std::uint32_t k = firstMoved; k < n; ++k) moved[k - firstMoved] = well.Comets[keys[k].index];
  std::copy(moved.begin(), moved.end(), well.Comets.get() + firstMoved);
  if (undoCometIndex >= 0 && static_cast<std::uint32_t>(undoCometIndex) < n) {
    for (std::uint32_t k = firstMoved; k < n; ++k)
      if (keys[k].index == static_cast<std::uint32_t>(undoCometIndex)) {
        undoCometIndex = static_cast<std::int32_t>(k);
        break;
      }
  }
}
