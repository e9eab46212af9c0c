// Arbitrary bytes as a BMP file.
#include <cstdint>

#include "BitmapImage.h"
#include "FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  BitmapImageClass image(FuzzFile(data, size, ".bmp"));
  if (!image.IsEmpty()) {
    // A loaded image must be whole: touch its last row and convert it.
    const std::uint8_t* last = image.GetScanLine(image.Bitmap.bmHeight - 1);
    volatile std::uint8_t sink = last[image.Bitmap.bmWidthBytes - 1];
    (void)sink;
    image.SetBitsPerPixel(8);
    image.Blur3x3();
  }
  return 0;
}
