#pragma once

#include <cstdint>
#include <vector>

#include "ToolkitBitmapView.h"

namespace testing_support {

// A toolkit bitmap held in plain memory, rows top first, each `stride` bytes.
class MemoryBitmap : public ToolkitBitmapView {
 public:
  MemoryBitmap(int width, int height, ToolkitPixelFormat format, int bytesPerPixel)
      : width_(width),
        height_(height),
        format_(format),
        stride_(width * bytesPerPixel),
        bytes_(static_cast<std::size_t>(stride_) * height + 1) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  ToolkitPixelFormat PixelFormat() const override { return format_; }
  const std::uint8_t* ScanLine(int row) const override { return bytes_.data() + row * stride_; }
  std::uint8_t* ScanLine(int row) { return bytes_.data() + row * stride_; }

 private:
  int width_, height_;
  ToolkitPixelFormat format_;
  int stride_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace testing_support
