#pragma once

#include <QColor>
#include <QImage>

#include "ToolkitPictures.h"

// A drawing surface over a picture, with the pen and brush its drawing
// uses.
class TCanvas {
 public:
  explicit TCanvas(QImage* target) : target(target) {}
  QImage* target;
  QColor pen = Qt::black;
  QColor brush = Qt::white;
};

// Guarded drawing operations; false (with the ERROR line) on a missing
// canvas or picture.
bool TCanvas_Draw(TCanvas* canvas, int x, int y, const TBitmap* picture);
bool TCanvas_StretchDraw(TCanvas* canvas, int x, int y, int width, int height,
                         const TBitmap* bitmap);
bool TCanvas_Rectangle(TCanvas* canvas, int x1, int y1, int x2, int y2);
