#include "CometRecords.h"

#include <algorithm>
#include <cstring>

namespace {

std::string FieldText(const char* field, std::size_t size) {
  const auto* end = static_cast<const char*>(std::memchr(field, 0, size));
  return std::string(field, end == nullptr ? size : static_cast<std::size_t>(end - field));
}

void SetFieldText(char* field, std::size_t size, const std::string& text) {
  std::memset(field, 0, size);
  std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}

}  // namespace

std::unique_ptr<CometRecord[]> NewCometArray() {
  return std::unique_ptr<CometRecord[]>(new CometRecord[WellRecord::kMaxComets]());
}

std::string WellNameOf(const WellHeader& well) {
  return FieldText(well.WellName, sizeof well.WellName);
}

std::string ImageNameOf(const CometRecord& comet) {
  return FieldText(comet.ImageName, sizeof comet.ImageName);
}

void SetWellName(WellHeader& well, const std::string& name) {
  SetFieldText(well.WellName, sizeof well.WellName, name);
}

void SetImageName(CometRecord& comet, const std::string& name) {
  SetFieldText(comet.ImageName, sizeof comet.ImageName, name);
}
