#include "CometEdits.h"

#include <algorithm>
#include <vector>

#include "CometDatabase.h"
#include "CometGridLayout.h"
#include "CometMetrics.h"
#include "EventLog.h"
#include "ImageDataSetUpdate.h"
#include "ProfiledThumbnail.h"
#include "SystemInfo.h"

namespace {

const std::string kClass = "CometEdits::";

void AddMessage(std::string& message, const std::string& text) {
  if (text.empty()) return;
  message += message.empty() ? text : "; " + text;
}

}  // namespace

void CometEdits::Attach(WellRecord& well, const DataSetPlace& place) {
  well_ = &well;
  place_ = place;
  ClearUndo();
}

void CometEdits::Detach() {
  well_ = nullptr;
  place_ = DataSetPlace{};
  ClearUndo();
}

void CometEdits::ClearUndo() {
  state_ = UndoState::kStart;
  undoComet_ = CometRecord{};
  redoComet_ = CometRecord{};
  undoCometIndex_ = -1;
  undoAction_ = 0;
}

std::uint32_t CometEdits::Count() const {
  return well_ == nullptr || well_->Comets == nullptr
             ? 0
             : std::min(well_->CometCount, WellRecord::kMaxComets);
}

bool CometEdits::Bound(std::int64_t index) const {
  return index >= 0 && index < Count();
}

std::optional<CometFiles> CometEdits::Locate(const CometRecord& record, EditResult& result) const {
  std::optional<CometFiles> files = LocateCometFiles(place_, record);
  if (!files) {
    result.message = "no image of " + place_.folder + " holds the thumbnail of comet " +
                     ImageNameOf(record) + "; it is left unchanged";
    LogMessage("ERROR: " + result.message + "!!!");
  } else if (place_.isFolder) {
    result.sourceImage = files->sourceImage;
  }
  return files;
}

std::unique_ptr<CometImageClass> CometEdits::Measure(CometRecord& record, const CometFiles& files,
                                                     std::int32_t head, bool manual, int xInCell,
                                                     int cellWidth, std::string& message) const {
  const std::string bmp = files.stem + ".bmp";
  std::unique_ptr<CometImageClass> comet;
  if (FileExists(bmp)) comet = std::make_unique<CometImageClass>(bmp);
  if (comet == nullptr || comet->Image->IsEmpty() || comet->Width() <= 0 || comet->Height() <= 0) {
    message = "cannot read the comet thumbnail " + bmp + "; the comet is left unchanged";
    LogMessage("ERROR: " + message + "!!!");
    return nullptr;
  }
  if (manual) {
    head = HeadColumnInCell(xInCell, cellWidth, comet->Width());
    record.HeadCenter = static_cast<std::int16_t>(head);
  }
  Zelcor_ComputeMetrics(*comet, record, head, well_->ScaleX, well_->ScaleY);
  return comet;
}

bool CometEdits::Store(std::uint32_t index, const CometRecord& before, const CometFiles& files,
                       bool deletion, std::string& message) {
  // The statistics change every comet's probability: keep them all.
  const WellHeader header = *well_;
  std::vector<float> probabilities(Count());
  for (std::uint32_t i = 0; i < probabilities.size(); ++i)
    probabilities[i] = well_->Comets[i].Metrics[kCometProbability];
  CometRecord& record = well_->Comets[index];
  auto takeBack = [&](const std::string& why) {
    for (std::uint32_t i = 0; i < probabilities.size(); ++i)
      well_->Comets[i].Metrics[kCometProbability] = probabilities[i];
    record = before;
    static_cast<WellHeader&>(*well_) = header;
    AddMessage(message, why + "; the edit is not made");
    return false;
  };
  if (place_.isFolder) {
    std::optional<CometRecord> replacement;
    if (!deletion) replacement = record;
    std::string why;
    const StoredUpdate stored = UpdateImageDataSet(
        files.dataSetPath, files.sourceImage, {{ImageNameOf(record), replacement}}, &why);
    if (stored == StoredUpdate::kNotWritten) return takeBack(why);
    AddMessage(message, why);
  }
  Zelcor_ComputeWellStatistics(*well_);
  if (!place_.isFolder && !Zelcor_WriteToDB(place_.dataSetPath, *well_))
    return takeBack("cannot write " + place_.dataSetPath + "; the file is left as it was");
  return true;
}

