// Writes the starting corpus: valid files of each kind, made by the
// program's own writers. Usage: fuzz_seeds <corpus folder>
#include <cstdio>
#include <string>

#include "AppPaths.h"
#include "BitmapImage.h"
#include "CometDatabase.h"
#include "TextFile.h"
#include "TiffBytes.h"
#include "ToolkitWrappers.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  const std::string root = argv[1];
  for (const char* kind : {"cdb", "bmp", "ini", "image"}) MakeFolders(root + "/" + kind);

  for (std::uint32_t count : {0u, 1u, 3u}) {
    WellRecord well;
    well.DatabaseType = kCometDataSet;
    well.ScaleX = well.ScaleY = 1000.0;
    well.MaxCometArea = well.MaxCometHeight = 2147483648.0f;
    SetWellName(well, "field.bmp");
    well.Comets = NewCometArray();
    well.CometCount = count;
    for (std::uint32_t i = 0; i < count; ++i) {
      well.Comets[i].Version = 3;
      well.Comets[i].RecordType = kCometDataSet;
      well.Comets[i].Included = 1;
      well.Comets[i].Metrics[3] = 100.0f + i;
      SetImageName(well.Comets[i], "201305071403091" + std::to_string(i));
    }
    Zelcor_WriteToDB(root + "/cdb/set" + std::to_string(count) + ".cdb", well);
  }

  for (int bits : {8, 24, 32}) {
    BitmapImageClass image(5, 3, static_cast<std::int16_t>(bits));
    for (int r = 0; r < 3; ++r)
      for (int i = 0; i < image.RowPixelBytes(); ++i)
        image.GetScanLine(r)[i] = static_cast<std::uint8_t>(r * 40 + i);
    image.SaveToFile(root + "/bmp/image" + std::to_string(bits) + ".bmp", bits == 8);
  }

  // Image seeds: the first byte picks the extension (0 PNG, 1 JPEG, 2 BMP,
  // 3 TIFF).
  BitmapImageClass field(24, 16, 24);
  for (int r = 0; r < 16; ++r)
    for (int i = 0; i < 72; ++i) field.GetScanLine(r)[i] = static_cast<std::uint8_t>(i * 3 + r * 7);
  const std::string scratch = root + "/image/scratch";
  auto seed = [&](char kind, const std::string& name) {
    std::FILE* in = std::fopen(scratch.c_str(), "rb");
    std::FILE* out = std::fopen((root + "/image/" + name).c_str(), "wb");
    if (in == nullptr || out == nullptr) return;
    std::fputc(kind, out);
    for (int c = std::fgetc(in); c != EOF; c = std::fgetc(in)) std::fputc(c, out);
    std::fclose(in);
    std::fclose(out);
  };
  SaveRasterAsPng(field, scratch);
  seed(0, "field.png.seed");
  TJPEGImage* jpeg = TJPEGImage_CreateFromImage(field, 90);
  TJPEGImage_SaveToFile(jpeg, scratch);
  TJPEGImage_Destroy(jpeg);
  seed(1, "field.jpg.seed");
  field.SaveToFile(scratch);
  seed(2, "field.bmp.seed");
  std::remove(scratch.c_str());
  // TIFFs of each kind read: grey and RGB of 8 and 16 bits, big-endian,
  // tiled, several pages, a stated largest sample.
  struct TiffSeed {
    const char* name;
    int bits, samples, tile, pages;
    bool bigEndian;
  };
  const TiffSeed tiffs[] = {{"grey8", 8, 1, 0, 1, false},     {"grey16", 16, 1, 0, 1, true},
                            {"rgb8", 8, 3, 0, 1, false},      {"rgb16", 16, 3, 0, 2, false},
                            {"tiled16", 16, 1, 16, 1, false}, {"rgba8", 8, 4, 16, 1, true}};
  for (const TiffSeed& t : tiffs) {
    testing_support::TiffRecipe recipe;
    recipe.width = 24;
    recipe.height = 16;
    recipe.bits = t.bits;
    recipe.samples = t.samples;
    recipe.photometric = t.samples >= 3 ? 2 : 1;
    recipe.tile = t.tile;
    recipe.pages = t.pages;
    recipe.bigEndian = t.bigEndian;
    if (t.bits == 16) recipe.maxSampleValue = 4095;
    for (int i = 0; i < 24 * 16 * t.samples; ++i)
      recipe.values.push_back(static_cast<std::uint32_t>(i * 37 % (t.bits == 16 ? 4096 : 256)));
    TextFile out = OpenTextFile(root + "/image/" + t.name + ".tif.seed", "wb");
    out.Write(std::string(1, '\x03') + testing_support::TiffBytes(recipe));
    out.Close();
  }

  TextFile ini = OpenTextFile(root + "/ini/strandex.ini", "w");
  ini.Write("[main]\nlog_all_events=1\nThresholdBar=128\nFilterMinAreaEdit=0,5\n");
  return ini.Close() ? 0 : 1;
}
