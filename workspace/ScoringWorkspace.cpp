#include "ScoringWorkspace.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>

#include "AppPaths.h"
#include "BinaryImage.h"
#include "CometCutOut.h"
#include "CometDatabase.h"
#include "CometImage.h"
#include "CometMetrics.h"
#include "DataSets.h"
#include "EventLog.h"
#include "FieldImageLoader.h"
#include "ImagePaths.h"
#include "LevelDescent.h"
#include "MessageBox.h"
#include "QuarterTurns.h"
#include "RecycleBin.h"
#include "StagingFolders.h"
#include "SystemInfo.h"
#include "Timestamp.h"
#include "ToolkitWrappers.h"

namespace {

const std::string kForm = "TMainApplicationForm::";
constexpr int kMinCometSide = 16;  // features must be wider and taller than 15

// ": " and the system's text for an error number, or nothing without one.
std::string Because(int error) {
  return error != 0 ? ": " + ErrnoText(error) : std::string();
}

bool TouchesBorder(const FeatureRecord& f, int width, int height) {
  return f.left <= 0 || f.right >= width - 1 || f.top <= 0 || f.bottom >= height - 1;
}

}  // namespace

// One scoring run writes into a staging folder beside the result folder;
// only a run that wrote everything replaces the old results with it.
struct ScoringWorkspace::Run {
  std::string resultFolder;  // where the results end up
  std::string staging;       // where this run writes them, ending with '/'
  bool replace = false;      // old results exist and may go
  std::uint32_t count = 0;
  bool limitLogged = false;
  std::string lastName;
  bool ok = true;
  int error = 0;  // the system's error number of the first failed write

  // A write failed: keeps the first failure's error number.
  void WriteFailed() {
    if (ok) error = errno;
    ok = false;
  }
};

std::string NextThumbnailName(const std::string& folder, std::string& last) {
  // The names handed out within the current hundredth of a second, by every
  // image scored at once: a folder's images are scored in parallel, and a
  // folder data set finds a comet's thumbnail by its name alone.
  static std::mutex mutex;
  static std::string issuedStamp;
  static std::set<std::string> issued;
  const std::lock_guard<std::mutex> lock(mutex);
  const std::string stamp = GetTimestampString();
  if (stamp != issuedStamp) {
    issuedStamp = stamp;
    issued.clear();
  }
  std::string name = stamp;
  for (int n = 2; name == last || issued.count(name) != 0 || FileExists(folder + name + ".bmp") ||
                  FileExists(folder + name + ".jpg");
       ++n)
    name = stamp + "_" + std::to_string(n);
  issued.insert(name);
  last = name;
  return name;
}

bool ScoringWorkspace::SelectImage(const std::string& imagePath) {
  LogMessage("entering ScoringWorkspace::SelectImage(" + imagePath + ")...");
  const bool ok = LoadImage(imagePath);
  if (ok) LoadDataSet();
  LogMessage(std::string("exiting  ScoringWorkspace::SelectImage(") + (ok ? "SUCCESS" : "FAILURE") +
             ")...");
  return ok;
}

bool ScoringWorkspace::LoadImage(const std::string& imagePath) {
  if (ViewCometImage(imagePath)) return true;
  imagePath_ = imagePath;
  dataSetPath_ = DataSetPathOf(imagePath);
  rotation_ = 0;
  image_.reset();
  well_.Comets.reset();
  well_.CometCount = 0;
  return false;
}

bool ScoringWorkspace::ViewCometImage(const std::string& imagePath) {
  std::string reason;
  std::unique_ptr<BitmapImageClass> image = LoadFieldImage(imagePath, nullptr, &reason);
  if (image == nullptr) {
    message_ = "cannot read the image " + imagePath + ": " + reason;
    return false;
  }
  image_ = std::move(image);
  imagePath_ = imagePath;
  dataSetPath_ = DataSetPathOf(imagePath);
  message_.clear();
  rotation_ = 0;
  return true;
}

bool ScoringWorkspace::LoadDataSet() {
  summary_ = false;
  std::string why;
  const bool read = LoadImageDataSet(imagePath_, well_, &why);
  if (!why.empty()) message_ = why;
  return read;
}

void ScoringWorkspace::SelectSummary(const std::vector<std::string>& images,
                                     const std::function<void(int, int)>& progress) {
  summary_ = true;
  message_.clear();
  rotation_ = 0;
  image_ = std::make_unique<BitmapImageClass>(640, 480, 8);
  image_->SetAllPixelsToValue(0);
  std::vector<std::string> notes;
  BuildImagesSummary(images, well_, progress, &notes);
  for (const std::string& note : notes) message_ += (message_.empty() ? "" : "; ") + note;
}

bool ScoringWorkspace::RotateImage(int degrees) {
  if (image_ == nullptr || !RotateCounterClockwise(*image_, degrees)) return false;
  rotation_ = ((rotation_ + degrees) % 360 + 360) % 360;
  return true;
}

