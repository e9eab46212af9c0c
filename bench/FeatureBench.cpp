// Labelling a thresholded field of view: about 50 comets in heavy speckle.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "BinaryImage.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 960;

const BitmapImageClass& ThresholdedField() {
  static BitmapImageClass* field = [] {
    auto* image = new BitmapImageClass(kWidth, kHeight, 8);
    image->SetAllPixelsToValue(255);
    std::mt19937 random(42);
    // Comets: a round head with a tail streaming to the right.
    for (int c = 0; c < 50; ++c) {
      const int cx = 60 + static_cast<int>(random() % (kWidth - 220));
      const int cy = 40 + static_cast<int>(random() % (kHeight - 80));
      const int radius = 12 + static_cast<int>(random() % 14);
      const int tail = 30 + static_cast<int>(random() % 90);
      for (int y = -radius; y <= radius; ++y)
        for (int x = -radius; x <= radius + tail; ++x) {
          const double reach = x <= 0 ? radius : radius * (1.0 - 0.6 * x / (radius + tail));
          if (std::hypot(x <= 0 ? x : 0, y) <= reach && (random() % 100) < 97)
            image->GetScanLine(cy + y)[cx + x] = 0;
        }
    }
    // Speckle: one pixel in twelve set at random.
    for (int r = 0; r < kHeight; ++r)
      for (int x = 0; x < kWidth; ++x)
        if (random() % 12 == 0) image->GetScanLine(r)[x] = 0;
    return image;
  }();
  return *field;
}

void BM_FindChordsAndLabel(benchmark::State& state) {
  BinaryImageClass binary(ThresholdedField());
  for (auto _ : state) {
    const std::vector<Chord> runs = binary.FindChords();
    benchmark::DoNotOptimize(MergeChordLabels(runs).data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_FindChordsAndLabel)->Unit(benchmark::kMillisecond);

void BM_ComputeFeatures(benchmark::State& state) {
  BinaryImageClass binary(ThresholdedField());
  for (auto _ : state) benchmark::DoNotOptimize(binary.ComputeFeatures());
  state.counters["features"] = binary.numFeatures;
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ComputeFeatures)->Unit(benchmark::kMillisecond);

}  // namespace
