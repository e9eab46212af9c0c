#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BitmapImage.h"
#include "CometRecords.h"
#include "FeatureTypes.h"

class BinaryImageClass;

// How a scoring run ended.
enum class ScoreOutcome {
  kScored,
  kDeclined,  // existing results kept because the user said no
  kFailed,    // an error; the message says which
};

// The scoring state of one field-of-view image, as the window holds it
// while an image is selected: the 8-bit grey image, its data set and the
// data set's path. The window and the command line both drive it.
class ScoringWorkspace {
 public:
  // Loads an image and its data set (read from its ".cdb", or fresh).
  // False, with the message set, when the image cannot be decoded; the
  // workspace then holds no image.
  bool SelectImage(const std::string& imagePath);

  // The two steps of SelectImage. LoadImage leaves no image and no data set
  // when it fails. LoadDataSet is true when the image's ".cdb" was read; a
  // ".cdb" that exists but cannot be taken gives fresh values and says why
  // in the message.
  bool LoadImage(const std::string& imagePath);
  bool LoadDataSet();

  // The summary of a set of images (a folder's): their comets in one data
  // set (see BuildFolderSummary), shown over a black 640 x 480 image. The
  // image and data set paths keep what they held.
  void SelectSummary(const std::vector<std::string>& images,
                     const std::function<void(int, int)>& progress = {});

  // Scores the selected image at a grey cutoff (pixels at or above it are
  // comets), replacing its result folder.
  ScoreOutcome ScoreSelectedImageUsingCutoff(std::uint8_t cutoff, bool ask);
  // Scores at a cutoff taken from the image's histogram, following each
  // comet down the grey levels.
  ScoreOutcome ScoreSelectedImageUsingAutoThreshold(bool ask);
  // Scores nothing.
  ScoreOutcome ScoreSelectedImageUsingOtsuSegmentation();

  const std::string& ImagePath() const { return imagePath_; }
  const std::string& DataSetPath() const { return dataSetPath_; }
  const BitmapImageClass* Image() const { return image_.get(); }
  // The image as the display recolours or turns it and manual scoring
  // marks it (in memory only).
  BitmapImageClass* MarkableImage() { return image_.get(); }
  WellRecord& DataSet() { return well_; }
  const WellRecord& DataSet() const { return well_; }
  const std::string& Message() const { return message_; }

  // Hears of each feature examined: (done, total).
  std::function<void(int, int)> onFeature;

 private:
  struct Run;
  bool BeginRun(const char* name, bool ask, const char* declinedWord, Run& run);
  void ScoreComet(Run& run, const FeatureRecord& feature, bool widenLimits);
  ScoreOutcome FinishRun(const char* name, Run& run);

  std::string imagePath_;
  std::string dataSetPath_;
  std::unique_ptr<BitmapImageClass> image_;
  WellRecord well_;
  std::string message_;
};

// A thumbnail name for a new comet: the 16-digit time stamp, with "_2",
// "_3", ... added when that name is already taken in the folder or was the
// last one given.
std::string NextThumbnailName(const std::string& folder, std::string& last);
