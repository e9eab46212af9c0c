#pragma once

// The entry of the window benchmarks: the offscreen platform, no About box
// at start, a private home for the settings and logs, then the benchmarks;
// `cleanUp` runs last, while the toolkit is still there.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

inline int RunWindowBenchmarks(int argc, char** argv, const std::string& home,
                               const std::function<void()>& cleanUp = {}) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("STRANDEX_NO_ABOUT", "1", 1);
  std::filesystem::create_directories(home);
  setenv("STRANDEX_HOME", home.c_str(), 1);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (cleanUp) cleanUp();
  return 0;
}
