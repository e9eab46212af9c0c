#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "CometImage.h"
#include "CometRecords.h"
#include "DataSetPlace.h"

// What a click on a comet of the grid does; the values are also the undo
// actions.
enum class CursorMode : std::int32_t {
  kNoChange = 0,
  kAutoScore = 1,    // measure again, finding the head
  kManualScore = 2,  // measure again about the clicked column
  kDelete = 3,
};

// Start: nothing to undo or redo; Edited: the last edit (or a redo) can be
// undone; Undone: the undo can be redone.
enum class UndoState { kStart, kEdited, kUndone };

struct EditResult {
  bool changed = false;     // the data set on view changed: redraw it
  std::string sourceImage;  // folder data sets: the image the comet came from, to show
  std::string message;      // what went wrong; empty when nothing did
};

// The edits of single comets of the data set on view, with one level of
// undo and redo. Each edit measures again through Zelcor_ComputeMetrics
// from the comet's ".bmp" thumbnail, rewrites its ".jpg", recomputes the
// statistics and stores the result: the image's ".cdb" for one image; for
// a folder, the ".cdb" of the image the comet came from (the folder's own
// data set has no file). An edit whose ".cdb" cannot be written is taken
// back in memory, so what is on view is what is on disk; an image ".cdb"
// that cannot be read keeps the edit on view only. Both are reported.
//
// The window holds one, attached to the data set on view:
// - whenever that data set is replaced (another tree node, a fresh
//   scoring, a folder summary): Attach; after the size filter's Apply, a
//   manual scoring or "Delete This Data": ClearUndo (or Attach anew);
// - a grid click: Click(mode, record index under the click, x - column x
//   CellWidth, CellWidth); then load `sourceImage` (when set) into the
//   workspace as the field of view, redraw when `changed` (the data-points
//   label too after a deletion), show `message` in the status bar;
// - Undo/Redo alike; the four controls follow CanUndo and CanRedo;
// - the sort moves UndoCometIndex() with its comet.
class CometEdits {
 public:
  // Binds to the data set on view (which must outlive the binding) and
  // clears the undo state. Call whenever that data set is replaced.
  void Attach(WellRecord& well, const DataSetPlace& place);
  // Forgets the data set and the undo state.
  void Detach();
  // Back to Start: an undo or redo is never applied to another data set
  // than the one edited, so anything that replaces or rewrites it clears.
  void ClearUndo();

  // A click on the comet with record index `index`. `xInCell` is the
  // click's column inside its grid cell of width `cellWidth` ("Manual
  // Score" only). Does nothing when no data set is bound, the index is
  // not a comet or the mode none of the four; a folder comet whose
  // thumbnail no image holds is left unchanged.
  EditResult Click(CursorMode mode, std::uint32_t index, int xInCell = 0, int cellWidth = 0);
  EditResult Undo();
  EditResult Redo();

  bool CanUndo() const { return state_ == UndoState::kEdited; }
  bool CanRedo() const { return state_ == UndoState::kUndone; }
  UndoState State() const { return state_; }
  const CometRecord& UndoComet() const { return undoComet_; }
  const CometRecord& RedoComet() const { return redoComet_; }
  std::int32_t UndoAction() const { return undoAction_; }
  // The edited comet's record index; a sort moves it with its comet.
  std::int32_t& UndoCometIndex() { return undoCometIndex_; }
  std::int32_t UndoCometIndex() const { return undoCometIndex_; }

 private:
  std::uint32_t Count() const;  // comets of the bound data set
  bool Bound(std::int64_t index) const;
  EditResult Restore(bool undo);
  // The comet's files, and for a folder its source image in `result`; the
  // message set when no image holds the comet's thumbnail.
  std::optional<CometFiles> Locate(const CometRecord& record, EditResult& result) const;
  // Measures the record again from its ".bmp" thumbnail about `head`
  // (negative: found) and writes nothing; the measured comet image, or
  // nothing with the message set when the thumbnail cannot be read.
  std::unique_ptr<CometImageClass> Measure(CometRecord& record, const CometFiles& files,
                                           std::int32_t head, bool manual, int xInCell,
                                           int cellWidth, std::string& message) const;
  // Stores record `index` (changed from `before`); on a failed write puts
  // `before` and the statistics back and returns false.
  bool Store(std::uint32_t index, const CometRecord& before, const CometFiles& files,
             bool deletion, std::string& message);

  WellRecord* well_ = nullptr;
  DataSetPlace place_;
  UndoState state_ = UndoState::kStart;
  CometRecord undoComet_{};
  CometRecord redoComet_{};
  std::int32_t undoCometIndex_ = -1;
  std::int32_t undoAction_ = 0;
};
