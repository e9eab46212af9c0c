#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ScoringWorkspace.h"

struct ImageScoreReport {
  std::string imagePath;
  bool started = false;  // false: the run was cancelled before this image
  ScoreOutcome outcome = ScoreOutcome::kFailed;
  std::uint32_t comets = 0;
  double seconds = 0;
  std::string message;
};

struct ScoreRequest {
  bool autoThreshold = false;  // else the cutoff
  std::uint8_t cutoff = 0;
  int jobs = 1;  // images scored at once
  // Set from any thread to start no further image; images in progress end.
  const std::atomic<bool>* cancel = nullptr;
  // Hear, from the scoring thread, of an image begun (by ScoreImage) and of
  // each feature examined in it: (image, done, total).
  std::function<void(const std::string&)> onImageStart{};
  std::function<void(const std::string&, int, int)> onFeature{};
};

// Scores one image, asking (through the message boxes) before replacing
// its results when `ask` is set.
ImageScoreReport ScoreImage(const std::string& imagePath, const ScoreRequest& request, bool ask);
// Scores the image already selected in a workspace.
ImageScoreReport ScoreSelected(ScoringWorkspace& workspace, const ScoreRequest& request, bool ask);

// Whether any image of the folder already has results.
bool FolderHasResults(const std::string& folder);

// Scores every image of a folder. When results exist, asks once
// ("Overwrite all existing data?"); a no scores nothing and returns false.
// Each image is scored on its own; `progress` hears (images done, total)
// from whichever thread finished one. Reports come in folder order.
bool ScoreFolder(const std::string& folder, const ScoreRequest& request,
                 std::vector<ImageScoreReport>& reports,
                 const std::function<void(int, int, const ImageScoreReport&)>& progress = {});

// Scores the given images without asking, `request.jobs` at once, until
// all are done or the request is cancelled. Reports come in the images'
// order; those of images never begun say so.
void ScoreImages(const std::vector<std::string>& images, const ScoreRequest& request,
                 std::vector<ImageScoreReport>& reports,
                 const std::function<void(int, int, const ImageScoreReport&)>& progress = {});
