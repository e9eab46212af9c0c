// Field-of-view files to the 8-bit workspace image, and thumbnail encoding.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QImageReader>
#include <cstdlib>
#include <random>
#include <string>

#include "FieldImageLoader.h"
#include "ToolkitWrappers.h"

namespace {

std::string Fixture(int width, int height, const char* format) {
  const std::string path =
      "/tmp/strandex-bench-" + std::to_string(width) + "x" + std::to_string(height) + "." + format;
  QImage image(width, height, QImage::Format_RGB32);
  std::mt19937 random(5);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int v = (x * 255 / width + y * 64 / height + static_cast<int>(random() % 24)) % 256;
      image.setPixel(x, y, qRgb(v / 3, v, v / 2));
    }
  image.save(QString::fromStdString(path), format, 90);
  return path;
}

void DecodeOnly(benchmark::State& state, int width, int height, const char* format) {
  const std::string path = Fixture(width, height, format);
  for (auto _ : state) {
    QImageReader reader(QString::fromStdString(path), format);
    benchmark::DoNotOptimize(reader.read().bits());
  }
}

void LoadToWorkspace(benchmark::State& state, int width, int height, const char* format) {
  const std::string path = Fixture(width, height, format);
  for (auto _ : state) benchmark::DoNotOptimize(LoadFieldImage(path));
}

void BM_DecodeJpeg1280(benchmark::State& s) {
  DecodeOnly(s, 1280, 960, "jpg");
}
void BM_LoadJpeg1280(benchmark::State& s) {
  LoadToWorkspace(s, 1280, 960, "jpg");
}
void BM_DecodeJpeg2048(benchmark::State& s) {
  DecodeOnly(s, 2048, 1536, "jpg");
}
void BM_LoadJpeg2048(benchmark::State& s) {
  LoadToWorkspace(s, 2048, 1536, "jpg");
}
void BM_DecodePng1280(benchmark::State& s) {
  DecodeOnly(s, 1280, 960, "png");
}
void BM_LoadPng1280(benchmark::State& s) {
  LoadToWorkspace(s, 1280, 960, "png");
}
void BM_DecodePng2048(benchmark::State& s) {
  DecodeOnly(s, 2048, 1536, "png");
}
void BM_LoadPng2048(benchmark::State& s) {
  LoadToWorkspace(s, 2048, 1536, "png");
}

void BM_EncodeThumbnail(benchmark::State& state) {
  BitmapImageClass comet(150, 90, 24);
  for (int r = 0; r < 90; ++r)
    for (int i = 0; i < 450; ++i) comet.GetScanLine(r)[i] = static_cast<std::uint8_t>(i * r);
  for (auto _ : state) {
    TJPEGImage* jpeg = TJPEGImage_CreateFromImage(comet, 95);
    benchmark::DoNotOptimize(jpeg->data.size());
    TJPEGImage_Destroy(jpeg);
  }
}

BENCHMARK(BM_DecodeJpeg1280)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadJpeg1280)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeJpeg2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadJpeg2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePng1280)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPng1280)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePng2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPng2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeThumbnail)->Unit(benchmark::kMicrosecond);

}  // namespace