// Paths, the question about existing results, and their removal.
bool ScoringWorkspace::BeginRun(const char* name, bool ask, const char* declinedWord, Run& run) {
  run.resultFolder = ResultFolderOf(imagePath_);
  if (image_ == nullptr) {
    message_ = "no image is selected";
    return false;
  }
  const std::string folder = run.resultFolder.substr(0, run.resultFolder.size() - 1);
  // Never score into, or over, the results of another image.
  const std::vector<std::string> sharing = ImagesSharingResultsWith(imagePath_);
  const std::string owner = sharing.empty() ? OwnerOfForeignResults(imagePath_) : std::string();
  if (!sharing.empty() || !owner.empty()) {
    message_ = !sharing.empty() ? SharedResultsText(imagePath_, sharing) + "; none is scored"
                                : ForeignResultsText(imagePath_, owner) +
                                      "; move them away or rename " + FileNameOf(imagePath_);
    LogMessage("ERROR: " + message_ + "!!!");
    run.ok = false;
    return false;
  }
  if (FileExists(run.resultFolder)) {
    if (ask && AskYesNo("Overwrite existing data?", run.resultFolder) != kIdYes) {
      LogMessage("exiting  " + kForm + name + "(" + declinedWord + ")...");
      return false;
    }
    run.replace = true;
  }
  RemoveStaleStagingFolders(folder);
  std::string error;
  if (!MakeStagingFolder(folder, run.staging, error)) {
    message_ = error;
    LogMessage("ERROR: " + message_ + "!!!");
    run.ok = false;
    return false;
  }
  if (well_.Comets == nullptr) MakeFreshDataSet(well_, FileNameOf(imagePath_));
  well_.Rotation = static_cast<std::int16_t>(rotation_);
  // A turn is what the results depend on: in the log whatever its setting.
  (rotation_ != 0 ? LogNote : LogMessage)(imagePath_ + " is scored turned " +
                                          std::to_string(rotation_) + " degrees counter-clockwise");
  return true;
}

// Cuts one comet out of the image, measures it, writes its thumbnails and
// records it in the next entry of the data set.
void ScoringWorkspace::ScoreComet(Run& run, const FeatureRecord& f, bool widenLimits) {
  if (run.count >= WellRecord::kMaxComets) {
    if (!run.limitLogged)
      LogMessage("ERROR: the data set is full at " + std::to_string(WellRecord::kMaxComets) +
                 " comets; further comets are not recorded!!!");
    run.limitLogged = true;
    return;
  }
  CometRecord& entry = well_.Comets[run.count];
  errno = 0;  // a failure that is not the system's names no error
  if (!MeasureFeatureComet(*image_, f, well_, entry, run.staging, run.lastName)) run.WriteFailed();
  if (widenLimits) {
    const float area = entry.Metrics[kCometArea], height = entry.Metrics[kCometHeight];
    if (well_.MinCometArea > area) well_.MinCometArea = area;
    if (well_.MaxCometArea < area) well_.MaxCometArea = area;
    if (well_.MinCometHeight > height) well_.MinCometHeight = height;
    if (well_.MaxCometHeight < height) well_.MaxCometHeight = height;
  }
  ++run.count;
}

// Writes the data set before and after its statistics and puts the new
// results in place of the old ones (which go to the trash) when all was
// written. A run that could not write everything leaves the old results as
// they were, on disk and in the workspace.
ScoreOutcome ScoringWorkspace::FinishRun(const char* name, Run& run) {
  summary_ = false;  // the data set in memory is this image's own from here on
  well_.CometCount = run.count;
  const std::string staged = run.staging + FileNameOf(dataSetPath_);
  errno = 0;
  const bool first = Zelcor_WriteToDB(staged, well_);
  const int firstError = errno;
  Zelcor_ComputeWellStatistics(well_);
  const bool second = Zelcor_WriteToDB(staged, well_);
  const int writeError = first ? errno : firstError;
  const std::string folder = run.resultFolder.substr(0, run.resultFolder.size() - 1);
  if (!first || !second) {
    run.ok = false;
    message_ = "cannot write the data set " + dataSetPath_ + Because(writeError);
  } else if (!run.ok) {
    message_ = "some comet thumbnails could not be written for " + folder + Because(run.error);
  } else if (std::string aside, error; run.replace && !SetResultsAside(folder, aside, error)) {
    run.ok = false;
    message_ = "cannot replace the old results: " + error;
  } else if (std::rename(run.staging.c_str(), folder.c_str()) != 0) {
    const int renameError = errno;
    run.ok = false;
    message_ = "cannot put the new results in place at " + folder + Because(renameError);
    if (!aside.empty() && !PutResultsBack(aside, folder)) {
      // Neither is in place: both stay where they are, and the user is told.
      message_ += "; the new results are in " + run.staging + ", the old ones in " + aside;
      LogMessage("ERROR: " + message_ + "!!!");
      run.staging.clear();
    }
  } else {
    ForgetStagingMarker(folder);
    // The swap is done: the old results go to the trash under their name.
    if (!aside.empty() && !TrashResultsSetAside(aside, run.resultFolder))
      LogMessage("ERROR: the old results stay in " + aside + "!!!");
  }
  if (!run.ok && !run.staging.empty()) {
    LogMessage("ERROR: " + message_ + "; the previous results are kept!!!");
    std::error_code ec;
    std::filesystem::remove_all(run.staging, ec);
  }
  // The data set in memory follows what is on disk: on failure the old one.
  if (!run.ok) {
    const std::string keep = message_;
    LoadDataSet();
    message_ = keep;
  }
  LogMessage("exiting  " + kForm + name + "(" + (run.ok ? "SUCCESS" : "FAILURE") + ")...");
  return run.ok ? ScoreOutcome::kScored : ScoreOutcome::kFailed;
}

