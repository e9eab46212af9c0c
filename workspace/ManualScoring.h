#pragma once

#include <cstdint>
#include <string>

#include "ScoringWorkspace.h"
#include "ViewMapping.h"

// A rectangle around one comet in picture coordinates (row 0 at the top),
// left <= right and top <= bottom; all -1 when there is none.
struct CometRectangle {
  int left = -1, top = -1, right = -1, bottom = -1;

  bool Defined() const { return left >= 0; }
  // Strictly inside: a point on the outline is not.
  bool Contains(const PicturePoint& p) const {
    return Defined() && left < p.x && p.x < right && top < p.y && p.y < bottom;
  }
  // The rectangle spanned by two corners, in whatever order they were
  // given, kept within a picture of the given size.
  static CometRectangle Spanning(PicturePoint a, PicturePoint b, int width, int height);
  bool operator==(const CometRectangle&) const = default;
};

enum class ManualOutcome {
  kScored,   // one comet added and the data set written
  kNothing,  // no comet under the point: nothing changed
  kRefused,  // the data set cannot take it (full, or another image's); the message says why
  kFailed,   // a file could not be written; the message says which
};

// The cutoff while dragging in one-click mode: the cutoff at the press,
// raised by as many control pixels as the pointer moved down (lowered when
// it moved up), within 0..255.
int OneClickCutoff(int pressCutoff, int pressY, int currentY);

// Adding comets by hand to the selected image's data set. Each comet is
// appended, its thumbnails written into the image's result folder and the
// data set written at once with fresh statistics; nothing is removed first.
// The scored place is marked in the workspace image (in memory only): black
// for a rectangle, white for a one-click comet.
class ManualScoring {
 public:
  explicit ManualScoring(ScoringWorkspace& workspace) : workspace_(workspace) {}

  // Rectangle mode: a drag from the press point to the pointer.
  void BeginDrag(PicturePoint press) { press_ = press; }
  void DragTo(PicturePoint current);
  void CancelRectangle() { rectangle_ = CometRectangle{}; }
  const CometRectangle& Rectangle() const { return rectangle_; }

  // Scores the rectangle's comet with its head at picture column headX:
  // the pixels of the rectangle at or above the cutoff, stretched, measured
  // about head column headX - left. The rectangle is cleared afterwards.
  ManualOutcome ScoreRectangle(int headX, std::uint8_t cutoff);

  // One-click mode: the region of the field thresholded at the cutoff
  // (isolated pixels removed) under the picture point, measured with an
  // automatic head. The thresholded field is kept as the image's base name
  // + ".bmp" in its result folder.
  ManualOutcome ScoreRegion(PicturePoint point, std::uint8_t cutoff);

  const std::string& Message() const { return message_; }

 private:
  bool CanAdd();
  ManualOutcome Write();

  ScoringWorkspace& workspace_;
  PicturePoint press_;
  CometRectangle rectangle_;
  std::string lastName_;
  std::string message_;
};
