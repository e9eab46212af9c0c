// Cleaning the two-level raster and looking its features up.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "BinaryImage.h"
#include "EventLog.h"
#include "PixelAccess.h"

namespace {

const std::string kClass = "BinaryImageClass::";

std::string IndexOf(std::int32_t index, std::int32_t count) {
  return std::to_string(index) + " of " + std::to_string(count);
}

// Whether the row holds only 0 and 255 (which v + 1 wraps to 1 and 0).
bool IsTwoLevelRow(const std::uint8_t* row, int width) {
  std::uint8_t other = 0;
  for (int x = 0; x < width; ++x) other |= static_cast<std::uint8_t>(row[x] + 1) & 0xFE;
  return other == 0;
}

inline std::uint8_t Least(std::uint8_t a, std::uint8_t b) {
  return a < b ? a : b;
}

// The pixels are cleared left to right, each seeing its left neighbour as
// already cleared or not. In a row of only 0 and 255 that never matters: a
// pixel is cleared only when its right neighbour is non-zero, that is 255,
// which stays 255 whatever its left neighbour. So such a row is cleared all
// at once from its state before (`before`).
void ClearIsolatedAtOnce(const std::uint8_t* __restrict below,
                         const std::uint8_t* __restrict before,
                         const std::uint8_t* __restrict above, std::uint8_t* __restrict row,
                         int width) {
  for (int x = 1; x + 1 < width; ++x) {
    // Surrounded when the least of the eight neighbours is not 0.
    const std::uint8_t least =
        Least(Least(Least(below[x - 1], below[x]), Least(below[x + 1], before[x - 1])),
              Least(Least(before[x + 1], above[x - 1]), Least(above[x], above[x + 1])));
    row[x] = static_cast<std::uint8_t>(before[x] | (least == 0 ? 0 : 255));
  }
}

}  // namespace

void BinaryImageClass::RemoveIsolatedPixels() {
  LogMessage("entering " + kClass + "RemoveIsolatedPixels()...");
  const int width = image.IsEmpty() ? 0 : image.Bitmap.bmWidth;
  const int height = image.IsEmpty() ? 0 : image.Bitmap.bmHeight;
  std::vector<std::uint8_t> before(static_cast<std::size_t>(std::max(width, 0)));
  for (int r = 1; r + 1 < height; ++r) {
    const std::uint8_t* below = image.GetScanLine(r - 1);
    std::uint8_t* row = image.GetScanLine(r);
    const std::uint8_t* above = image.GetScanLine(r + 1);
    if (IsTwoLevelRow(row, width)) {
      std::memcpy(before.data(), row, before.size());
      ClearIsolatedAtOnce(below, before.data(), above, row, width);
      continue;
    }
    for (int x = 1; x + 1 < width; ++x) {
      if (row[x] == 255) continue;  // already what clearing would make it
      if (below[x - 1] && below[x] && below[x + 1] && row[x - 1] && row[x + 1] && above[x - 1] &&
          above[x] && above[x + 1])
        row[x] = 255;
    }
  }
  LogMessage("exiting  " + kClass + "RemoveIsolatedPixels()...");
}

void BinaryImageClass::RemoveFeaturesOnEdge() {
  LogMessage("entering " + kClass + "RemoveFeaturesOnEdge()...");
  EnsureFeatures();
  const int width = image.Bitmap.bmWidth, height = image.Bitmap.bmHeight;
  for (std::int32_t i = 0; i < numFeatures; ++i) {
    const FeatureRecord* f = GetFeature(i);
    if (f->left < 1 || f->top < 1 || f->right > width - 2 || f->bottom > height - 2)
      ColorFeature(i, 0xFFFFFF);
  }
  ComputeFeatures();
  LogMessage("exiting  " + kClass + "RemoveFeaturesOnEdge()...");
}

const FeatureRecord* BinaryImageClass::GetFeature(std::int32_t index) {
  LogMessage("entering " + kClass + "GetFeature(" + std::to_string(index) + ")...");
  EnsureFeatures();
  if (index < 0 || index >= numFeatures) {
    LogMessage("ERROR: Index out of range!!!");
    if (numFeatures == 0) LogMessage("WARNING - No features in this image!!!");
    LogMessage("exiting  " + kClass + "GetFeature(FAILURE)...");
    return nullptr;
  }
  LogMessage("exiting  " + kClass + "GetFeature(" + IndexOf(index, numFeatures) + ")...");
  return &(*features)[static_cast<std::size_t>(index)];
}

const FeatureRecord* BinaryImageClass::GetFeature(std::int32_t x, std::int32_t y) {
  LogMessage("entering " + kClass + "GetFeature(" + std::to_string(x) + ", " + std::to_string(y) +
             ")...");
  EnsureFeatures();
  for (std::int32_t i = 0; i < numFeatures; ++i) {
    const FeatureRecord& f = (*features)[static_cast<std::size_t>(i)];
    if (x < f.left || x > f.right || y < f.top || y > f.bottom) continue;
    for (const Chord& c : f.chords) {
      if (c.row == y && c.colStart <= x && x <= c.colEnd) {
        LogMessage("exiting  " + kClass + "GetFeature(" + IndexOf(i, numFeatures) + ")...");
        return &f;
      }
    }
  }
  LogMessage("exiting  " + kClass + "GetFeature(NONE)...");
  return nullptr;
}

const FeatureRecord* BinaryImageClass::GetFeatureLeftmost() {
  LogMessage("entering " + kClass + "GetFeatureLeftmost()...");
  EnsureFeatures();
  std::int32_t best = -1;
  std::int32_t bestLeft = image.Bitmap.bmWidth + 1;
  for (std::int32_t i = 0; i < numFeatures; ++i) {
    const FeatureRecord& f = (*features)[static_cast<std::size_t>(i)];
    if (f.left < bestLeft) {
      bestLeft = f.left;
      best = i;
    }
  }
  LogMessage("exiting  " + kClass + "GetFeatureLeftmost(" + IndexOf(best, numFeatures) + ")...");
  return best < 0 ? nullptr : &(*features)[static_cast<std::size_t>(best)];
}

void BinaryImageClass::ColorFeature(std::int32_t index, std::uint32_t colour) {
  LogMessage("entering " + kClass + "ColorFeature(" + std::to_string(index) + ", " +
             std::to_string(colour) + ")...");
  EnsureFeatures();
  if (index >= 0 && index < numFeatures) {
    const std::vector<Chord>& chords = (*features)[static_cast<std::size_t>(index)].chords;
    if (EventLogEnabled() || image.IsEmpty()) {
      // Traced, the points are drawn one by one as the trace shows them.
      for (const Chord& c : chords)
        for (int x = c.colStart; x <= c.colEnd; ++x) image.DrawPoint(x, c.row, colour);
    } else {
      // The same points: each run's pixels inside the image.
      const int width = image.Bitmap.bmWidth, height = image.Bitmap.bmHeight;
      for (const Chord& c : chords) {
        if (c.row < 0 || c.row >= height) continue;
        std::uint8_t* row = image.GetScanLine(c.row);
        const int last = std::min<int>(c.colEnd, width - 1);
        for (int x = std::max<int>(c.colStart, 0); x <= last; ++x)
          pixel::Set(row, image.BytesPerPixel, x, colour);
      }
    }
  }
  LogMessage("exiting  " + kClass + "ColorFeature()...");
}
