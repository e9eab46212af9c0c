#include "CometImage.h"

#include <algorithm>
#include <string>

#include "BinaryImage.h"
#include "EventLog.h"

namespace {

const std::string kClass = "CometImageClass::";

// trunc(centroidX) of the leftmost feature of a thresholded copy, or
// nothing when it has no feature.
std::optional<std::int32_t> LeftmostCentroid(BinaryImageClass& binary) {
  if (binary.ComputeFeatures() == 0) return std::nullopt;
  return static_cast<std::int32_t>(binary.GetFeatureLeftmost()->centroidX);
}

// First and last index with a non-zero entry; unchanged when there is none.
template <typename T>
void Extent(const std::vector<T>& profile, std::int64_t& first, std::int64_t& last) {
  auto nonZero = [](T v) { return v != 0; };
  auto begin = std::find_if(profile.begin(), profile.end(), nonZero);
  if (begin == profile.end()) return;
  first = begin - profile.begin();
  last = static_cast<std::int64_t>(profile.size()) - 1 -
         (std::find_if(profile.rbegin(), profile.rend(), nonZero) - profile.rbegin());
}

float Quotient(float numerator, float denominator) {
  return static_cast<float>(static_cast<double>(numerator) / denominator);
}

}  // namespace

CometImageClass::CometImageClass(std::int32_t width, std::int32_t height)
    : Image(std::make_unique<BitmapImageClass>(width, height, 8)) {
  LogMessage("entering " + kClass + "CometImageClass(" + std::to_string(width) + ", " +
             std::to_string(height) + ")...");
  SizeProfiles();
  LogMessage("exiting  " + kClass + "CometImageClass()...");
}

CometImageClass::CometImageClass(const std::string& fileName)
    : Image(std::make_unique<BitmapImageClass>(fileName)) {
  LogMessage("entering " + kClass + "CometImageClass(" + fileName + ")...");
  SizeProfiles();
  LogMessage("exiting  " + kClass + "CometImageClass()...");
}

CometImageClass::~CometImageClass() {
  LogMessage("entering ~" + kClass + "CometImageClass()...");
  Image.reset();
  LogMessage("exiting  ~" + kClass + "CometImageClass()...");
}

void CometImageClass::SizeProfiles() {
  ColumnCount.assign(static_cast<std::size_t>(std::max(Width(), 0)), 0);
  ColumnSum.assign(ColumnCount.size(), 0);
  RowCount.assign(static_cast<std::size_t>(std::max(Height(), 0)), 0);
}

void CometImageClass::ComputeProfiles() {
  LogMessage("entering " + kClass + "ComputeProfiles()...");
  SizeProfiles();
  if (!Image->IsEmpty()) {
    const int bytes = Image->BytesPerPixel;
    for (int r = 0; r < Height(); ++r) {
      const std::uint8_t* row = Image->GetScanLine(r);
      for (int c = 0; c < Width(); ++c) {
        const std::uint8_t v = row[c * bytes];
        if (v == 0) continue;
        ++ColumnCount[c];
        ++RowCount[r];
        ColumnSum[c] += v;
      }
    }
  }
  LogMessage("exiting  " + kClass + "ComputeProfiles()...");
}

std::int32_t CometImageClass::FindHeadCenter(float* metrics, int option) {
  LogMessage("entering " + kClass + "FindHeadCenter(" + std::to_string(option) + ")...");
  const std::int32_t width = Width(), height = Height();
  // The brightest column (the first of equals), column 0 when all are dark.
  const std::int32_t start =
      ColumnSum.empty()
          ? 0
          : static_cast<std::int32_t>(std::max_element(ColumnSum.begin(), ColumnSum.end()) -
                                      ColumnSum.begin());
  std::int32_t head = start;
  if (!Image->IsEmpty() && width > 0 && height > 0) {
    BitmapImageClass blurred(*Image);
    for (int pass = 0; pass < 5; ++pass) blurred.Blur5x5();
    const float ratio = static_cast<float>(width) / static_cast<float>(height);
    if (ratio < 1.1) {
      // Round: the leftmost bright region.
      BinaryImageClass binary(blurred);
      binary.image.ThresholdGRAY(127, 255);
      head = LeftmostCentroid(binary).value_or(start);
    } else {
      const std::int32_t half = static_cast<std::int32_t>(width * 0.5);
      if (start > half) {
        head = DescendingHeadSearch(blurred, start, half);
      } else {
        BinaryImageClass binary(blurred);
        binary.image.ThresholdPercentileGRAY(0.001f);
        const std::int32_t candidate = LeftmostCentroid(binary).value_or(start);
        if (std::abs(candidate - start) > 2) head = candidate;
      }
    }
  }
  if (head < 2) head = 2;
  MeasureHeadAndTail(metrics, head);
  LogMessage("exiting  " + kClass + "FindHeadCenter(" + std::to_string(head) + ")...");
  return head;
}

