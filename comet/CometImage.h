#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BitmapImage.h"

// The picture of one comet, lying with its head on the left, and its column
// and row profiles. A pixel is lit when its first byte is non-zero. The head
// centre is the column about which the head is mirror-symmetric; whatever a
// column holds beyond the mirrored head is tail.
class CometImageClass {
 public:
  static constexpr int kMetricCount = 28;

  CometImageClass(std::int32_t width, std::int32_t height);
  // A stored comet thumbnail (BMP).
  explicit CometImageClass(const std::string& fileName);
  ~CometImageClass();
  CometImageClass(const CometImageClass&) = delete;
  CometImageClass& operator=(const CometImageClass&) = delete;

  void ComputeProfiles();

  // Finds the head centre (at least column 2), measures with it and returns
  // it. `option` is carried for the callers and changes nothing.
  std::int32_t FindHeadCenter(float* metrics, int option);

  // Splits head and tail about the given column, fills the 18 metrics
  // (uncalibrated) and draws the profile plot into a 24-bit Image.
  void MeasureHeadAndTail(float* metrics, std::int32_t head);

  std::int32_t Width() const { return Image->Bitmap.bmWidth; }
  std::int32_t Height() const { return Image->Bitmap.bmHeight; }

  std::unique_ptr<BitmapImageClass> Image;
  std::vector<std::uint16_t> ColumnCount;
  std::vector<std::int16_t> RowCount;
  std::vector<std::uint32_t> ColumnSum;

 private:
  void SizeProfiles();
  void DrawProfilePlot(const std::vector<std::uint32_t>& headSum,
                       const std::vector<std::uint32_t>& tailSum, std::uint32_t smin,
                       std::uint32_t smax);
};

// The descending-threshold head search on the blurred comet: for levels
// 254 down to 1, the truncated centroid column of the leftmost feature of
// the pixels at or above the level, until it lies at or left of `half`.
// Returns `start` when no level yields a feature. Gives exactly the result
// of labelling every level afresh, without doing so.
std::int32_t DescendingHeadSearch(const BitmapImageClass& blurred, std::int32_t start,
                                  std::int32_t half);
