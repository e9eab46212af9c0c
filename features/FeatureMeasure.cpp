// Measurement of a feature from its runs.
#include <cmath>

#include "BinaryImage.h"

namespace {

constexpr double kTwoTo24 = 16777216.0;

// Adds the integer terms first, first + step, ... (count of them, all
// non-negative; squared when `square`) to a single-precision sum one at a time, each addition
// rounded to single precision. While the sum stays within 2^24 every
// addition is exact, so the terms are added at once.
void AddTerms(float& sum, std::int64_t total, std::int64_t count, std::int64_t first,
              std::int64_t step, bool square) {
  if (static_cast<double>(sum) + static_cast<double>(total) <= kTwoTo24) {
    sum = static_cast<float>(static_cast<double>(sum) + static_cast<double>(total));
    return;
  }
  for (std::int64_t k = 0; k < count; ++k) {
    const std::int64_t v = first + k * step;
    const std::int64_t term = square ? v * v : v;
    sum = static_cast<float>(static_cast<double>(sum) + static_cast<double>(term));
  }
}

}  // namespace

void MeasureFeature(FeatureRecord& f) {
  f.width = static_cast<std::int16_t>(f.right - f.left + 1);
  f.height = static_cast<std::int16_t>(f.bottom - f.top + 1);

  // Sums over every pixel of dx, dy and their products (dx, dy relative to
  // the box), accumulated in single precision in scan order.
  float sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  double area = 0;
  for (const Chord& c : f.chords) {
    const std::int64_t a = c.colStart - f.left, b = c.colEnd - f.left;
    const std::int64_t n = b - a + 1;
    const std::int64_t dy = c.row - f.top;
    const std::int64_t sumDx = (a + b) * n / 2;
    const std::int64_t sumDx2 = b * (b + 1) * (2 * b + 1) / 6 - (a - 1) * a * (2 * a - 1) / 6;
    AddTerms(sx, sumDx, n, a, 1, false);
    AddTerms(sy, dy * n, n, dy, 0, false);
    AddTerms(sxx, sumDx2, n, a, 1, true);
    AddTerms(syy, dy * dy * n, n, dy, 0, true);
    AddTerms(sxy, dy * sumDx, n, a * dy, dy, false);
    area += static_cast<double>(n);
  }
  f.area = area;
  f.centerX = (f.left + f.right) * 0.5;
  f.centerY = (f.top + f.bottom) * 0.5;
  f.centroidX = CentroidFromSum(f.left, sx, area);
  f.centroidY = CentroidFromSum(f.top, sy, area);

  const long double a = area;
  const float mxx = static_cast<float>(sxx - static_cast<long double>(sx) * sx / a);
  const float myy = static_cast<float>(syy - static_cast<long double>(sy) * sy / a);
  const float mxy = static_cast<float>(sxy - static_cast<long double>(sx) * sy / a);
  const long double diff = static_cast<long double>(mxx) - myy;
  const double r = static_cast<double>(std::sqrt(diff * diff + 4.0L * mxy * mxy));
  const double numerator = static_cast<double>(r + diff);
  const double denominator = 2.0 * mxy;
  const double angle =
      denominator == 0
          ? 0.0
          : static_cast<double>(std::atan(static_cast<long double>(numerator) / denominator) *
                                    57.29577951L +
                                90.0L);
  f.orientation = angle > 90 ? 180 - angle : 0.0 - angle;  // 0 stays +0
  f.aspectRatio = f.height == 0 ? 0.0 : static_cast<double>(f.width) / f.height;
  f.perimeter = f.caliperMin = f.caliperMax = 0;
}

void FinishFeature(FeatureRecord& f) {
  f.numChords = static_cast<std::int32_t>(f.chords.size());
  f.numBoundaryPoints = 2u * static_cast<std::uint32_t>(f.chords.size());
  f.boundaryPoints.clear();
  f.boundaryPoints.reserve(f.numBoundaryPoints);
  for (const Chord& c : f.chords) f.boundaryPoints.push_back({c.colStart, c.row});
  for (auto c = f.chords.rbegin(); c != f.chords.rend(); ++c)
    f.boundaryPoints.push_back({c->colEnd, c->row});
  MeasureFeature(f);
}