void CometImageClass::MeasureHeadAndTail(float* metrics, std::int32_t head) {
  LogMessage("entering " + kClass + "MeasureHeadAndTail(" + std::to_string(head) + ")...");
  const std::int64_t w = static_cast<std::int64_t>(ColumnCount.size());
  const std::int64_t h = std::clamp<std::int64_t>(head, 0, std::max<std::int64_t>(w - 1, 0));

  // Background levels and totals over every column.
  std::uint32_t cmin = 0, smin = 0, smax = 0, area = 0, intensity = 0;
  if (w > 0) {
    cmin = *std::min_element(ColumnCount.begin(), ColumnCount.end());
    smin = *std::min_element(ColumnSum.begin(), ColumnSum.end());
    smax = *std::max_element(ColumnSum.begin(), ColumnSum.end());
  }
  for (std::int64_t j = 0; j < w; ++j) {
    area += ColumnCount[j];
    intensity += ColumnSum[j];
  }

  // The head mirrored about its centre, never more than a column holds.
  std::vector<std::uint32_t> headSum(static_cast<std::size_t>(w), 0);
  std::vector<std::uint32_t> headCount(static_cast<std::size_t>(w), 0);
  for (std::int64_t j = 0; j < h; ++j) {
    headSum[j] = ColumnSum[j] - smin;
    headCount[j] = ColumnCount[j] - cmin;
    const std::int64_t m = 2 * h - 1 - j;
    if (m < w) {
      headSum[m] = std::min(ColumnSum[j] - smin, ColumnSum[m] - smin);
      headCount[m] = std::min<std::uint32_t>(ColumnCount[j] - cmin, ColumnCount[m] - cmin);
    }
  }
  std::vector<std::uint32_t> tailSum(static_cast<std::size_t>(w), 0);
  std::uint32_t tailArea = 0, tailIntensity = 0, olive = 0;
  for (std::int64_t j = 0; j < w; ++j) {
    tailSum[j] = ColumnSum[j] - headSum[j] - smin;
    const std::int64_t count = std::int64_t{ColumnCount[j]} - headCount[j] - cmin;
    tailArea += static_cast<std::uint32_t>(std::max<std::int64_t>(count, 0));
    tailIntensity += tailSum[j];
    if (j > h) olive += tailSum[j] * static_cast<std::uint32_t>(j - h);
  }

  // Extents; a profile without lit entries keeps the previous extent.
  std::int64_t first = -1, last = -1;
  Extent(ColumnCount, first, last);
  const auto length = static_cast<std::uint32_t>(last - first + 1);
  Extent(RowCount, first, last);
  const auto cometHeight = static_cast<std::uint32_t>(last - first + 1);
  Extent(headCount, first, last);
  const auto headDiameter = static_cast<std::uint32_t>(last - first + 1);

  float* m = metrics;
  m[0] = 0;
  m[1] = static_cast<float>(length);
  m[2] = static_cast<float>(cometHeight);
  m[3] = static_cast<float>(area == 0 ? 1 : area);
  m[4] = static_cast<float>(intensity == 0 ? 1 : intensity);
  m[6] = static_cast<float>(headDiameter);
  m[11] = static_cast<float>(headDiameter > length ? 0 : length - headDiameter);
  m[12] = static_cast<float>(tailArea == 0 ? 1 : tailArea);
  m[13] = static_cast<float>(tailIntensity == 0 ? 1 : tailIntensity);
  m[5] = Quotient(m[4], m[3]);
  m[7] = m[3] - m[12];
  m[8] = m[4] - m[13];
  if (m[7] != 0) m[9] = Quotient(m[8], m[7]);
  if (m[4] != 0) {
    m[10] = Quotient(m[8], m[4]);
    m[15] = Quotient(m[13], m[4]);
    m[17] = static_cast<float>(static_cast<double>(olive) / m[4]);
  }
  m[16] = static_cast<float>(static_cast<double>(m[15]) * m[11]);
  if (m[12] > 0) m[14] = Quotient(m[13], m[12]);

  DrawProfilePlot(headSum, tailSum, smin, smax);
  LogMessage("exiting  " + kClass + "MeasureHeadAndTail()...");
}

void CometImageClass::DrawProfilePlot(const std::vector<std::uint32_t>& headSum,
                                      const std::vector<std::uint32_t>& tailSum, std::uint32_t smin,
                                      std::uint32_t smax) {
  if (Image->IsEmpty()) return;
  if (Image->BytesPerPixel == 1) {
    // The colour picture takes each pixel's colour from the grey image's table.
    auto colour = std::make_unique<BitmapImageClass>(Width(), Height(), 24);
    for (int r = 0; r < Height(); ++r) {
      const std::uint8_t* src = Image->GetScanLine(r);
      std::uint8_t* dst = colour->GetScanLine(r);
      for (int c = 0; c < Width(); ++c, dst += 3) {
        const RgbQuad& q = Image->bmInfo.CLUT[src[c]];
        dst[0] = q.rgbBlue;
        dst[1] = q.rgbGreen;
        dst[2] = q.rgbRed;
      }
    }
    Image = std::move(colour);
  }
  const std::uint32_t range = std::max<std::uint32_t>(smax - smin, 1);
  const long double scale = static_cast<long double>(Height()) / range;
  auto row = [&](std::uint32_t value) { return static_cast<std::int32_t>(scale * value); };
  for (std::int32_t j = 0; j + 1 < Width(); ++j) {
    Image->DrawLine(j, row(ColumnSum[j] - smin), j + 1, row(ColumnSum[j + 1] - smin), 0x00FFFF);
    Image->DrawLine(j, row(headSum[j]), j + 1, row(headSum[j + 1]), 0xFF00FF);
    Image->DrawLine(j, row(tailSum[j]), j + 1, row(tailSum[j + 1]), 0xFFFF00);
  }
}
