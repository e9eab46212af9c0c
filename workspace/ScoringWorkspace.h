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

  // A comet's own image put on view under the data set held (a folder
  // summary's comet, after a click on it): the data set stays as it is, and
  // an image that cannot be decoded leaves the workspace as it was, with
  // the message set.
  bool ViewCometImage(const std::string& imagePath);

  // The summary of a set of images (a folder's): their comets in one data
  // set (see BuildFolderSummary), shown over a black 640 x 480 image. The
  // image and data set paths keep what they held.
  void SelectSummary(const std::vector<std::string>& images,
                     const std::function<void(int, int)>& progress = {});

  // Turns the selected image counter-clockwise by 90, 180 or 270 degrees in
  // memory; the file and its data set are not touched and the next load
  // shows the image unturned. The turn so far is recorded in the data set of
  // the next scoring run. False without an image or for degrees that are
  // not a multiple of 90.
  bool RotateImage(int degrees);
  // Degrees (0, 90, 180, 270) the image is turned counter-clockwise from
  // how it was loaded.
  int Rotation() const { return rotation_; }

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
  // The data set on view is a summary of several images (until an image's
  // own data set is loaded), even while one of them is shown.
  bool ShowsSummary() const { return summary_; }
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
  int rotation_ = 0;
  bool summary_ = false;
  WellRecord well_;
  std::string message_;
};

// A thumbnail name for a new comet: the 16-digit time stamp, with "_2",
// "_3", ... added when that name is already taken in the folder, was the
// last one given, or was given in this process within the same hundredth
// of a second (to a comet of any image: names are unique across a folder's
// images scored at once). Safe to call from several threads.
std::string NextThumbnailName(const std::string& folder, std::string& last);
