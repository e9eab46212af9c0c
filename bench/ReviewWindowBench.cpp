// The review area of the window on a folder data set as large as a data set
// may be (8191 comets of 64 images, with thumbnails of 40..160 x 20..80
// pixels): a metric change up to the painted grid with the thumbnails
// already decoded, and scrolling the grid one screen at a time.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QScrollBar>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "CometDatabase.h"
#include "CometGridView.h"
#include "CometMetrics.h"
#include "DataSets.h"
#include "ImagePaths.h"
#include "MainWindow.h"
#include "ReviewPanel.h"
#include "WindowBenchMain.h"

namespace fs = std::filesystem;

namespace {

constexpr int kImages = 64;
constexpr int kCometsPerImage = 128;

// The folder, made once: tiny images, and for each a ".cdb" and one ".bmp"
// and ".jpg" thumbnail per comet.
const std::string& ReviewFolder() {
  static const std::string folder = [] {
    const std::string root = "/tmp/strandex-review-bench-folder/";
    if (fs::exists(root + "done")) return root;
    fs::remove_all(root);
    fs::create_directories(root);
    std::mt19937 random(8191);
    std::normal_distribution<double> dna(30.0, 12.0);
    QImage tiny(8, 8, QImage::Format_Grayscale8);
    tiny.fill(0);
    for (int image = 0; image < kImages; ++image) {
      const std::string path = root + "field_" + std::to_string(100 + image) + ".png";
      tiny.save(QString::fromStdString(path));
      fs::create_directories(ResultFolderOf(path));
      WellRecord well;
      MakeFreshDataSet(well, path);
      // The folder summary takes data sets while the total stays below 8192.
      const int count = image + 1 == kImages ? kCometsPerImage - 1 : kCometsPerImage;
      for (int k = 0; k < count; ++k) {
        CometRecord& c = well.Comets[well.CometCount++];
        c.Included = 1;
        c.Metrics[kTailDNA] = static_cast<float>(std::clamp(dna(random), 0.0, 100.0));
        c.Metrics[kCometArea] = static_cast<float>(300 + random() % 3000);
        c.Metrics[kCometHeight] = static_cast<float>(20 + random() % 60);
        c.Metrics[kTailMoment] = static_cast<float>(random() % 500) / 10.0f;
        c.ImageWidth = static_cast<std::uint16_t>(40 + random() % 121);
        c.ImageHeight = static_cast<std::uint16_t>(20 + random() % 61);
        c.HeadCenter = static_cast<std::int16_t>(c.ImageWidth / 4);
        const std::string name = "2026121012" + std::to_string(100000 + image * 1000 + k);
        SetImageName(c, name);
        QImage thumbnail(c.ImageWidth, c.ImageHeight, QImage::Format_RGB888);
        thumbnail.fill(QColor(static_cast<int>(random() % 256), 40, 90));
        const QString stem = QString::fromStdString(ResultFolderOf(path) + name);
        thumbnail.save(stem + ".bmp");
        thumbnail.save(stem + ".jpg", "JPG", 95);
      }
      Zelcor_ComputeWellStatistics(well);
      Zelcor_WriteToDB(DataSetPathOf(path), well);
    }
    std::ofstream(root + "done").put('x');
    return root;
  }();
  return folder;
}

// The window on the folder's summary, shown, the preferences made.
std::unique_ptr<TMainApplicationForm> ReviewWindow() {
  auto window = std::make_unique<TMainApplicationForm>(std::vector<std::string>{});
  window->CreatePreferences();
  window->resize(1280, 1000);
  // A grid a screen high, as on a large display.
  window->Review()->Grid()->setMinimumHeight(900);
  window->show();
  window->OpenFolder(ReviewFolder());
  QApplication::processEvents();
  return window;
}

void PaintGrid(TMainApplicationForm& window) {
  window.Review()->Grid()->viewport()->repaint();
}

void BM_MetricChangeToPaintedGrid(benchmark::State& state) {
  auto window = ReviewWindow();
  QComboBox* metric = window->findChild<QComboBox*>("MetricComboBox");
  const int metrics[] = {kTailDNA, kTailMoment};
  for (int m : metrics) {  // both metrics' first screens decoded: a warm cache
    metric->setCurrentIndex(m);
    PaintGrid(*window);
  }
  int turn = 0;
  for (auto _ : state) {
    metric->setCurrentIndex(metrics[++turn % 2]);
    PaintGrid(*window);
  }
  state.counters["comets"] = window->Workspace().DataSet().CometCount;
  state.counters["shown"] = window->Review()->Model().Pass().shown;
}
BENCHMARK(BM_MetricChangeToPaintedGrid)->Unit(benchmark::kMillisecond)->UseRealTime();

// One frame: the grid moved on by a screen and painted; from the bottom
// back to the top. Range 0: thumbnails as found (the cache holds a few
// screens); range 1: the profiled ".jpg" files.
void BM_ScrollGridByAScreen(benchmark::State& state) {
  auto window = ReviewWindow();
  if (state.range(0) == 1) window->findChild<QComboBox*>("ImageModeComboBox")->setCurrentIndex(1);
  QScrollBar* bar = window->Review()->Grid()->verticalScrollBar();
  bar->setValue(0);
  PaintGrid(*window);
  for (auto _ : state) {
    bar->setValue(bar->value() >= bar->maximum() ? 0 : bar->value() + bar->pageStep());
    PaintGrid(*window);
  }
  state.counters["screens"] = static_cast<double>(bar->maximum()) / std::max(bar->pageStep(), 1);
  state.counters["view_px"] = window->Review()->Grid()->viewport()->height();
}
BENCHMARK(BM_ScrollGridByAScreen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return RunWindowBenchmarks(argc, argv, "/tmp/strandex-review-bench-home");
}
