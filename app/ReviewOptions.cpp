#include "ReviewOptions.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "CometMetrics.h"
#include "ReviewTexts.h"

namespace {

template <std::size_t N>
QStringList Items(const std::array<const char*, N>& items) {
  QStringList list;
  for (const char* item : items) list << item;
  return list;
}

}  // namespace

ReviewOptions::ReviewOptions(QWidget* parent) : QWidget(parent) {
  setObjectName("ReviewOptions");
  auto label = [this](const char* name, const char* text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    return l;
  };
  auto list = [this](const char* name, const QStringList& items, int selected) {
    auto* box = new QComboBox(this);
    box->setObjectName(name);
    box->addItems(items);
    box->setCurrentIndex(selected);
    return box;
  };
  QStringList metrics;
  for (const char* name : kMetricNames) metrics << name;
  minBound_ = list("MinStdDevComboBox", Items(kWindowBoundItems), kDefaultMinBoundItem);
  maxBound_ = list("MaxStdDevComboBox", Items(kWindowBoundItems), kDefaultMaxBoundItem);
  metric_ = list("MetricComboBox", metrics, -1);
  sort_ = list("SortComboBox", Items(kSortItems), 0);
  imageMode_ = list("ImageModeComboBox", Items(kImageModeItems), 0);
  cursorMode_ = list("CursorModeDropDownList", Items(kCursorModeItems), 0);
  // Over two lines so that the window fits a laptop's screen.
  auto* lines = new QVBoxLayout(this);
  lines->setContentsMargins(0, 0, 0, 0);
  lines->setSpacing(2);
  auto* options = new QHBoxLayout;
  auto* moreOptions = new QHBoxLayout;
  const char* texts[] = {"DisplayBetweenLabel", "AndLabel", "StdDevOfLabel", "AsLabel",
                         "AndModeLabel"};
  QComboBox* lists[] = {minBound_, maxBound_, metric_, sort_, imageMode_};
  for (int i = 0; i < 5; ++i) {
    QHBoxLayout* line = i < 3 ? options : moreOptions;
    line->addWidget(label(texts[i], kOptionRowTexts[i]));
    line->addWidget(lists[i]);
  }
  options->addStretch();
  moreOptions->addStretch();
  moreOptions->addWidget(label("CursorModeLabel", kOptionRowTexts[5]));
  moreOptions->addWidget(cursorMode_);
  lines->addLayout(options);
  lines->addLayout(moreOptions);
}
