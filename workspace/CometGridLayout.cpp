#include "CometGridLayout.h"

#include <algorithm>
#include <cmath>

#include "CometMetrics.h"
#include "ReviewTexts.h"

GridRect GridLayout::CellRect(int cell) const {
  const int left = (cell % std::max(columns, 1)) * cellWidth;
  const int top = (cell / std::max(columns, 1)) * cellHeight;
  return {left, top, left + cellWidth, top + cellHeight};
}

std::optional<int> GridLayout::CellAt(int x, int y) const {
  if (cellWidth <= 0 || cellHeight <= 0 || x < 0 || y < 0) return std::nullopt;
  const int column = x / cellWidth;
  const int row = y / cellHeight;
  if (column >= columns || row >= rows) return std::nullopt;
  return row * columns + column;
}

std::optional<std::uint32_t> GridLayout::CometAt(int x, int y) const {
  const std::optional<int> cell = CellAt(x, y);
  if (!cell || static_cast<std::size_t>(*cell) >= cells.size() || cells[*cell] < 0)
    return std::nullopt;
  return static_cast<std::uint32_t>(cells[*cell]);
}

std::pair<int, int> GridLayout::CellsBetween(int top, int bottom) const {
  if (cellHeight <= 0 || columns <= 0 || bottom <= top || bottom <= 0) return {0, 0};
  const int firstRow = std::clamp(top / cellHeight, 0, rows);
  const int lastRow = std::clamp((bottom - 1) / cellHeight + 1, firstRow, rows);
  return {firstRow * columns, lastRow * columns};
}

GridLayout ComputeGridLayout(const DisplayWindowResult& pass, int textHeight, int viewWidth) {
  GridLayout layout;
  layout.textHeight = textHeight;
  layout.cellWidth = std::clamp(pass.maxWidth, kMinCellSide, kMaxCellWidth) + 2 * textHeight;
  layout.cellHeight = std::clamp(pass.maxHeight, kMinCellSide, kMaxCellHeight) + 2 * textHeight;
  layout.columns = std::max((viewWidth - kGridScrollMargin) / layout.cellWidth, 1);
  const float rows = std::ceil(static_cast<float>(pass.shown) / static_cast<float>(layout.columns));
  layout.rows = std::max(static_cast<int>(rows), 1);
  layout.cells.assign(static_cast<std::size_t>(layout.columns) * layout.rows, -1);
  return layout;
}

void FillCellMap(GridLayout& layout, const WellRecord& well) {
  std::fill(layout.cells.begin(), layout.cells.end(), -1);
  if (well.Comets == nullptr) return;
  const std::uint32_t n = std::min(well.CometCount, WellRecord::kMaxComets);
  std::size_t next = 0;
  for (std::uint32_t i = 0; i < n && next < layout.cells.size(); ++i) {
    const CometRecord& c = well.Comets[i];
    if (c.Included == 0 || c.Deleted != 0) continue;
    layout.cells[next++] = static_cast<std::int32_t>(i);
  }
}

CellColours CellColoursOfBand(int band) {
  constexpr std::uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF;
  switch (band) {
    case 2:
    case 7:
      return {0x000088, kWhite};
    case 3:
    case 6:
      return {0x00DDDD, kBlack};
    case 4:
    case 5:
      return {0x008800, kWhite};
    default:
      return {kBlack, kWhite};
  }
}

std::optional<CometCell> DescribeCell(const GridLayout& layout, const WellRecord& well, int metric,
                                      int cell) {
  if (cell < 0 || static_cast<std::size_t>(cell) >= layout.cells.size() || layout.cells[cell] < 0 ||
      well.Comets == nullptr ||
      static_cast<std::uint32_t>(layout.cells[cell]) >=
          std::min(well.CometCount, WellRecord::kMaxComets))
    return std::nullopt;
  CometCell out;
  out.record = static_cast<std::uint32_t>(layout.cells[cell]);
  const CometRecord& c = well.Comets[out.record];
  const int slot = SlotOfMetric(metric);
  const float value = c.Metrics[metric];
  out.rect = layout.CellRect(cell);
  out.colours = CellColoursOfBand(ValueBand(value, well.MeanValue[slot], well.StdDevValue[slot]));
  const int width = c.ImageWidth;
  const int height = c.ImageHeight;
  out.thumbnailLeft = out.rect.left + ((layout.cellWidth - width) >> 1);
  out.thumbnailTop = out.rect.top + ((layout.cellHeight - height) >> 1);
  out.headLineX = out.thumbnailLeft + c.HeadCenter;
  out.valueText = CellValueText(value);
  out.valueTop = out.rect.top + height + ((layout.cellHeight - height) >> 1);
  out.fileLabelBottom = out.thumbnailTop;
  return out;
}

int CentredTextLeft(const GridRect& cell, int textWidth) {
  return cell.left + ((cell.right - cell.left - textWidth) >> 1);
}

GridRect ThumbnailRect(const GridLayout& layout, const CometCell& cell, int pictureWidth,
                       int pictureHeight, bool unaltered) {
  if (unaltered && (pictureWidth > layout.cellWidth || pictureHeight > layout.cellHeight)) {
    const int t = layout.textHeight;
    return {cell.rect.left + t, cell.rect.top + t, cell.rect.right - t, cell.rect.bottom - t};
  }
  return {cell.thumbnailLeft, cell.thumbnailTop, cell.thumbnailLeft + pictureWidth,
          cell.thumbnailTop + pictureHeight};
}

std::int16_t ManualHeadColumn(const GridLayout& layout, int x, int thumbnailWidth) {
  const int column = layout.cellWidth > 0 ? x / layout.cellWidth : 0;
  return HeadColumnInCell(x - column * layout.cellWidth, layout.cellWidth, thumbnailWidth);
}

std::int16_t HeadColumnInCell(int xInCell, int cellWidth, int thumbnailWidth) {
  return static_cast<std::int16_t>(xInCell - ((cellWidth - thumbnailWidth) >> 1) - 1);
}
