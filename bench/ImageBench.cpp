// Raster image throughput on a field-of-view sized image.
#include <benchmark/benchmark.h>

#include <cstring>

#include "BitmapImage.h"
#include "QuarterTurns.h"

namespace {

constexpr int kWidth = 2048;
constexpr int kHeight = 1536;

BitmapImageClass MakeColourImage() {
  BitmapImageClass image(kWidth, kHeight, 24);
  for (int r = 0; r < kHeight; ++r) {
    std::uint8_t* row = image.GetScanLine(r);
    for (int i = 0; i < kWidth * 3; ++i) row[i] = static_cast<std::uint8_t>(i * 31 + r * 17);
  }
  return image;
}

void BM_ColourToGrey(benchmark::State& state) {
  const BitmapImageClass source = MakeColourImage();
  for (auto _ : state) {
    state.PauseTiming();
    BitmapImageClass image(source);
    state.ResumeTiming();
    image.SetBitsPerPixel(8);
    benchmark::DoNotOptimize(image.GetScanLine(0));
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ColourToGrey)->Unit(benchmark::kMillisecond);

void BM_GreyToColour(benchmark::State& state) {
  BitmapImageClass grey(kWidth, kHeight, 8);
  for (auto _ : state) {
    state.PauseTiming();
    BitmapImageClass image(grey);
    state.ResumeTiming();
    image.SetBitsPerPixel(24);
    benchmark::DoNotOptimize(image.GetScanLine(0));
  }
}
BENCHMARK(BM_GreyToColour)->Unit(benchmark::kMillisecond);

void BM_CopyConstruct(benchmark::State& state) {
  const BitmapImageClass source = MakeColourImage();
  for (auto _ : state) {
    BitmapImageClass image(source);
    benchmark::DoNotOptimize(image.GetScanLine(0));
  }
}
BENCHMARK(BM_CopyConstruct)->Unit(benchmark::kMillisecond);

void BM_RotateHalfTurn(benchmark::State& state) {
  BitmapImageClass image = MakeColourImage();
  for (auto _ : state) {
    image.MirrorHorizontal();
    image.FlipVertical();
    benchmark::DoNotOptimize(image.GetScanLine(0));
  }
}
BENCHMARK(BM_RotateHalfTurn)->Unit(benchmark::kMillisecond);

// A quarter turn of the 8-bit workspace image (argument 0) or of the colour
// image (1).
void BM_RotateQuarterTurn(benchmark::State& state) {
  BitmapImageClass image = MakeColourImage();
  if (state.range(0) == 0) image.SetBitsPerPixel(8);
  for (auto _ : state) {
    RotateCounterClockwise(image, 90);
    benchmark::DoNotOptimize(image.GetScanLine(0));
  }
}
BENCHMARK(BM_RotateQuarterTurn)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
