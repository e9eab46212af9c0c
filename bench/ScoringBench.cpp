// Scoring whole fields of view: 1280 x 960 synthetic images of about thirty
// comets, against the floor of merely decoding the input and writing what
// scoring writes.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "BenchFields.h"
#include "CometDatabase.h"
#include "DataSets.h"
#include "FieldImageLoader.h"
#include "FolderScoring.h"
#include "ImagePaths.h"
#include "SyntheticField.h"
#include "ToolkitWrappers.h"

namespace fs = std::filesystem;

namespace {


const std::string& FieldFolder() {
  return bench_fields::FieldFolder("/tmp/strandex-bench-fields");
}

void ClearResults() {
  bench_fields::ClearResults(FieldFolder());
}

void BM_ScoreOneImage(benchmark::State& state) {
  const std::string image = ListFolderImages(FieldFolder())[0];
  std::uint32_t comets = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ClearResults();
    state.ResumeTiming();
    comets = ScoreImage(image, {false, 40, 1}, false).comets;
  }
  state.counters["comets"] = comets;
}
BENCHMARK(BM_ScoreOneImage)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// What scoring cannot go below: decode the image, write each comet's two
// thumbnails and the data set twice.
void BM_FloorOneImage(benchmark::State& state) {
  const std::string image = ListFolderImages(FieldFolder())[0];
  ClearResults();
  ScoreImage(image, {false, 40, 1}, false);
  WellRecord well;
  LoadImageDataSet(image, well);
  const std::string out = "/tmp/strandex-bench-floor/";
  for (auto _ : state) {
    fs::remove_all(out);
    auto decoded = LoadFieldImage(image);
    for (std::uint32_t i = 0; i < well.CometCount; ++i) {
      const CometRecord& c = well.Comets[i];
      BitmapImageClass thumbnail(c.ImageWidth, c.ImageHeight, 8);
      thumbnail.SaveToFile(out + std::to_string(i) + ".bmp");
      BitmapImageClass plotted(c.ImageWidth, c.ImageHeight, 24);
      TJPEGImage* jpeg = TJPEGImage_CreateFromImage(plotted, 95);
      TJPEGImage_SaveToFile(jpeg, out + std::to_string(i) + ".jpg");
      TJPEGImage_Destroy(jpeg);
    }
    Zelcor_WriteToDB(out + "floor.cdb", well);
    Zelcor_WriteToDB(out + "floor.cdb", well);
  }
}
BENCHMARK(BM_FloorOneImage)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A folder of sixteen fields, by one job and by two.
constexpr int kFolderImages = 16;

void ScoreFolderWith(benchmark::State& state, int jobs) {
  const std::string& folder =
      bench_fields::FieldFolder("/tmp/strandex-bench-16-fields", kFolderImages);
  std::vector<ImageScoreReport> reports;
  for (auto _ : state) {
    state.PauseTiming();
    bench_fields::ClearResults(folder);
    state.ResumeTiming();
    ScoreFolder(folder, {false, 40, jobs}, reports);
  }
  state.SetItemsProcessed(state.iterations() * kFolderImages);
}
void BM_ScoreFolderOneJob(benchmark::State& state) {
  ScoreFolderWith(state, 1);
}
void BM_ScoreFolderTwoJobs(benchmark::State& state) {
  ScoreFolderWith(state, 2);
}
BENCHMARK(BM_ScoreFolderOneJob)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScoreFolderTwoJobs)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
