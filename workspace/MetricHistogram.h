#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CometRecords.h"

// The bucket counts of one metric over the undeleted comets: N buckets
// spanning the data set's minimum and range of that metric (a range of 0
// is set to 1 first, in the data set). A value past the maximum lands in the
// last bucket, one below the minimum (a comet outside the statistics) in the
// first.
std::vector<float> ComputeHistogram(WellRecord& well, int metric, std::uint16_t buckets);

// The bucket count as the preferences hold it: the text's leading integer
// taken as a 16-bit unsigned number ("100" -> 100, "65537" -> 1, "x" -> 0).
std::uint16_t HistogramBucketCount(const std::string& text);
// Counts below this draw nothing; the error line then reads
// HistogramBucketCountError(text) with the text as typed.
constexpr std::uint16_t kMinHistogramBuckets = 2;
std::string HistogramBucketCountError(const std::string& text);

// The bucket of the mean and the number of buckets per standard deviation,
// each rounded to single precision, floored and kept as 16-bit unsigned.
struct HistogramBands {
  std::uint16_t mean = 0;
  std::uint16_t spread = 0;
};
HistogramBands ComputeHistogramBands(const WellRecord& well, int metric, std::uint16_t buckets);

// The colour (0xBBGGRR) of bar i: green within one spread of the mean
// bucket, olive yellow within two, dark red within three, black beyond.
std::uint32_t HistogramBarColour(int bucket, HistogramBands bands);

// The colour of the review area around the histogram.
constexpr std::uint32_t kReviewPanelColour = 0xF0F0F0;

// What the histogram picture shows: `buckets` one-pixel columns of `height`
// pixels on the panel colour, bar i drawn from the bottom up to
// heights[i] pixels in colours[i]. Nothing is drawn (the previous picture
// stays) when `drawn` is false; `error` then holds the error text and the
// drawing ends with the result word "FAILURE".
struct HistogramPicture {
  bool drawn = false;
  std::string error;
  const char* resultWord = "FAILURE";
  int width = 0;
  int height = 0;
  std::vector<int> heights;
  std::vector<std::uint32_t> colours;
};

// The histogram of one metric, for a bucket count as typed and a picture
// height. A data set without statistics of that metric draws no bars.
HistogramPicture PlanHistogram(WellRecord& well, int metric, const std::string& bucketText,
                               int height);
