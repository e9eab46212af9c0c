// Pixel operations on an 8-bit 1280 x 960 field of view, in pixels per second.
#include <benchmark/benchmark.h>

#include <random>

#include "BitmapImage.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 960;

const BitmapImageClass& Field() {
  static BitmapImageClass* image = [] {
    auto* field = new BitmapImageClass(kWidth, kHeight, 8);
    std::mt19937 random(1);
    for (int r = 0; r < kHeight; ++r)
      for (int x = 0; x < kWidth; ++x)
        field->GetScanLine(r)[x] = static_cast<std::uint8_t>((random() & 63) + (x * r) % 128);
    return field;
  }();
  return *image;
}

template <typename Operation>
void RunOnCopy(benchmark::State& state, Operation operation) {
  BitmapImageClass image(Field());
  for (auto _ : state) {
    state.PauseTiming();
    image.Copy(Field());
    state.ResumeTiming();
    operation(image);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_Blur3x3(benchmark::State& state) {
  RunOnCopy(state, [](auto& i) { i.Blur3x3(); });
}
void BM_Blur5x5(benchmark::State& state) {
  RunOnCopy(state, [](auto& i) { i.Blur5x5(); });
}
void BM_Blur7x7(benchmark::State& state) {
  RunOnCopy(state, [](auto& i) { i.Blur7x7(); });
}
void BM_BlurGRAY7(benchmark::State& state) {
  RunOnCopy(state, [](auto& i) { i.BlurGRAY(7); });
}
void BM_ThresholdGRAY(benchmark::State& state) {
  RunOnCopy(state, [](auto& i) { benchmark::DoNotOptimize(i.ThresholdGRAY(60, 255)); });
}
void BM_RangeNonZeroGRAY(benchmark::State& state) {
  RunOnCopy(state, [](auto& i) { i.RangeNonZeroGRAY(0, 255); });
}
void BM_ComputeHistogram(benchmark::State& state) {
  RunOnCopy(state, [](auto& i) { i.ComputeHistogram(); });
}

BENCHMARK(BM_Blur3x3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Blur5x5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Blur7x7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlurGRAY7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThresholdGRAY)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RangeNonZeroGRAY)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComputeHistogram)->Unit(benchmark::kMillisecond);

}  // namespace