ScoreOutcome ScoringWorkspace::ScoreSelectedImageUsingCutoff(std::uint8_t cutoff, bool ask) {
  const char* name = "ScoreSelectedImageUsingCutoff";
  LogMessage("entering " + kForm + name + "(" + std::to_string(cutoff) + ")...");
  Run run;
  if (!BeginRun(name, ask, "CANCELLED", run)) {
    if (!run.ok || image_ == nullptr) {
      LogMessage("exiting  " + kForm + name + "(FAILURE)...");
      return ScoreOutcome::kFailed;
    }
    return ScoreOutcome::kDeclined;
  }
  BinaryImageClass binary(*image_);
  binary.image.Blur3x3();
  binary.image.ThresholdGRAY(cutoff, 255);
  if (image_->Bitmap.bmWidth > 320 && image_->Bitmap.bmHeight > 240) {
    binary.RemoveIsolatedPixels();
    binary.RemoveFeaturesOnEdge();
  }
  const std::int32_t n = binary.ComputeFeatures();
  for (std::int32_t j = 0; j < n; ++j) {
    LogMessage("processing feature " + std::to_string(j + 1) + " of " + std::to_string(n) + "...");
    const FeatureRecord* f = binary.GetFeature(j);
    if (f->width >= kMinCometSide && f->height >= kMinCometSide) ScoreComet(run, *f, true);
    if (onFeature) onFeature(j + 1, n);
  }
  return FinishRun(name, run);
}

ScoreOutcome ScoringWorkspace::ScoreSelectedImageUsingAutoThreshold(bool ask) {
  const char* name = "ScoreSelectedImageUsingAutoThreshold";
  LogMessage("entering " + kForm + name + "()...");
  Run run;
  if (!BeginRun(name, ask, "ABORTED BY USER", run)) {
    if (!run.ok || image_ == nullptr) {
      LogMessage("exiting  " + kForm + name + "(FAILURE)...");
      return ScoreOutcome::kFailed;
    }
    return ScoreOutcome::kDeclined;
  }
  const int width = image_->Bitmap.bmWidth, height = image_->Bitmap.bmHeight;
  BitmapImageClass grey(*image_);
  grey.BlurGRAY(7);
  std::uint8_t lowest = 0, highest = 0;
  grey.GetRangeGRAY(lowest, highest);
  grey.Add(static_cast<std::int16_t>(255 - highest));
  grey.ComputeHistogram();
  // The most frequent level from 250 down (the higher one of equals); an
  // all-dark image has none, and takes 0.
  int mode = 0;
  std::int32_t best = 0;
  for (int level = 250; level >= 0; --level)
    if (grey.HistogramGray[level] > best) {
      best = grey.HistogramGray[level];
      mode = level;
    }
  const int cutoff = (mode + 255) / 2;

  // Traced, every level the descents visit is labelled, as the trace shows;
  // otherwise all descents grow the regions of the falling level at once.
  LabelledLevels levels(grey);
  BinaryImageClass& atCutoff = levels.At(cutoff);
  const std::int32_t n = atCutoff.numFeatures;
  const bool traced = EventLogEnabled();
  const DescentEnds grown =
      traced ? DescentEnds{}
             : DescendByGrowing(grey, atCutoff, cutoff, mode, [&](const FeatureRecord& s) {
                 return !TouchesBorder(s, width, height);
               });
  for (std::int32_t i = 0; i < n; ++i) {
    LogMessage("processing feature " + std::to_string(i + 1) + " of " + std::to_string(n) + "...");
    const FeatureRecord* s = atCutoff.GetFeature(i);
    if (!TouchesBorder(*s, width, height)) {
      const FeatureRecord* p = traced ? levels.Descend(*s, cutoff, mode) : grown.Of(i);
      if (p != nullptr && !TouchesBorder(*p, width, height) && p->width >= kMinCometSide &&
          p->height >= kMinCometSide)
        ScoreComet(run, *p, false);
    }
    if (onFeature) onFeature(i + 1, n);
  }
  return FinishRun(name, run);
}

ScoreOutcome ScoringWorkspace::ScoreSelectedImageUsingOtsuSegmentation() {
  LogMessage("entering " + kForm + "ScoreSelectedImageUsingOtsuSegmentation(DISABLED)...");
  LogMessage("exiting  " + kForm + "ScoreSelectedImageUsingOtsuSegmentation(SUCCESS)...");
  return ScoreOutcome::kScored;
}
