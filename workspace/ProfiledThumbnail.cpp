#include "ProfiledThumbnail.h"

#include "ToolkitWrappers.h"

bool SaveProfiledThumbnail(const BitmapImageClass& comet, const std::string& fileName) {
  TJPEGImage* jpeg = TJPEGImage_CreateFromImage(comet, kThumbnailJpegQuality);
  const bool saved = TJPEGImage_SaveToFile(jpeg, fileName);
  TJPEGImage_Destroy(jpeg);
  return saved;
}
