// Measuring one comet with automatic head finding.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "CometMetrics.h"

namespace {

// A comet whose head sits at a fifth of the width; with `brightTail` the
// tail outshines the head, so the head search descends level by level.
void Paint(BitmapImageClass& image, bool brightTail) {
  const int width = image.Bitmap.bmWidth, height = image.Bitmap.bmHeight;
  const double hx = width / 5.0, cy = (height - 1) / 2.0, radius = height / 6.0;
  const double tail = width * 0.7;
  std::mt19937 random(3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double dx = x - hx, dy = y - cy;
      double v =
          (brightTail ? 150 : 240) * std::exp(-2.0 * (dx * dx + dy * dy) / (radius * radius));
      if (dx > 0 && dx < tail) {
        const double spread = radius * (1 + dx / tail);
        const double level =
            brightTail ? 250 * std::sin(3.14159 * dx / tail) : 100 * (1 - dx / tail);
        v += level * std::exp(-dy * dy / (spread * spread));
      }
      v += static_cast<double>(random() % 7) - 3;
      image.GetScanLine(y)[x] = static_cast<std::uint8_t>(v < 12 ? 0 : std::min(v, 255.0));
    }
}

void Measure(benchmark::State& state, int width, int height, bool brightTail) {
  BitmapImageClass original(width, height, 8);
  Paint(original, brightTail);
  std::int32_t head = 0;
  for (auto _ : state) {
    state.PauseTiming();
    CometImageClass comet(width, height);
    comet.Image->Copy(original);
    CometRecord record;
    state.ResumeTiming();
    head = Zelcor_ComputeMetrics(comet, record, -1, 1000.0, 1000.0);
    benchmark::DoNotOptimize(record.Metrics[16]);
  }
  state.counters["head"] = head;
}

void BM_Comet60x40(benchmark::State& s) {
  Measure(s, 60, 40, false);
}
void BM_Comet150x90(benchmark::State& s) {
  Measure(s, 150, 90, false);
}
void BM_Comet400x250(benchmark::State& s) {
  Measure(s, 400, 250, false);
}
void BM_Comet150x90BrightTail(benchmark::State& s) {
  Measure(s, 150, 90, true);
}
void BM_Comet400x250BrightTail(benchmark::State& s) {
  Measure(s, 400, 250, true);
}

BENCHMARK(BM_Comet60x40)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Comet150x90)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Comet400x250)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Comet150x90BrightTail)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Comet400x250BrightTail)->Unit(benchmark::kMicrosecond);

}  // namespace
