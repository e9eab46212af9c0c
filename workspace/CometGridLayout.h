#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CometRecords.h"
#include "DisplayWindow.h"

// The comet grid: equal cells, `columns` to a row, each holding one shown
// comet's thumbnail on a colour of its band, with its value below.

// Cell sizes are the largest shown thumbnail clamped to these, plus a
// margin of the text height on each side.
inline constexpr int kMinCellSide = 50;
inline constexpr int kMaxCellWidth = 400;
inline constexpr int kMaxCellHeight = 300;
// The part of the view's width that the scroll bar keeps.
inline constexpr int kGridScrollMargin = 20;

struct GridRect {
  int left = 0;
  int top = 0;
  int right = 0;  // exclusive
  int bottom = 0;
  bool operator==(const GridRect&) const = default;
};

// The layout and the cell map: cell (column, row) holds the record index of
// the comet drawn there, -1 when empty. An empty layout (no comets) has no
// cells and no cell sizes.
struct GridLayout {
  int cellWidth = 0;
  int cellHeight = 0;
  int textHeight = 0;
  int columns = 0;
  int rows = 0;
  std::vector<std::int32_t> cells;  // row by row

  int PictureWidth() const { return columns * cellWidth; }
  int PictureHeight() const { return rows * cellHeight; }
  GridRect CellRect(int cell) const;
  // The cell under a point of the grid picture, or nothing outside the cells.
  std::optional<int> CellAt(int x, int y) const;
  // The record index of the comet under a point, or nothing (outside the
  // cells, or a cell without a comet).
  std::optional<std::uint32_t> CometAt(int x, int y) const;
  // The cells [first, last) of the rows that a band of the picture from
  // `top` to `bottom` (exclusive) crosses: what a view painting only what is
  // in sight paints.
  std::pair<int, int> CellsBetween(int top, int bottom) const;
};

// The layout for the pass's largest thumbnail and shown count, a text height
// and the view's width: at least one column and one row.
GridLayout ComputeGridLayout(const DisplayWindowResult& pass, int textHeight, int viewWidth);

// Fills the cell map from the records in their current order: every
// included, undeleted comet takes the next cell, left to right, row by row.
void FillCellMap(GridLayout& layout, const WellRecord& well);

// Cell colours (0xBBGGRR) by band: black, dark red, olive yellow, green,
// green, olive yellow, dark red, black; white text except on olive yellow.
struct CellColours {
  std::uint32_t background = 0;
  std::uint32_t text = 0;
  bool operator==(const CellColours&) const = default;
};
CellColours CellColoursOfBand(int band);

// Everything a view needs to paint one occupied cell; nothing for an empty
// cell or one whose record the data set no longer holds.
struct CometCell {
  std::uint32_t record = 0;
  GridRect rect;
  CellColours colours;
  int thumbnailLeft = 0;  // where an unscaled thumbnail goes
  int thumbnailTop = 0;
  int headLineX = 0;  // the head line runs from rect.top to rect.bottom
  std::string valueText;
  int valueTop = 0;         // the value label's top, just below the thumbnail
  int fileLabelBottom = 0;  // the file label ends just above the thumbnail
};
std::optional<CometCell> DescribeCell(const GridLayout& layout, const WellRecord& well, int metric,
                                      int cell);

// The left of a text of a given width centred in a cell.
int CentredTextLeft(const GridRect& cell, int textWidth);
// The top of the file label of a given text height.
inline int FileLabelTop(const CometCell& cell, int labelHeight) {
  return cell.fileLabelBottom - labelHeight;
}

// Where a thumbnail picture of the given size is drawn: a ".bmp" larger than
// the cell either way is stretched into the cell less a margin of the text
// height; anything else is drawn unscaled at the thumbnail origin.
GridRect ThumbnailRect(const GridLayout& layout, const CometCell& cell, int pictureWidth,
                       int pictureHeight, bool unaltered);

// The head column chosen by a "Manual Score" click at x in the cell's
// column: the click's column inside the unscaled thumbnail of the given
// width, minus one, as a 16-bit signed value (negative lets the head be
// found automatically).
std::int16_t ManualHeadColumn(const GridLayout& layout, int x, int thumbnailWidth);
// The same for a click `xInCell` pixels from the left of its cell.
std::int16_t HeadColumnInCell(int xInCell, int cellWidth, int thumbnailWidth);
