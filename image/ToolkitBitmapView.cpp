#include "ToolkitBitmapView.h"

#include <string>

#include "EventLog.h"
#include "MessageBox.h"

int DepthInBits(ToolkitPixelFormat format) {
  switch (format) {
    case ToolkitPixelFormat::k1Bit:
      return 1;
    case ToolkitPixelFormat::k4Bit:
      return 4;
    case ToolkitPixelFormat::k8Bit:
      return 8;
    case ToolkitPixelFormat::k15Bit:
      return 15;
    case ToolkitPixelFormat::k16Bit:
      return 16;
    case ToolkitPixelFormat::k24Bit:
      return 24;
    case ToolkitPixelFormat::k32Bit:
      return 32;
    default:
      return 0;
  }
}

namespace {

// A depth query of the bitmap's format: the value, or 0 with the box.
int DepthQuery(const char* name, int value) {
  LogMessage(std::string("entering ") + name + "()...");
  if (value == 0) {
    ShowErrorBox("unknown PixelFormat!!!", name);
    LogMessage(std::string("exiting  ") + name + "(FAILURE)...");
    return 0;
  }
  LogMessage(std::string("exiting  ") + name + "(" + std::to_string(value) + ")...");
  return value;
}

}  // namespace

int TBitmap_GetDepthInBits(const ToolkitBitmapView& bitmap) {
  return DepthQuery("TBitmap_GetDepthInBits", DepthInBits(bitmap.PixelFormat()));
}

int TBitmap_GetDepthInBytes(const ToolkitBitmapView& bitmap) {
  const int bits = DepthInBits(bitmap.PixelFormat());
  return DepthQuery("TBitmap_GetDepthInBytes", bits == 0 ? 0 : bits <= 8 ? 1 : (bits + 7) / 8);
}

ToolkitPixelFormat Bitmap_GetPixelFormat(int bits) {
  switch (bits) {
    case 1:
      return ToolkitPixelFormat::k1Bit;
    case 4:
      return ToolkitPixelFormat::k4Bit;
    case 8:
      return ToolkitPixelFormat::k8Bit;
    case 15:
      return ToolkitPixelFormat::k15Bit;
    case 16:
      return ToolkitPixelFormat::k16Bit;
    case 24:
      return ToolkitPixelFormat::k24Bit;
    case 32:
      return ToolkitPixelFormat::k32Bit;
    default:
      ShowErrorBox("unknown PixelFormat!!!", "Bitmap_GetPixelFormat()");
      return ToolkitPixelFormat::kCustom;
  }
}
