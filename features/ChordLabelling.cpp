// Cutting a two-level raster into runs and joining the runs into regions.
#include <cstring>
#include <numeric>

#include "BinaryImage.h"

namespace {

// The first column from x on whose byte is 0 (set), or width.
int NextSet(const std::uint8_t* row, int x, int width) {
  const void* hit = std::memchr(row + x, 0, static_cast<std::size_t>(width - x));
  return hit == nullptr ? width : static_cast<int>(static_cast<const std::uint8_t*>(hit) - row);
}

// The first column from x on whose byte is not 0 (background), or width.
int NextBackground(const std::uint8_t* row, int x, int width) {
  for (; x + 8 <= width; x += 8) {
    std::uint64_t word;
    std::memcpy(&word, row + x, 8);
    if (word != 0) break;
  }
  while (x < width && row[x] == 0) ++x;
  return x;
}

// Union-find over runs; each root carries its region's label.
class Regions {
 public:
  explicit Regions(std::size_t n) : parent_(n), label_(n) {
    std::iota(parent_.begin(), parent_.end(), 0u);
    std::iota(label_.begin(), label_.end(), 1u);
  }

  std::uint32_t Find(std::uint32_t run) {
    while (parent_[run] != run) {
      parent_[run] = parent_[parent_[run]];
      run = parent_[run];
    }
    return run;
  }

  // Run i's region joins run d's: the joined region takes d's region label.
  void Join(std::uint32_t i, std::uint32_t d) {
    const std::uint32_t ri = Find(i), rd = Find(d);
    if (ri == rd) return;
    const std::uint32_t label = label_[rd];
    // The lower-numbered root stays the root; the label is what matters.
    const std::uint32_t root = std::min(ri, rd), child = std::max(ri, rd);
    parent_[child] = root;
    label_[root] = label;
  }

  std::uint32_t Label(std::uint32_t run) { return label_[Find(run)]; }

 private:
  std::vector<std::uint32_t> parent_;
  std::vector<std::uint32_t> label_;
};

}  // namespace

std::vector<Chord> BinaryImageClass::FindChords() const {
  std::vector<Chord> runs;
  if (image.IsEmpty()) return runs;
  const int width = image.Bitmap.bmWidth, height = image.Bitmap.bmHeight;
  runs.reserve(static_cast<std::size_t>(height) * 4);
  for (int r = 0; r < height; ++r) {
    const std::uint8_t* row = image.GetScanLine(r);
    for (int x = NextSet(row, 0, width); x < width; x = NextSet(row, x, width)) {
      const int end = NextBackground(row, x, width);
      runs.push_back({static_cast<std::uint32_t>(runs.size() + 1), static_cast<std::int16_t>(r),
                      static_cast<std::int16_t>(x), static_cast<std::int16_t>(end - 1)});
      x = end;
    }
  }
  return runs;
}

std::vector<std::uint32_t> MergeChordLabels(const std::vector<Chord>& runs) {
  const auto n = static_cast<std::uint32_t>(runs.size());
  Regions regions(n);
  // Walk the rows; for each run, the runs of the row above that share a
  // column with it form one contiguous stretch, joined from right to left as
  // the nearest-first look-back meets them.
  std::uint32_t prevStart = 0, prevEnd = 0, rowStart = 0;
  while (rowStart < n) {
    const int row = runs[rowStart].row;
    std::uint32_t rowEnd = rowStart;
    while (rowEnd < n && runs[rowEnd].row == row) ++rowEnd;
    const bool above = prevEnd > prevStart && runs[prevStart].row == row - 1;
    std::uint32_t first = prevStart;
    for (std::uint32_t i = rowStart; above && i < rowEnd; ++i) {
      while (first < prevEnd && runs[first].colEnd < runs[i].colStart) ++first;
      std::uint32_t last = first;
      while (last < prevEnd && runs[last].colStart <= runs[i].colEnd) ++last;
      for (std::uint32_t d = last; d > first; --d) regions.Join(i, d - 1);
    }
    prevStart = rowStart;
    prevEnd = rowEnd;
    rowStart = rowEnd;
  }
  std::vector<std::uint32_t> labels(n);
  for (std::uint32_t i = 0; i < n; ++i) labels[i] = regions.Label(i);
  return labels;
}
