#include "FieldImageLoader.h"

#include <algorithm>
#include <cctype>

#include "EventLog.h"
#include "ToolkitWrappers.h"
#include "WorkspaceRaster.h"

namespace {

std::string LowerExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string extension = path.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

// Decodes the file into the bitmap by its extension; `why` gets the reason
// of a failure.
bool Decode(const std::string& path, TBitmap* bitmap, std::string& why) {
  const std::string extension = LowerExtension(path);
  if (extension == ".jpg" || extension == ".jpeg") {
    TJPEGImage* picture = TJPEGImage_Create();
    const bool ok = TJPEGImage_LoadFromFile(picture, path, &why) && TBitmap_Assign(bitmap, picture);
    TJPEGImage_Destroy(picture);
    return ok;
  }
  if (extension == ".png") {
    TPngImage* picture = TPngImage_Create();
    const bool ok = TPngImage_LoadFromFile(picture, path, &why) && TBitmap_Assign(bitmap, picture);
    TPngImage_Destroy(picture);
    return ok;
  }
  if (extension == ".bmp") return TBitmap_LoadFromFile(bitmap, path, &why);
  if (extension == ".tif" || extension == ".tiff") {
    TTiffImage* picture = TTiffImage_Create();
    const bool ok = TTiffImage_LoadFromFile(picture, path, &why) && TBitmap_Assign(bitmap, picture);
    TTiffImage_Destroy(picture);
    return ok;
  }
  why = "not a BMP, JPEG, PNG or TIFF file name";
  LogMessage("ERROR: " + path + " is not a BMP, JPEG, PNG or TIFF image!!!");
  return false;
}

}  // namespace

bool IsFieldImageName(const std::string& path) {
  const std::string extension = LowerExtension(path);
  return extension == ".jpg" || extension == ".jpeg" || extension == ".png" ||
         extension == ".bmp" || extension == ".tif" || extension == ".tiff";
}

std::unique_ptr<BitmapImageClass> LoadFieldImage(const std::string& path, TBitmap* display,
                                                 std::string* reason) {
  LogMessage("entering LoadFieldImage(" + path + ")...");
  std::unique_ptr<TBitmap, bool (*)(TBitmap*)> bitmap(TBitmap_Create(), TBitmap_Destroy);
  std::unique_ptr<BitmapImageClass> image;
  std::string why;
  if (bitmap == nullptr) {
    why = "out of memory";
  } else if (Decode(path, bitmap.get(), why)) {
    image = WorkspaceRasterOf(*bitmap);
    if (image->IsEmpty()) {
      why = "its pixels could not be converted";
      LogMessage("ERROR: " + path + " could not be made into a raster image!!!");
      image.reset();
    } else {
      if (display != nullptr) {
        display->image = std::move(bitmap->image);
        display->format = bitmap->format;
      }
    }
  } else if (why.empty()) {
    why = "it could not be decoded";
  }
  if (image == nullptr && reason != nullptr) *reason = why;
  LogMessage(std::string("exiting  LoadFieldImage(") + (image ? "SUCCESS" : "FAILURE") + ")...");
  return image;
}
