#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ScoringWorkspace.h"

struct ImageScoreReport {
  std::string imagePath;
  ScoreOutcome outcome = ScoreOutcome::kFailed;
  std::uint32_t comets = 0;
  double seconds = 0;
  std::string message;
};

struct ScoreRequest {
  bool autoThreshold = false;  // else the cutoff
  std::uint8_t cutoff = 0;
  int jobs = 1;  // images scored at once
};

// Scores one image, asking (through the message boxes) before replacing
// its results when `ask` is set.
ImageScoreReport ScoreImage(const std::string& imagePath, const ScoreRequest& request, bool ask);

// Whether any image of the folder already has results.
bool FolderHasResults(const std::string& folder);

// Scores every image of a folder. When results exist, asks once
// ("Overwrite all existing data?"); a no scores nothing and returns false.
// Each image is scored on its own; `progress` hears (images done, total)
// from whichever thread finished one. Reports come in folder order.
bool ScoreFolder(const std::string& folder, const ScoreRequest& request,
                 std::vector<ImageScoreReport>& reports,
                 const std::function<void(int, int, const ImageScoreReport&)>& progress = {});
