#include "WellSort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <vector>

namespace {

struct Key {
  std::uint32_t order;  // sorts as the value does; equal values give equal keys
  std::uint32_t index;  // the record's first position
};

// An unsigned key that orders as the (non-NaN) value does: increasing, or
// decreasing when `descending`. -0 and +0 share one key, as they compare
// equal.
std::uint32_t OrderKey(float value, bool descending) {
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(value == 0.0f ? 0.0f : value);
  const std::uint32_t key = (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
  return descending ? ~key : key;
}

// Stable sort of one run by key: a radix sort of four byte-wide passes for
// long runs, insertion for short ones. Equal keys keep their order.
void SortRun(Key* first, Key* last, std::vector<Key>& scratch) {
  const std::size_t n = static_cast<std::size_t>(last - first);
  if (std::is_sorted(first, last, [](const Key& a, const Key& b) { return a.order < b.order; }))
    return;
  if (n < 64) {
    for (Key* i = first + 1; i < last; ++i) {
      const Key k = *i;
      Key* j = i;
      for (; j > first && (j - 1)->order > k.order; --j) *j = *(j - 1);
      *j = k;
    }
    return;
  }
  scratch.resize(n);
  Key* from = first;
  Key* to = scratch.data();
  for (int shift = 0; shift < 32; shift += 8) {
    std::array<std::size_t, 257> start{};
    for (std::size_t i = 0; i < n; ++i) ++start[((from[i].order >> shift) & 0xFF) + 1];
    if (start[((from[0].order >> shift) & 0xFF) + 1] == n) continue;  // one byte value: no move
    for (int b = 0; b < 256; ++b) start[b + 1] += start[b];
    for (std::size_t i = 0; i < n; ++i) to[start[(from[i].order >> shift) & 0xFF]++] = from[i];
    std::swap(from, to);
  }
  if (from != first) std::copy(from, from + n, first);
}

}  // namespace

void SortThisWell(WellRecord& well, int metric, bool descending, std::int32_t& undoCometIndex) {
  if (well.Comets == nullptr) return;
  const std::uint32_t n = std::min(well.CometCount, WellRecord::kMaxComets);
  if (n < 2) return;
  std::vector<Key> keys(n);
  std::vector<bool> isNaN(n);
  for (std::uint32_t i = 0; i < n; ++i) {
    const float v = well.Comets[i].Metrics[metric];
    isNaN[i] = std::isnan(v);
    keys[i] = {isNaN[i] ? 0u : OrderKey(v, descending), i};
  }
  // Values that are not numbers never move and nothing passes them.
  std::vector<Key> scratch;
  for (std::uint32_t begin = 0; begin < n;) {
    if (isNaN[begin]) {
      ++begin;
      continue;
    }
    std::uint32_t end = begin + 1;
    while (end < n && !isNaN[end]) ++end;
    SortRun(keys.data() + begin, keys.data() + end, scratch);
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
