#include "ViewMapping.h"

#include <algorithm>
#include <cmath>

namespace {

// floor(extent / span x (at - start)) in exact integer arithmetic: a
// floating quotient can land a hair below a whole number and pick the
// pixel before.
int MapAxis(int at, int extent, int start, int span) {
  if (span <= 0) return -1;
  const long long scaled = static_cast<long long>(at - start) * extent;
  const long long q = scaled / span;
  return static_cast<int>(scaled % span < 0 ? q - 1 : q);
}

}  // namespace

PicturePoint ControlToPicture(int x, int y, int pictureWidth, int pictureHeight,
                              const DisplayRect& dest) {
  return {MapAxis(x, pictureWidth, dest.left, dest.Width()),
          MapAxis(y, pictureHeight, dest.top, dest.Height())};
}

double PictureToControlX(double px, int pictureWidth, const DisplayRect& dest) {
  return pictureWidth <= 0 ? dest.left : dest.left + px * dest.Width() / pictureWidth;
}

double PictureToControlY(double py, int pictureHeight, const DisplayRect& dest) {
  return pictureHeight <= 0 ? dest.top : dest.top + py * dest.Height() / pictureHeight;
}

bool InPicture(const PicturePoint& p, int pictureWidth, int pictureHeight) {
  return p.x >= 0 && p.y >= 0 && p.x < pictureWidth && p.y < pictureHeight;
}

DisplayRect FitPicture(int pictureWidth, int pictureHeight, int controlWidth, int controlHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || controlWidth <= 0 || controlHeight <= 0)
    return {};
  // The larger of the two scales that fit decides; computed in integers so
  // the rectangle never exceeds the control.
  int width = controlWidth;
  int height = static_cast<int>(static_cast<long long>(pictureHeight) * controlWidth / pictureWidth);
  if (height > controlHeight) {
    height = controlHeight;
    width = static_cast<int>(static_cast<long long>(pictureWidth) * controlHeight / pictureHeight);
  }
  width = std::max(width, 1);
  height = std::max(height, 1);
  const int left = (controlWidth - width) / 2, top = (controlHeight - height) / 2;
  return {left, top, left + width, top + height};
}

DisplayRect ZoomAbout(const DisplayRect& dest, double factor, int x, int y) {
  const double width = std::max(1.0, std::round(dest.Width() * factor));
  const double height = std::max(1.0, std::round(dest.Height() * factor));
  // The share of the picture left of and above the point stays the same.
  const double fx = dest.Width() > 0 ? double(x - dest.left) / dest.Width() : 0.0;
  const double fy = dest.Height() > 0 ? double(y - dest.top) / dest.Height() : 0.0;
  const int left = static_cast<int>(std::lround(x - fx * width));
  const int top = static_cast<int>(std::lround(y - fy * height));
  return {left, top, left + static_cast<int>(width), top + static_cast<int>(height)};
}

DisplayRect KeepInView(const DisplayRect& dest, int controlWidth, int controlHeight) {
  // Between 0 and control - extent, whichever of the two is smaller.
  auto start = [](int at, int extent, int control) {
    const int room = control - extent;
    return std::clamp(at, std::min(0, room), std::max(0, room));
  };
  const int left = start(dest.left, dest.Width(), controlWidth);
  const int top = start(dest.top, dest.Height(), controlHeight);
  return {left, top, left + dest.Width(), top + dest.Height()};
}
