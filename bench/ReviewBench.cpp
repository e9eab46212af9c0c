// The review of a full data set of 8192 comets: the sort by one metric, the
// display-window pass, the whole layout step of the grid and the lookup of
// a folder's thumbnails.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "CometMetrics.h"
#include "DataSets.h"
#include "DisplayWindow.h"
#include "ReviewModel.h"
#include "ThumbnailFiles.h"
#include "WellSort.h"

namespace {

// A full data set with scored-looking values: Tail %DNA spread over 0..100
// with many ties (one decimal), areas and heights of real comets, thumbnails
// of 40..160 pixels, and its statistics.
WellRecord FullDataSet() {
  WellRecord well;
  MakeFreshDataSet(well, "bench.bmp");
  well.CometCount = WellRecord::kMaxComets;
  std::mt19937 random(8192);
  std::normal_distribution<double> dna(30.0, 12.0);
  for (std::uint32_t i = 0; i < well.CometCount; ++i) {
    CometRecord& c = well.Comets[i];
    c.Included = 1;
    c.Deleted = random() % 50 == 0;
    const double value = std::clamp(dna(random), 0.0, 100.0);
    c.Metrics[kTailDNA] = static_cast<float>(std::round(value * 10.0) / 10.0);
    c.Metrics[kCometArea] = static_cast<float>(300 + random() % 3000);
    c.Metrics[kCometHeight] = static_cast<float>(20 + random() % 60);
    c.ImageWidth = static_cast<std::uint16_t>(40 + random() % 121);
    c.ImageHeight = static_cast<std::uint16_t>(20 + random() % 61);
    SetImageName(c, "2026121012000000_" + std::to_string(i));
  }
  Zelcor_ComputeWellStatistics(well);
  return well;
}

void CopyComets(const WellRecord& from, WellRecord& to) {
  std::copy(from.Comets.get(), from.Comets.get() + from.CometCount, to.Comets.get());
}

void BM_SortThisWell(benchmark::State& state) {
  const WellRecord original = FullDataSet();
  WellRecord well = FullDataSet();
  const bool descending = state.range(0) == 1;
  std::int32_t undo = 100;
  for (auto _ : state) {
    state.PauseTiming();
    CopyComets(original, well);
    undo = 100;
    state.ResumeTiming();
    SortThisWell(well, kTailDNA, descending, undo);
    benchmark::DoNotOptimize(undo);
  }
  state.counters["comets"] = well.CometCount;
}
BENCHMARK(BM_SortThisWell)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Sorting what is sorted already: the redraws after a window change.
void BM_SortSortedWell(benchmark::State& state) {
  WellRecord well = FullDataSet();
  std::int32_t undo = 100;
  SortThisWell(well, kTailDNA, false, undo);
  for (auto _ : state) {
    SortThisWell(well, kTailDNA, false, undo);
    benchmark::DoNotOptimize(undo);
  }
}
BENCHMARK(BM_SortSortedWell)->Unit(benchmark::kMillisecond);

void BM_DisplayWindowPass(benchmark::State& state) {
  WellRecord well = FullDataSet();
  std::uint32_t shown = 0;
  for (auto _ : state) {
    shown = RunDisplayWindowPass(well, kTailDNA, -2, 3).shown;
    benchmark::DoNotOptimize(shown);
  }
  state.counters["shown"] = shown;
}
BENCHMARK(BM_DisplayWindowPass)->Unit(benchmark::kMicrosecond);

// A metric change up to the cell map: pass, layout, sort of an unsorted
// data set, cell map.
void BM_LayOutGrid(benchmark::State& state) {
  const WellRecord original = FullDataSet();
  WellRecord well = FullDataSet();
  ReviewModel model;
  model.ChooseMetricFromList(kTailDNA);
  std::int32_t undo = -1;
  for (auto _ : state) {
    state.PauseTiming();
    CopyComets(original, well);
    state.ResumeTiming();
    benchmark::DoNotOptimize(model.LayOutGrid(well, 13, 1280, undo).cells.data());
  }
  state.counters["rows"] = model.Layout().rows;
}
BENCHMARK(BM_LayOutGrid)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// A folder of 64 images with 128 comets each (empty thumbnail files): the
// thumbnail lookup of a folder data set.
struct ThumbnailFolder {
  std::vector<std::string> images;
  WellRecord well;
};

const ThumbnailFolder& Folder() {
  static const ThumbnailFolder folder = [] {
    ThumbnailFolder f;
    const std::string root = "/tmp/strandex-bench-thumbnails";
    std::filesystem::remove_all(root);
    MakeFreshDataSet(f.well, "folder");
    for (int image = 0; image < 64; ++image) {
      const std::string name = root + "/field_" + std::to_string(100 + image);
      f.images.push_back(name + ".png");
      std::filesystem::create_directories(name);
      for (int k = 0; k < 128; ++k) {
        const std::string thumb = "2026121012" + std::to_string(100000 + image * 128 + k);
        std::ofstream(name + "/" + thumb + ".bmp").put('x');
        SetImageName(f.well.Comets[f.well.CometCount++], thumb);
      }
    }
    return f;
  }();
  return folder;
}

// One screen of 60 cells from the last image's comets, searched image by image.
void BM_FolderThumbnailSearch(benchmark::State& state) {
  const ThumbnailFolder& f = Folder();
  for (auto _ : state)
    for (std::uint32_t i = f.well.CometCount - 60; i < f.well.CometCount; ++i)
      benchmark::DoNotOptimize(FindFolderThumbnail(f.images, f.well.Comets[i], ".bmp"));
}
BENCHMARK(BM_FolderThumbnailSearch)->Unit(benchmark::kMillisecond);

// The same screen through the index.
void BM_FolderThumbnailIndexScreen(benchmark::State& state) {
  const ThumbnailFolder& f = Folder();
  FolderThumbnailIndex index(f.images);
  for (auto _ : state)
    for (std::uint32_t i = f.well.CometCount - 60; i < f.well.CometCount; ++i)
      benchmark::DoNotOptimize(index.Find(f.well.Comets[i], ".bmp"));
}
BENCHMARK(BM_FolderThumbnailIndexScreen)->Unit(benchmark::kMillisecond);

// Listing the 64 result folders once per data set.
void BM_FolderThumbnailIndexBuild(benchmark::State& state) {
  const ThumbnailFolder& f = Folder();
  for (auto _ : state) benchmark::DoNotOptimize(FolderThumbnailIndex(f.images).Images().size());
}
BENCHMARK(BM_FolderThumbnailIndexBuild)->Unit(benchmark::kMillisecond);

}  // namespace
