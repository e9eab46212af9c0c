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

// A picture of the size in the file format, colour or grey (8-bit grey
// rows for PNG and JPEG, an 8-bit grey palette for BMP).
std::string Fixture(int width, int height, const char* format, bool grey) {
  const std::string path = "/tmp/strandex-bench-" + std::to_string(width) + "x" +
                           std::to_string(height) + (grey ? "-grey." : ".") + format;
  QImage image(width, height, QImage::Format_RGB32);
  std::mt19937 random(5);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int v = (x * 255 / width + y * 64 / height + static_cast<int>(random() % 24)) % 256;
      image.setPixel(x, y, qRgb(v / 3, v, v / 2));
    }
  if (grey) {
    image = image.convertToFormat(QImage::Format_Grayscale8);
    if (std::string(format) == "bmp") {
      QList<QRgb> ramp;
      for (int i = 0; i < 256; ++i) ramp.push_back(qRgb(i, i, i));
      image = image.convertToFormat(QImage::Format_Indexed8, ramp);
    }
  }
  image.save(QString::fromStdString(path), format, 90);
  return path;
}

// The bare decode by the toolkit's codec, against the whole load into the
// workspace image, for each kind of file.
void DecodeOnly(benchmark::State& state, const std::string& path, const char* format) {
  for (auto _ : state) {
    QImageReader reader(QString::fromStdString(path), format);
    benchmark::DoNotOptimize(reader.read().bits());
  }
}

void LoadToWorkspace(benchmark::State& state, const std::string& path) {
  for (auto _ : state) benchmark::DoNotOptimize(LoadFieldImage(path));
}

const bool registered = [] {
  for (const int width : {1280, 2048})
    for (const char* format : {"jpg", "png", "bmp"})
      for (const bool grey : {false, true}) {
        const int height = width * 3 / 4;
        const std::string path = Fixture(width, height, format, grey);
        const std::string kind =
            std::string(format) + (grey ? "Grey" : "Colour") + std::to_string(width);
        benchmark::RegisterBenchmark(("BM_Decode/" + kind).c_str(), DecodeOnly, path, format)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_Load/" + kind).c_str(), LoadToWorkspace, path)
            ->Unit(benchmark::kMillisecond);
      }
  return true;
}();

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

BENCHMARK(BM_EncodeThumbnail)->Unit(benchmark::kMicrosecond);

}  // namespace
