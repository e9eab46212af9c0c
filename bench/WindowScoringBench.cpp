// Scoring a folder of eight 1280 x 960 fields of view from the window (the
// command on the folder node: worker threads, progress by queued signals,
// the folder summary rebuilt afterwards) against the command line's path
// (ScoreFolder with its progress report), both with one job per core.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <QAction>
#include <QApplication>
#include <QSlider>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "BenchFields.h"
#include "FolderScoring.h"
#include "ImagePaths.h"
#include "MainWindow.h"

namespace fs = std::filesystem;

namespace {

const std::string& FieldFolder() {
  return bench_fields::FieldFolder("/tmp/strandex-window-bench-fields");
}

void ClearResults() {
  bench_fields::ClearResults(FieldFolder());
}

// CPU time of the whole process (every thread), in milliseconds: what the
// run costs, whatever else the machine is doing meanwhile.
double ProcessCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

int Jobs() {
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void BM_CommandLineScoresTheFolder(benchmark::State& state) {
  std::vector<ImageScoreReport> reports;
  int reported = 0;
  double cpu = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ClearResults();
    state.ResumeTiming();
    const double before = ProcessCpuMs();
    ScoreFolder(FieldFolder(), {false, 40, Jobs()}, reports,
                [&](int done, int, const ImageScoreReport&) { reported = done; });
    cpu += ProcessCpuMs() - before;
  }
  state.counters["images"] = reported;
  state.counters["process_cpu_ms"] = cpu / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CommandLineScoresTheFolder)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

void BM_WindowScoresTheFolder(benchmark::State& state) {
  TMainApplicationForm window({});
  window.OpenFolder(FieldFolder());
  window.ThresholdBar()->setValue(40);
  double cpu = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ClearResults();
    state.ResumeTiming();
    const double before = ProcessCpuMs();
    window.Command("ScoreUsingCutoffButton")->trigger();
    window.WaitForScoring();
    cpu += ProcessCpuMs() - before;
  }
  state.counters["comets"] = window.Workspace().DataSet().CometCount;
  state.counters["process_cpu_ms"] = cpu / static_cast<double>(state.iterations());
}
BENCHMARK(BM_WindowScoresTheFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The window's part after a run: the folder summary built again from the
// eight data sets and shown.
void BM_WindowRefreshesTheFolderSummary(benchmark::State& state) {
  TMainApplicationForm window({});
  window.OpenFolder(FieldFolder());
  ClearResults();
  std::vector<ImageScoreReport> reports;
  ScoreFolder(FieldFolder(), {false, 40, Jobs()}, reports);
  for (auto _ : state) window.DirTreeViewChange(TMainApplicationForm::Sender::kOther);
  state.counters["comets"] = window.Workspace().DataSet().CometCount;
}
BENCHMARK(BM_WindowRefreshesTheFolderSummary)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("STRANDEX_NO_ABOUT", "1", 1);
  const std::string home = "/tmp/strandex-window-bench-home";
  fs::create_directories(home);
  setenv("STRANDEX_HOME", home.c_str(), 1);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  ClearResults();
  return 0;
}
