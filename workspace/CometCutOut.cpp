#include "CometCutOut.h"

#include "BinaryImage.h"
#include "CometDatabase.h"
#include "CometImage.h"
#include "CometMetrics.h"
#include "ProfiledThumbnail.h"
#include "ScoringWorkspace.h"

bool MeasureFeatureComet(const BitmapImageClass& field, const FeatureRecord& f, WellRecord& well,
                         CometRecord& entry, const std::string& folder, std::string& lastName) {
  bool ok = true;
  BinaryImageClass mask(f);
  CometImageClass comet(f.width, f.height);
  comet.Image->Copy(field, f.left, f.top);
  comet.Image->SetValueWhereNonZero(mask.image, 0);
  comet.Image->RangeNonZeroGRAY(0, 255);
  const std::string name = NextThumbnailName(folder, lastName);
  if (!comet.Image->SaveToFile(folder + name + ".bmp")) ok = false;

  entry = CometRecord{};
  entry.Version = kDatabaseVersion;
  entry.RecordType = kCometDataSet;
  entry.Included = 1;
  entry.Deleted = 0;
  entry.CenterX = static_cast<float>(f.centerX);
  entry.CenterY = static_cast<float>(f.centerY);
  entry.HeadCenter = -1;
  entry.ImageWidth = static_cast<std::uint16_t>(comet.Width());
  entry.ImageHeight = static_cast<std::uint16_t>(comet.Height());
  SetImageName(entry, name);
  comet.ComputeProfiles();
  entry.HeadCenter =
      static_cast<std::int16_t>(comet.FindHeadCenter(entry.Metrics, well.SegmentationOption != 0));
  Zelcor_ComputeCometProbability(entry, f, well);
  CalibrateMetrics(entry.Metrics, well.ScaleX, well.ScaleY);

  if (!SaveProfiledThumbnail(*comet.Image, folder + name + ".jpg")) ok = false;
  return ok;
}
