#include "FolderScoring.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include "EventLog.h"
#include "ImagePaths.h"
#include "MessageBox.h"
#include "SystemInfo.h"
#include "ToolkitWrappers.h"

namespace fs = std::filesystem;

ImageScoreReport ScoreImage(const std::string& imagePath, const ScoreRequest& request, bool ask) {
  const auto start = std::chrono::steady_clock::now();
  if (request.onImageStart) request.onImageStart(imagePath);
  ScoringWorkspace workspace;
  ImageScoreReport report;
  const bool loaded = workspace.SelectImage(imagePath);
  if (loaded && workspace.RotateImage(request.rotation)) {
    report = ScoreSelected(workspace, request, ask);
  } else {
    report.imagePath = imagePath;
    report.started = true;
    report.message =
        loaded ? "cannot turn the image by " + std::to_string(request.rotation) + " degrees"
               : workspace.Message();
  }
  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return report;
}

ImageScoreReport ScoreSelected(ScoringWorkspace& workspace, const ScoreRequest& request, bool ask) {
  const auto start = std::chrono::steady_clock::now();
  ImageScoreReport report;
  report.imagePath = workspace.ImagePath();
  report.started = true;
  if (request.onFeature)
    workspace.onFeature = [&](int done, int total) {
      request.onFeature(report.imagePath, done, total);
    };
  report.outcome = request.autoThreshold
                       ? workspace.ScoreSelectedImageUsingAutoThreshold(ask)
                       : workspace.ScoreSelectedImageUsingCutoff(request.cutoff, ask);
  workspace.onFeature = nullptr;
  report.comets = workspace.DataSet().CometCount;
  report.message = workspace.Message();
  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return report;
}

bool FolderHasResults(const std::string& folder) {
  const std::string root = AsFolder(folder);
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(root, ec)) {
    const std::string name = entry.path().filename().string();
    if (FileExists(root + name + "/" + name + ".cdb")) return true;
  }
  return false;
}

bool ScoreFolder(const std::string& folder, const ScoreRequest& request,
                 std::vector<ImageScoreReport>& reports,
                 const std::function<void(int, int, const ImageScoreReport&)>& progress) {
  LogMessage("entering ScoreFolder(" + folder + ")...");
  if (FolderHasResults(folder) &&
      AskYesNo("Overwrite all existing data?", "Score All Images in Folder") != kIdYes) {
    LogMessage("exiting  ScoreFolder(ABORTED BY USER)...");
    return false;
  }
  ScoreImages(ListFolderImages(folder), request, reports, progress);
  LogMessage("exiting  ScoreFolder()...");
  return true;
}

void ScoreImages(const std::vector<std::string>& images, const ScoreRequest& request,
                 std::vector<ImageScoreReport>& reports,
                 const std::function<void(int, int, const ImageScoreReport&)>& progress) {
  reports.assign(images.size(), ImageScoreReport{});
  for (std::size_t i = 0; i < images.size(); ++i) reports[i].imagePath = images[i];
  std::atomic<std::size_t> next{0};
  std::atomic<int> done{0};
  std::mutex progressMutex;
  auto cancelled = [&] { return request.cancel != nullptr && request.cancel->load(); };
  const int jobs = std::max(1, std::min<int>(request.jobs, static_cast<int>(images.size())));
  auto worker = [&](int job) {
    std::optional<ScopedLogJob> mark;  // parallel jobs mark their log lines
    if (jobs > 1) mark.emplace(job);
    for (std::size_t i = next++; i < images.size() && !cancelled(); i = next++) {
      reports[i] = ScoreImage(images[i], request, false);
      // Counted and told under one lock, so that the counts are heard in
      // their order however the jobs finish.
      std::lock_guard lock(progressMutex);
      const int finished = ++done;
      if (progress) progress(finished, static_cast<int>(images.size()), reports[i]);
    }
  };
  if (jobs > 1) PrepareToolkitForWorkerThreads();
  std::vector<std::thread> threads;
  for (int t = 2; t <= jobs; ++t) threads.emplace_back(worker, t);
  worker(1);
  for (auto& thread : threads) thread.join();
}
