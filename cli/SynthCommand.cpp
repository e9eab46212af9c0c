// strandex-cli synth: made-up fields of view.
#include <cstdio>
#include <iostream>

#include "AppPaths.h"
#include "CliSupport.h"
#include "Commands.h"
#include "SyntheticField.h"
#include "ToolkitWrappers.h"

namespace {

const char* const kHelp =
    "usage: strandex-cli synth --out DIR [--fields N] [--width W --height H] [--seed S]\n"
    "\n"
    "Writes N synthetic fields of view (default 3, 1280 x 960) to DIR, in turn\n"
    "as PNG, BMP and JPEG: comets with round heads and tails of varied damage,\n"
    "background noise, comets cut by the border and small specks. The same\n"
    "seed gives the same pictures.\n";

}  // namespace

int SynthCommand(const std::vector<std::string>& args) {
  Arguments a;
  std::string error;
  if (!ParseArguments(args, {"--help"}, {"--out", "--fields", "--width", "--height", "--seed"}, a,
                      error))
    return Fail(error);
  if (a.Has("--help")) {
    std::cout << kHelp;
    return 0;
  }
  auto out = a.Value("--out");
  if (!out || out->empty() || !a.positional.empty())
    return Fail("synth needs --out DIR (see --help)");
  auto number = [&](const char* option, long fallback, long low, long high) -> std::optional<long> {
    auto text = a.Value(option);
    return text ? ParseNumber(*text, low, high) : std::optional<long>(fallback);
  };
  const auto fields = number("--fields", 3, 1, 1000);
  const auto width = number("--width", 1280, 64, 8192);
  const auto height = number("--height", 960, 64, 8192);
  const auto seed = number("--seed", 1, 0, 4294967295L);
  if (!fields || !width || !height || !seed)
    return Fail("synth: --fields 1-1000, --width and --height 64-8192, --seed a whole number");
  if (!MakeFolders(*out)) return Fail(*out + ": cannot create the folder", 1);

  const char* const extensions[] = {".png", ".bmp", ".jpg"};
  for (long i = 0; i < *fields; ++i) {
    SyntheticField field = MakeSyntheticField(static_cast<int>(*width), static_cast<int>(*height),
                                              static_cast<std::uint32_t>(*seed * 1000 + i));
    char name[32];
    std::snprintf(name, sizeof name, "field_%02ld%s", i + 1, extensions[i % 3]);
    const std::string path = *out + "/" + name;
    bool ok = false;
    if (i % 3 == 0) {
      ok = SaveRasterAsPng(*field.image, path);
    } else if (i % 3 == 1) {
      ok = field.image->SaveToFile(path);
    } else {
      TJPEGImage* jpeg = TJPEGImage_CreateFromImage(*field.image, 92);
      ok = TJPEGImage_SaveToFile(jpeg, path);
      TJPEGImage_Destroy(jpeg);
    }
    if (!ok) return Fail(path + ": cannot write the image", 1);
    std::printf("%s: %zu comets\n", path.c_str(), field.comets.size());
  }
  return 0;
}
