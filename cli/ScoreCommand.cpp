// strandex-cli score: scores images and folders.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <thread>

#include "AppPaths.h"
#include "CliSupport.h"
#include "Commands.h"
#include "FieldImageLoader.h"
#include "FolderScoring.h"
#include "IniFile.h"
#include "SystemInfo.h"

namespace {

const char* const kHelp =
    "usage: strandex-cli score PATH... [--cutoff N | --auto] [--yes | --no] [--jobs N]\n"
    "\n"
    "Finds the comets of each image (or of every image of a folder), measures\n"
    "them and writes the image's result folder beside it.\n"
    "  --cutoff N  grey level 0-255 from which pixels belong to comets\n"
    "              (default: the cutoff slider's last position in the settings)\n"
    "  --auto      take the cutoff from each image's histogram\n"
    "  --yes/--no  replace existing results without asking / keep them\n"
    "  --jobs N    images scored at once (default: the number of cores)\n"
    "\n"
    "Each image's result goes to stdout; failures, warnings and questions to\n"
    "stderr, and ERROR lines to the event log strandex-cli.log.\n";

// Each image's result goes to stdout; its failure or warning to stderr.
void PrintReport(const ImageScoreReport& r) {
  const std::string name = FileNameOf(r.imagePath);
  switch (r.outcome) {
    case ScoreOutcome::kScored:
      std::printf("%s: %u comets in %.2f s\n", name.c_str(), r.comets, r.seconds);
      break;
    case ScoreOutcome::kDeclined:
      std::printf("%s: existing results kept\n", name.c_str());
      break;
    case ScoreOutcome::kFailed:
      std::fflush(stdout);
      std::fprintf(stderr, "%s: FAILED: %s\n", name.c_str(), r.message.c_str());
      break;
  }
  std::fflush(stdout);
  if (r.outcome == ScoreOutcome::kScored && !r.message.empty())
    std::fprintf(stderr, "%s: warning: %s\n", name.c_str(), r.message.c_str());
}

void DrawProgress(int done, int total) {
  if (!isatty(STDERR_FILENO)) return;
  const int width = 30, filled = total == 0 ? width : done * width / total;
  std::fprintf(stderr, "\r[%s%s] %d/%d images", std::string(filled, '#').c_str(),
               std::string(width - filled, '.').c_str(), done, total);
  if (done == total) std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace

int ScoreCommand(const std::vector<std::string>& args) {
  Arguments a;
  std::string error;
  if (!ParseArguments(args, {"--auto", "--yes", "--no", "--help"}, {"--cutoff", "--jobs"}, a,
                      error))
    return Fail(error + " (see strandex-cli score --help)");
  if (a.Has("--help")) {
    std::cout << kHelp;
    return 0;
  }
  if (a.positional.empty()) return Fail("score needs an image or a folder (see --help)");
  if (a.Has("--yes") && a.Has("--no")) return Fail("give --yes or --no, not both");
  if (a.Has("--auto") && a.Has("--cutoff")) return Fail("give --cutoff or --auto, not both");

  ScoreRequest request;
  request.autoThreshold = a.Has("--auto");
  if (auto text = a.Value("--cutoff")) {
    auto cutoff = ParseNumber(*text, 0, 255);
    if (!cutoff) return Fail("--cutoff takes a grey level from 0 to 255, not \"" + *text + "\"");
    request.cutoff = static_cast<std::uint8_t>(*cutoff);
  } else if (!request.autoThreshold) {
    const int slider = IniFile(SettingsFilePath()).ReadInteger("main", "ThresholdBar", 0);
    if (slider <= 0 || slider > 255) return Fail("give a cutoff with --cutoff N, or --auto");
    request.cutoff = static_cast<std::uint8_t>(slider);
  }
  request.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  if (auto text = a.Value("--jobs")) {
    auto jobs = ParseNumber(*text, 1, 256);
    if (!jobs) return Fail("--jobs takes a number from 1 to 256, not \"" + *text + "\"");
    request.jobs = static_cast<int>(*jobs);
  }
  std::optional<int> answer;
  if (a.Has("--yes")) answer = kIdYes;
  if (a.Has("--no")) answer = kIdNo;
  TerminalMessageBoxProvider boxes(answer);
  ScopedMessageBoxProvider scoped(boxes);

  bool failed = false;
  for (const std::string& path : a.positional) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      std::vector<ImageScoreReport> reports;
      if (!ScoreFolder(path, request, reports, [](int done, int total, const ImageScoreReport&) {
            DrawProgress(done, total);
          })) {
        std::printf("%s: existing results kept\n", path.c_str());
        continue;
      }
      if (reports.empty()) std::fprintf(stderr, "%s: no BMP, PNG or JPEG images\n", path.c_str());
      for (const auto& report : reports) {
        PrintReport(report);
        failed |= report.outcome == ScoreOutcome::kFailed;
      }
    } else if (!FileExists(path)) {
      Fail(path + ": no such file or folder", 1);
      failed = true;
    } else if (!IsFieldImageName(path)) {
      Fail(path + ": not a BMP, PNG or JPEG image", 1);
      failed = true;
    } else {
      const ImageScoreReport report = ScoreImage(path, request, true);
      PrintReport(report);
      failed |= report.outcome == ScoreOutcome::kFailed;
    }
  }
  return failed ? 1 : 0;
}