EditResult CometEdits::Click(CursorMode mode, std::uint32_t index, int xInCell, int cellWidth) {
  EditResult result;
  if (!Bound(index) || mode < CursorMode::kNoChange || mode > CursorMode::kDelete) return result;
  LogMessage("entering " + kClass + "Click(" + std::to_string(static_cast<int>(mode)) + ", " +
             std::to_string(index) + ")...");
  auto finish = [&](const char* word) {
    LogMessage("exiting  " + kClass + "Click(" + word + ")...");
    return result;
  };
  CometRecord& record = well_->Comets[index];
  const std::optional<CometFiles> files = Locate(record, result);
  if (!files) return finish("FAILURE");
  if (mode == CursorMode::kNoChange) return finish("SUCCESS");

  const CometRecord before = record;
  std::unique_ptr<CometImageClass> comet;
  if (mode == CursorMode::kDelete) {
    record.Deleted = 1;
  } else {
    comet = Measure(record, *files, -1, mode == CursorMode::kManualScore, xInCell, cellWidth,
                    result.message);
    if (comet == nullptr) return finish("FAILURE");
  }
  if (!Store(index, before, *files, mode == CursorMode::kDelete, result.message))
    return finish("FAILURE");
  result.changed = true;
  if (comet != nullptr && !SaveProfiledThumbnail(*comet->Image, files->stem + ".jpg"))
    AddMessage(result.message, "cannot write the comet thumbnail " + files->stem + ".jpg");
  undoComet_ = before;
  undoCometIndex_ = static_cast<std::int32_t>(index);
  undoAction_ = static_cast<std::int32_t>(mode);
  state_ = UndoState::kEdited;
  return finish(result.message.empty() ? "SUCCESS" : "FAILURE");
}

EditResult CometEdits::Undo() {
  return CanUndo() ? Restore(true) : EditResult{};
}

EditResult CometEdits::Redo() {
  return CanRedo() ? Restore(false) : EditResult{};
}

EditResult CometEdits::Restore(bool undo) {
  EditResult result;
  if (!Bound(undoCometIndex_)) return result;
  const char* name = undo ? "Undo" : "Redo";
  LogMessage("entering " + kClass + name + "(" + std::to_string(undoCometIndex_) + ")...");
  auto finish = [&](const char* word) {
    LogMessage("exiting  " + kClass + name + "(" + word + ")...");
    return result;
  };
  const auto index = static_cast<std::uint32_t>(undoCometIndex_);
  CometRecord& record = well_->Comets[index];
  const std::optional<CometFiles> files = Locate(record, result);
  if (!files) return finish("FAILURE");

  const CometRecord before = record;
  record = undo ? undoComet_ : redoComet_;
  std::unique_ptr<CometImageClass> comet;
  const bool measured = undoAction_ == static_cast<std::int32_t>(CursorMode::kAutoScore) ||
                        undoAction_ == static_cast<std::int32_t>(CursorMode::kManualScore);
  if (measured) {
    comet = Measure(record, *files, record.HeadCenter, false, 0, 0, result.message);
    if (comet == nullptr) {
      record = before;
      return finish("FAILURE");
    }
  }
  if (!Store(index, before, *files, false, result.message)) return finish("FAILURE");
  result.changed = true;
  if (comet != nullptr && !SaveProfiledThumbnail(*comet->Image, files->stem + ".jpg"))
    AddMessage(result.message, "cannot write the comet thumbnail " + files->stem + ".jpg");
  if (undo) {
    redoComet_ = before;
    state_ = UndoState::kUndone;
  } else {
    undoComet_ = before;
    state_ = UndoState::kEdited;
  }
  return finish(result.message.empty() ? "SUCCESS" : "FAILURE");
}
