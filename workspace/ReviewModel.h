#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "CometGridLayout.h"
#include "CometRecords.h"
#include "DisplayWindow.h"
#include "MetricHistogram.h"
#include "ReviewTexts.h"

// The review of a data set one metric at a time, as the window's review
// views show it: the choices of the option row, the histogram, the
// statistics labels, the display window, the order of the grid and its cell
// map. It holds no data set: every step works on the one it is given, which
// the caller owns. A view asks it what to paint and which comet a click hit.
//
// On a metric change: ChooseMetricFromList (store the choice), Histogram,
// Labels, then the grid's LayOutGrid. Painting the grid: CellsBetween of
// the rows in sight, Cell for each, the thumbnail (ThumbnailFiles,
// ThumbnailCache) at ThumbnailRect, the head line and the labels. A click:
// CometAt gives the record to edit, HeadColumnAt the head of a manual one.
class ReviewModel {
 public:
  // The metric list's selection; nothing valid selected (-1 on a first
  // start) chooses Tail %DNA. True when the choice was made for the user, so
  // the caller selects and stores it.
  bool ChooseMetricFromList(int listIndex);
  int Metric() const { return metric_; }

  void SetSortItem(int item) { descending_ = item == 1; }
  bool Descending() const { return descending_; }

  // The items of the two bound lists (0..7 each).
  void SetWindowItems(int minItem, int maxItem);
  int LowerBound() const { return lo_; }
  int UpperBound() const { return hi_; }

  void SetImageModeItem(int item) { profiled_ = item == 1; }
  bool Profiled() const { return profiled_; }
  const char* Extension() const;

  HistogramPicture Histogram(WellRecord& well, const std::string& bucketText, int height) const;
  StatisticsTexts Labels(const WellRecord& well) const;

  // The grid's layout step for a text height and the view's width: the
  // display-window pass, the layout, the sort (keeping `undoCometIndex` on
  // its comet) and the cell map. A data set without comets empties the cell
  // map and is otherwise left as it is.
  const GridLayout& LayOutGrid(WellRecord& well, int textHeight, int viewWidth,
                               std::int32_t& undoCometIndex);
  const GridLayout& Layout() const { return layout_; }
  const DisplayWindowResult& Pass() const { return pass_; }

  // One occupied cell of the last layout, for painting; nothing for an
  // empty cell.
  std::optional<CometCell> Cell(const WellRecord& well, int cell) const;
  // The record index under a click on the grid picture, or nothing (outside
  // the cells, an empty cell, or a record the data set no longer holds).
  std::optional<std::uint32_t> CometAt(const WellRecord& well, int x, int y) const;
  // The head column of a "Manual Score" click at x.
  std::int16_t HeadColumnAt(int x, int thumbnailWidth) const;

 private:
  int metric_ = MetricOfListIndex(-1);
  bool descending_ = false;
  int lo_ = WindowBoundOfItem(kDefaultMinBoundItem);
  int hi_ = WindowBoundOfItem(kDefaultMaxBoundItem);
  bool profiled_ = false;
  DisplayWindowResult pass_;
  GridLayout layout_;
};
