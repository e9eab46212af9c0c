#include "FilterPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* LimitEdit(const char* name, const std::string& text, QWidget* parent) {
  auto* edit = new QLineEdit(QString::fromStdString(text), parent);
  edit->setObjectName(name);
  edit->setMaximumWidth(90);
  return edit;
}

}  // namespace

FilterPanel::FilterPanel(QWidget* parent) : QGroupBox("Filter", parent) {
  setObjectName("FilterPanel");
  setAutoFillBackground(true);
  const SizeFilterTexts defaults;
  minArea_ = LimitEdit("FilterMinAreaEdit", defaults.minArea, this);
  maxArea_ = LimitEdit("FilterMaxAreaEdit", defaults.maxArea, this);
  minHeight_ = LimitEdit("FilterMinHeightEdit", defaults.minHeight, this);
  maxHeight_ = LimitEdit("FilterMaxHeightEdit", defaults.maxHeight, this);

  auto* rows = new QGridLayout;
  auto row = [this, rows](int at, QLineEdit* min, const char* metric, QLineEdit* max) {
    rows->addWidget(min, at, 0);
    rows->addWidget(new QLabel(" < ", this), at, 1);
    rows->addWidget(new QLabel(metric, this), at, 2, Qt::AlignHCenter);
    rows->addWidget(new QLabel(" < ", this), at, 3);
    rows->addWidget(max, at, 4);
  };
  row(0, minArea_, "Comet Area", maxArea_);
  row(1, minHeight_, "Comet Height", maxHeight_);

  preview_ = new QPushButton("Preview", this);
  preview_->setObjectName("PreviewFilterButton");
  apply_ = new QPushButton("Apply", this);
  apply_->setObjectName("ApplyFilterButton");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(preview_);
  buttons->addWidget(apply_);

  auto* column = new QVBoxLayout(this);
  column->addLayout(rows);
  column->addLayout(buttons);
  adjustSize();
  hide();

  connect(preview_, &QPushButton::clicked, this, &FilterPanel::PreviewClicked);
  connect(apply_, &QPushButton::clicked, this, &FilterPanel::ApplyClicked);
}

SizeFilterTexts FilterPanel::Texts() const {
  return {minArea_->text().toStdString(), maxArea_->text().toStdString(),
          minHeight_->text().toStdString(), maxHeight_->text().toStdString()};
}

void FilterPanel::SetTexts(const SizeFilterTexts& texts) {
  minArea_->setText(QString::fromStdString(texts.minArea));
  maxArea_->setText(QString::fromStdString(texts.maxArea));
  minHeight_->setText(QString::fromStdString(texts.minHeight));
  maxHeight_->setText(QString::fromStdString(texts.maxHeight));
}

void FilterPanel::PlaceUnder(int buttonLeft, int buttonWidth, int toolBarBottom) {
  move(buttonLeft + buttonWidth / 2 - width() / 2, toolBarBottom + 1);
}
