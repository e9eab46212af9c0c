#include "Composite.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "AppPaths.h"
#include "EventLog.h"
#include "ImagePaths.h"
#include "Timestamp.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

// A random place from -size to the picture's extent; 0 when both are 0.
int RandomOffset(int extent, int size) {
  const int span = extent + size;
  return (span != 0 ? std::rand() % span : 0) - size;
}

}  // namespace

CompositeResult BuildComposite(const std::string& folder, const std::vector<std::string>& images,
                               int blurRounds) {
  CompositeResult result;
  if (folder.empty()) return result;  // no folder is open
  LogMessage("entering BuildComposite(" + folder + ")...");
  const std::string target = AsFolder(folder) + "Composite/";
  if (!MakeFolders(target)) LogMessage("ERROR: Unable to create directory \"" + target + "\"!!!");
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  auto composite = std::make_unique<BitmapImageClass>(kWidth, kHeight, 8);
  composite->SetAllPixelsToValue(0);
  result.rounds = std::rand() % 5 + 10;
  std::size_t next = 0;
  for (int round = 0; round < result.rounds; ++round) {
    if (next >= images.size()) continue;
    BitmapImageClass image(AsFolder(folder) + images[next++]);
    const int x = RandomOffset(kWidth, image.Bitmap.bmWidth);
    const int y = RandomOffset(kHeight, image.Bitmap.bmHeight);
    composite->OverlayNonZeroMerge(image, x, y);
    result.merged += !image.IsEmpty();
  }
  composite->SaveToFile(target + "01.bmp");

  BitmapImageClass copy(*composite);
  for (int step = 0; step < blurRounds; ++step) {
    copy.Blur7x7();
    copy.RangeGRAY(0, 255);
    copy.SaveToFile(target + GetTimestampString() + ".bmp");
  }
  copy.SaveToFile(target + "02.bmp");
  copy.Add(static_cast<std::int16_t>(std::rand() % 3));
  copy.SaveToFile(target + "03.bmp");
  for (int row = 0; row < kHeight && !composite->IsEmpty() && !copy.IsEmpty(); ++row) {
    std::uint8_t* sum = composite->GetScanLine(row);
    const std::uint8_t* add = copy.GetScanLine(row);
    for (int column = 0; column < kWidth; ++column)
      sum[column] = static_cast<std::uint8_t>(std::min(255, sum[column] + add[column]));
  }
  composite->SaveToFile(target + "04.bmp");
  result.composite = std::move(composite);
  LogMessage("exiting  BuildComposite(" + std::to_string(result.merged) + ")...");
  return result;
}
