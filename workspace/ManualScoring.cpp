#include "ManualScoring.h"

#include <algorithm>

#include "AppPaths.h"
#include "BinaryImage.h"
#include "CometCutOut.h"
#include "CometDatabase.h"
#include "CometImage.h"
#include "CometMetrics.h"
#include "DataSets.h"
#include "EventLog.h"
#include "ImagePaths.h"
#include "ProfiledThumbnail.h"
#include "SystemInfo.h"

CometRectangle CometRectangle::Spanning(PicturePoint a, PicturePoint b, int width, int height) {
  auto clamp = [](int v, int extent) { return std::clamp(v, 0, std::max(extent - 1, 0)); };
  return {clamp(std::min(a.x, b.x), width), clamp(std::min(a.y, b.y), height),
          clamp(std::max(a.x, b.x), width), clamp(std::max(a.y, b.y), height)};
}

int OneClickCutoff(int pressCutoff, int pressY, int currentY) {
  return std::clamp(pressCutoff + (currentY - pressY), 0, 255);
}

void ManualScoring::DragTo(PicturePoint current) {
  const BitmapImageClass* image = workspace_.Image();
  if (image == nullptr) return;
  rectangle_ =
      CometRectangle::Spanning(press_, current, image->Bitmap.bmWidth, image->Bitmap.bmHeight);
}

// Whether one more comet may join the data set: there is an image, room in
// the data set, and the result folder is this image's own.
bool ManualScoring::CanAdd() {
  message_.clear();
  WellRecord& well = workspace_.DataSet();
  if (workspace_.Image() == nullptr || well.Comets == nullptr) {
    message_ = "no image is selected";
    return false;
  }
  if (workspace_.ShowsSummary()) {
    // Its comets are several images'; written as this image's they would
    // replace the image's own data set.
    message_ =
        "the comets on view are the folder's; select the image in the tree to add a comet "
        "to it";
  } else if (well.CometCount >= WellRecord::kMaxComets) {
    message_ = "the data set holds " + std::to_string(WellRecord::kMaxComets) +
               " comets, as many as it can; no further comet is added";
  } else if (std::string why; !HoldsOwnResults(workspace_.ImagePath(), &why) && !why.empty()) {
    // Shared, unreadable or another image's: never written over.
    message_ = why + "; no comet is added";
  } else if (FileExists(workspace_.DataSetPath()) && well.Rotation != workspace_.Rotation()) {
    // A comet measured on the image as it lies would not match the others.
    message_ = "the comets of " + FileNameOf(workspace_.ImagePath()) + " were scored turned " +
               std::to_string(well.Rotation) +
               " degrees counter-clockwise; turn the image the same way to add one";
  }
  if (message_.empty()) return true;
  LogMessage("ERROR: " + message_ + "!!!");
  return false;
}

// Counts the new comet in and writes the data set before and after its
// statistics.
ManualOutcome ManualScoring::Write() {
  WellRecord& well = workspace_.DataSet();
  if (!FileExists(workspace_.DataSetPath()))
    well.Rotation = static_cast<std::int16_t>(workspace_.Rotation());
  ++well.CometCount;
  const bool first = Zelcor_WriteToDB(workspace_.DataSetPath(), well);
  Zelcor_ComputeWellStatistics(well);
  const bool second = first && Zelcor_WriteToDB(workspace_.DataSetPath(), well);
  if (first && second) return ManualOutcome::kScored;
  // The data set on view is what the file holds.
  workspace_.LoadDataSet();
  message_ = "cannot write the data set " + workspace_.DataSetPath();
  return ManualOutcome::kFailed;
}

ManualOutcome ManualScoring::ScoreRectangle(int headX, std::uint8_t cutoff) {
  const CometRectangle r = rectangle_;
  if (!r.Defined() || !CanAdd())
    return message_.empty() ? ManualOutcome::kNothing : ManualOutcome::kRefused;
  BitmapImageClass& image = *workspace_.MarkableImage();
  WellRecord& well = workspace_.DataSet();
  const std::string folder = ResultFolderOf(workspace_.ImagePath());
  // The drawn rectangle exactly: picture rows top..bottom are image rows
  // H-1-bottom..H-1-top.
  const int imageRow = image.Bitmap.bmHeight - 1 - r.bottom;
  CometImageClass comet(r.right - r.left + 1, r.bottom - r.top + 1);
  comet.Image->Copy(image, r.left, imageRow);
  comet.Image->SuppressOutsideRangeGRAY(cutoff, 255);
  comet.Image->RangeNonZeroGRAY(0, 255);
  const std::string name = NextThumbnailName(folder, lastName_);
  bool ok = comet.Image->SaveToFile(folder + name + ".bmp");

  CometRecord& entry = well.Comets[well.CometCount];
  entry = CometRecord{};
  entry.Version = kDatabaseVersion;
  entry.RecordType = kCometDataSet;
  entry.Included = 1;
  entry.Deleted = 0;
  entry.CenterX = static_cast<float>((r.left + r.right) / 2);
  entry.CenterY = static_cast<float>((r.top + r.bottom) / 2);
  SetImageName(entry, name);
  const auto head = static_cast<std::int16_t>(headX - r.left);
  entry.HeadCenter = head;
  Zelcor_ComputeMetrics(comet, entry, head, well.ScaleX, well.ScaleY);
  ok = SaveProfiledThumbnail(*comet.Image, folder + name + ".jpg") && ok;

  // The scored rectangle turns black.
  comet.Image->SetAllPixelsToValue(0);
  image.OverlayNonZero(*comet.Image, r.left, imageRow);
  rectangle_ = CometRectangle{};
  const ManualOutcome outcome = Write();
  if (!ok && outcome == ManualOutcome::kScored)
    message_ = "some comet thumbnails could not be written into " + folder;
  return outcome;
}

ManualOutcome ManualScoring::ScoreRegion(PicturePoint point, std::uint8_t cutoff) {
  BitmapImageClass* image = workspace_.MarkableImage();
  message_.clear();
  if (image == nullptr || !InPicture(point, image->Bitmap.bmWidth, image->Bitmap.bmHeight))
    return ManualOutcome::kNothing;
  BinaryImageClass binary(*image);
  binary.image.ThresholdGRAY(cutoff, 255);
  binary.RemoveIsolatedPixels();
  if (binary.ComputeFeatures() == 0) return ManualOutcome::kNothing;
  const FeatureRecord* f = binary.GetFeature(point.x, image->Bitmap.bmHeight - 1 - point.y);
  if (f == nullptr) return ManualOutcome::kNothing;
  if (!CanAdd()) return ManualOutcome::kRefused;

  WellRecord& well = workspace_.DataSet();
  const std::string folder = ResultFolderOf(workspace_.ImagePath());
  bool ok = binary.image.SaveToFile(RemoveExtension(workspace_.DataSetPath()) + ".bmp");
  CometRecord& entry = well.Comets[well.CometCount];
  ok = MeasureFeatureComet(*image, *f, well, entry, folder, lastName_) && ok;
  entry.Orientation = static_cast<float>(f->orientation);

  // The scored comet turns white.
  BinaryImageClass mask(*f);
  mask.image.Invert();
  image->OverlayNonZero(mask.image, f->left, f->top);
  const ManualOutcome outcome = Write();
  if (!ok && outcome == ManualOutcome::kScored)
    message_ = "some comet thumbnails could not be written into " + folder;
  return outcome;
}
