// Automatic threshold against the cutoff on the same generated fields, at
// four sizes: the automatic scoring should cost at most half as much again.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <string>

#include "FolderScoring.h"
#include "ImagePaths.h"
#include "SyntheticField.h"
#include "ToolkitWrappers.h"

namespace fs = std::filesystem;

namespace {

const std::string& SizedField(int width, int height) {
  static std::map<int, std::string> paths;
  std::string& path = paths[width];
  if (path.empty()) {
    const std::string folder = "/tmp/strandex-bench-sizes";
    fs::create_directories(folder);
    path = folder + "/field_" + std::to_string(width) + "x" + std::to_string(height) + ".png";
    if (!fs::exists(path)) SaveRasterAsPng(*MakeSyntheticField(width, height, 77).image, path);
  }
  return path;
}

void ScoreSized(benchmark::State& state, bool automatic) {
  const int width = static_cast<int>(state.range(0)), height = width * 3 / 4;
  const std::string& image = SizedField(width, height);
  std::uint32_t comets = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(ResultFolderOf(image));
    state.ResumeTiming();
    comets = ScoreImage(image, {automatic, 40, 1}, false).comets;
  }
  state.counters["comets"] = comets;
  state.counters["Mpx"] = width * height / 1e6;
}

void BM_CutoffBySize(benchmark::State& state) {
  ScoreSized(state, false);
}
void BM_AutoBySize(benchmark::State& state) {
  ScoreSized(state, true);
}

// Each size's cutoff and automatic scoring one after the other, so that the
// two share the machine's state of the moment.
BENCHMARK(BM_CutoffBySize)->Arg(640)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AutoBySize)->Arg(640)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CutoffBySize)->Arg(1280)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AutoBySize)->Arg(1280)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CutoffBySize)->Arg(2560)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AutoBySize)->Arg(2560)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CutoffBySize)->Arg(5120)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AutoBySize)->Arg(5120)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
