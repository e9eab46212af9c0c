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

int TBitmap_GetDepthInBits(const ToolkitBitmapView& bitmap) {
  LogMessage("entering TBitmap_GetDepthInBits()...");
  const int bits = DepthInBits(bitmap.PixelFormat());
  if (bits == 0) {
    ShowErrorBox("unknown PixelFormat!!!", "TBitmap_GetDepthInBits");
    LogMessage("exiting  TBitmap_GetDepthInBits(FAILURE)...");
    return 0;
  }
  LogMessage("exiting  TBitmap_GetDepthInBits(" + std::to_string(bits) + ")...");
  return bits;
}
