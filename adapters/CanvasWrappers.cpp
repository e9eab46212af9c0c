#include "CanvasWrappers.h"

#include <QPainter>

#include "GuardedCall.h"

namespace {

GuardedFailure Missing(const TCanvas* canvas, const TBitmap* picture) {
  if (canvas == nullptr || canvas->target == nullptr) return "destination TCanvas is undefined!!!";
  if (picture == nullptr) return "source TGraphic is undefined!!!";
  return std::nullopt;
}

}  // namespace

bool TCanvas_Draw(TCanvas* canvas, int x, int y, const TBitmap* picture) {
  return GuardedCall("TCanvas_Draw", [&](bool&) -> GuardedFailure {
    if (auto missing = Missing(canvas, picture)) return missing;
    QPainter painter(canvas->target);
    painter.drawImage(x, y, picture->image);
    return std::nullopt;
  });
}

bool TCanvas_StretchDraw(TCanvas* canvas, int x, int y, int width, int height,
                         const TBitmap* bitmap) {
  return GuardedCall("TCanvas_StretchDraw", [&](bool&) -> GuardedFailure {
    if (auto missing = Missing(canvas, bitmap)) return missing;
    QPainter painter(canvas->target);
    painter.drawImage(QRect(x, y, width, height), bitmap->image);
    return std::nullopt;
  });
}

bool TCanvas_Rectangle(TCanvas* canvas, int x1, int y1, int x2, int y2) {
  return GuardedCall("TCanvas_Rectangle", [&](bool&) -> GuardedFailure {
    if (canvas == nullptr || canvas->target == nullptr)
      return "destination TCanvas is undefined!!!";
    QPainter painter(canvas->target);
    painter.setPen(canvas->pen);
    painter.setBrush(canvas->brush);
    painter.drawRect(QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized().adjusted(0, 0, -1, -1));
    return std::nullopt;
  });
}
