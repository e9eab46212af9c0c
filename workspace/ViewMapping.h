#pragma once

// The field-of-view display shows the picture (W x H pixels, row 0 at the
// top) scaled into a destination rectangle of the control: the whole
// control area it fits with its proportions kept, or under zoom a larger
// rectangle that may reach past the control's edges. A control point maps
// to the picture pixel it shows; picture rows count from the top, image
// rows (as the raster stores them) from the bottom: image row = H - 1 - py.
struct DisplayRect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

struct PicturePoint {
  int x = 0, y = 0;
  bool operator==(const PicturePoint&) const = default;
};

// px = floor(W / dest width x (X - dest.left)), likewise for py, computed
// exactly. Points left of or above dest give negative coordinates, points
// past it W or H and more.
PicturePoint ControlToPicture(int x, int y, int pictureWidth, int pictureHeight,
                              const DisplayRect& dest);

// Where the top-left corner of a picture pixel lies in the control.
double PictureToControlX(double px, int pictureWidth, const DisplayRect& dest);
double PictureToControlY(double py, int pictureHeight, const DisplayRect& dest);

bool InPicture(const PicturePoint& p, int pictureWidth, int pictureHeight);

// The rectangle the picture fills in a control of the given size, centred,
// with its proportions kept (the view without zoom).
DisplayRect FitPicture(int pictureWidth, int pictureHeight, int controlWidth, int controlHeight);

// The destination rectangle after zooming `dest` by `factor` about the
// control point (x, y), so the picture point under it stays under it.
DisplayRect ZoomAbout(const DisplayRect& dest, double factor, int x, int y);

// `dest` moved as little as possible so that the picture covers the
// control along each axis where it is larger than the control, and lies
// wholly inside it along each axis where it is not (panning never leaves
// an empty band beside a picture that could fill it).
DisplayRect KeepInView(const DisplayRect& dest, int controlWidth, int controlHeight);
