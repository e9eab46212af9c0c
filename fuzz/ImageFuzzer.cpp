// Arbitrary bytes as a field-of-view image file: the first byte picks the
// extension the file is opened under, the rest is the file.
#include <cstdint>

#include "FieldImageLoader.h"
#include "FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const char* const kExtensions[] = {".png", ".jpg", ".bmp", ".tif"};
  const std::string path = FuzzFile(data + 1, size - 1, kExtensions[data[0] % 4]);
  auto image = LoadFieldImage(path);
  if (image != nullptr) {
    // A decoded image is whole and grey.
    if (image->Bitmap.bmBitsPixel != 8) __builtin_trap();
    volatile std::uint8_t sink =
        image->GetScanLine(image->Bitmap.bmHeight - 1)[image->Bitmap.bmWidth - 1];
    (void)sink;
  }
  return 0;
}
