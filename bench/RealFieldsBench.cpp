// Scoring copies of the real microscope fields kept beside the project
// (never in it), one job, image after image: the median time per image over
// all of them and over the JPEG fields of the hicomet source. Skipped with a
// message when the folder is absent.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "FieldImageLoader.h"
#include "FolderScoring.h"
#include "ImagePaths.h"

namespace fs = std::filesystem;

namespace {

const std::string kReal = STRANDEX_SOURCE_DIR "/../shared/data/real";

// Copies of the field images (not the masks or the single-comet crops), named after
// their source; empty when the real images are absent.
const std::vector<std::string>& RealFieldCopies() {
  static const std::vector<std::string> copies = [] {
    std::vector<std::string> paths;
    if (!fs::is_directory(kReal)) return paths;
    const std::string folder = "/tmp/strandex-bench-real";
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::error_code ec;
    for (const auto& source : fs::directory_iterator(kReal)) {
      const std::string name = source.path().filename().string();
      if (!source.is_directory() || name == "comet_assay_ai") continue;
      for (const auto& e : fs::directory_iterator(source.path() / "images", ec)) {
        if (!e.is_regular_file() || !IsFieldImageName(e.path().string())) continue;
        const std::string copy = folder + "/" + name + "__" + e.path().filename().string();
        fs::copy_file(e.path(), copy, fs::copy_options::overwrite_existing);
        paths.push_back(copy);
      }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
  }();
  return copies;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void ScoreRealFields(benchmark::State& state, bool automatic) {
  const std::vector<std::string>& images = RealFieldCopies();
  if (images.empty()) {
    state.SkipWithError((kReal + " is absent: no real fields to score").c_str());
    return;
  }
  std::vector<double> all, hicomet;
  for (auto _ : state) {
    double total = 0;
    for (const std::string& image : images) {
      fs::remove_all(ResultFolderOf(image));
      const auto start = std::chrono::steady_clock::now();
      ScoreImage(image, {automatic, 40, 1}, false);
      const double ms =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count();
      total += ms;
      all.push_back(ms);
      if (fs::path(image).filename().string().starts_with("hicomet__")) hicomet.push_back(ms);
    }
    state.SetIterationTime(total / 1000);
  }
  state.counters["images"] = static_cast<double>(images.size());
  state.counters["median_ms"] = Median(all);
  state.counters["hicomet_median_ms"] = Median(hicomet);
}

void BM_ScoreRealFieldsCutoff(benchmark::State& state) {
  ScoreRealFields(state, false);
}
void BM_ScoreRealFieldsAuto(benchmark::State& state) {
  ScoreRealFields(state, true);
}
BENCHMARK(BM_ScoreRealFieldsCutoff)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);
BENCHMARK(BM_ScoreRealFieldsAuto)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

}  // namespace
