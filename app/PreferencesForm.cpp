#include "PreferencesForm.h"

#include <algorithm>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "CometMetrics.h"
#include "Conversions.h"
#include "EventLog.h"
#include "MessageBox.h"

namespace {

struct NamedColour {
  const char* name;
  QColor colour;
};

const NamedColour kStandard[16] = {
    {"Black", QColor(0, 0, 0)},        {"Maroon", QColor(128, 0, 0)},
    {"Green", QColor(0, 128, 0)},      {"Olive", QColor(128, 128, 0)},
    {"Navy", QColor(0, 0, 128)},       {"Purple", QColor(128, 0, 128)},
    {"Teal", QColor(0, 128, 128)},     {"Gray", QColor(128, 128, 128)},
    {"Silver", QColor(192, 192, 192)}, {"Red", QColor(255, 0, 0)},
    {"Lime", QColor(0, 255, 0)},       {"Yellow", QColor(255, 255, 0)},
    {"Blue", QColor(0, 0, 255)},       {"Fuchsia", QColor(255, 0, 255)},
    {"Aqua", QColor(0, 255, 255)},     {"White", QColor(255, 255, 255)},
};

const QColor kNoCustomColour(255, 255, 255);

ColourChooser& ScriptedChooser() {
  static ColourChooser chooser;
  return chooser;
}

QColor ChooseColour(const QColor& initial, QWidget* parent) {
  if (ScriptedChooser()) return ScriptedChooser()(initial, parent);
  return QColorDialog::getColor(initial, parent);
}

// The key holding the colour chosen under "Custom..." of a list.
std::string CustomKey(const QComboBox* box) {
  return box->objectName().toStdString() + "Custom";
}

QComboBox* ColourList(QWidget* parent, const char* name, int selected) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->addItem("Custom...", kNoCustomColour);
  for (const auto& c : kStandard) {
    QPixmap swatch(12, 12);
    swatch.fill(c.colour);
    box->addItem(QIcon(swatch), c.name, c.colour);
  }
  box->setCurrentIndex(selected);
  QObject::connect(box, QOverload<int>::of(&QComboBox::activated), box, [box](int index) {
    if (index != 0) return;
    const QColor chosen = ChooseColour(box->itemData(0).value<QColor>(), box);
    if (chosen.isValid()) box->setItemData(0, chosen);
  });
  return box;
}

std::uint32_t ToColourValue(const QColor& c) {
  return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
         (static_cast<std::uint32_t>(c.blue()) << 16);
}

QColor FromColourValue(std::uint32_t value) {
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

}  // namespace

void SetColourChooser(ColourChooser chooser) {
  ScriptedChooser() = std::move(chooser);
}

int StandardColourPosition(const char* name) {
  for (int i = 0; i < 16; ++i)
    if (QString(kStandard[i].name) == name) return i + 1;
  return 0;
}

TPreferencesForm::TPreferencesForm(IniFile& settings, QWidget* parent)
    : QDialog(parent, Qt::Tool), settings_(settings) {
  LogMessage("entering TPreferencesForm::TPreferencesForm()...");
  setObjectName("PreferencesForm");
  setWindowTitle("Preferences");
  resize(320, 566);
  auto* column = new QVBoxLayout(this);
  column->addWidget(new QLabel("   Metrics to Export                    Preferences", this));
  auto* row = new QHBoxLayout;
  metrics_ = new QListWidget(this);
  metrics_->setObjectName("MetricsCheckList");
  for (int k = 0; k < kMetricCount; ++k) {
    auto* item = new QListWidgetItem(kMetricNames[k], metrics_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
  }
  // Whole names, never "Comet I": the list is as wide as its longest entry.
  metrics_->setMinimumWidth(metrics_->sizeHintForColumn(0) + 2 * metrics_->frameWidth() +
                            metrics_->verticalScrollBar()->sizeHint().width());
  auto* form = new QFormLayout;
  buckets_ = new QLineEdit("100", this);
  buckets_->setObjectName("HistogramBucketCountEdit");
  lineColour_ = ColourList(this, "LineColorBox", StandardColourPosition("Yellow"));
  hueColour_ = ColourList(this, "SingleHueColorBox", StandardColourPosition("White"));
  labels_ = new QCheckBox("Show Filename Labels", this);
  labels_->setObjectName("ShowFileLabelsCheckBox");
  form->addRow("Bins in Histogram", buckets_);
  form->addRow("Rectangle Line Color", lineColour_);
  form->addRow("Single Hue Viewing", hueColour_);
  form->addRow(labels_);
  row->addWidget(metrics_);
  row->addLayout(form);
  column->addLayout(row);
  auto* buttons = new QHBoxLayout;
  auto* save = new QPushButton("Save", this);
  save->setObjectName("SaveButton");
  save->setDefault(true);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("CancelButton");
  buttons->addStretch();
  buttons->addWidget(save);
  buttons->addWidget(cancel);
  column->addLayout(buttons);
  connect(save, &QPushButton::clicked, this, [this] { SaveButtonClick(); });
  connect(cancel, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
  resize(std::max(width(), sizeHint().width()), height());
  LogMessage("exiting  TPreferencesForm::TPreferencesForm()...");
  FormCreate();
}

void TPreferencesForm::FormCreate() {
  LogMessage("entering TPreferencesForm::FormCreate()...");
  const int mask = settings_.ReadInteger("main", "MetricsCheckList", -1);
  for (int k = 0; k < kMetricCount; ++k)
    metrics_->item(k)->setCheckState(((mask >> k) & 1) ? Qt::Checked : Qt::Unchecked);
  buckets_->setText(QString::fromStdString(
      settings_.ReadString("main", "HistogramBucketCountEdit", buckets_->text().toStdString())));
  auto select = [this](QComboBox* box, const char* key) {
    const int position = settings_.ReadInteger("main", key, box->currentIndex());
    if (position >= 0 && position < box->count()) box->setCurrentIndex(position);
    // The colour once chosen under "Custom..."; white when none was kept.
    const int custom = settings_.ReadInteger("main", CustomKey(box), -1);
    box->setItemData(0, custom >= 0 && custom <= 0xFFFFFF
                            ? FromColourValue(static_cast<std::uint32_t>(custom))
                            : kNoCustomColour);
  };
  select(lineColour_, "LineColorBox");
  select(hueColour_, "SingleHueColorBox");
  labels_->setChecked(
      settings_.ReadInteger("main", "ShowFileLabelsCheckBox", labels_->isChecked()) != 0);
  LogMessage("exiting  TPreferencesForm::FormCreate()...");
}

void TPreferencesForm::SaveButtonClick() {
  LogMessage("entering TPreferencesForm::SaveButtonClick()...");
  if (AnsiString_ToInt(buckets_->text().toStdString()) < 2) {
    ShowErrorBox("Number of bins in histogram\nmust be greater than 1.", "Save Preferences");
    LogMessage("exiting  TPreferencesForm::SaveButtonClick(FAILURE)...");
    return;
  }
  settings_.WriteInteger("main", "MetricsCheckList", static_cast<int>(MetricMask()));
  settings_.WriteString("main", "HistogramBucketCountEdit", buckets_->text().toStdString());
  for (QComboBox* box : {lineColour_, hueColour_}) {
    settings_.WriteInteger("main", box->objectName().toStdString(), box->currentIndex());
    if (box->currentIndex() == 0)
      settings_.WriteInteger("main", CustomKey(box),
                             static_cast<int>(ToColourValue(box->itemData(0).value<QColor>())));
  }
  settings_.WriteInteger("main", "ShowFileLabelsCheckBox", labels_->isChecked() ? 1 : 0);
  tag_ = kSaved;
  accept();
  LogMessage("exiting  TPreferencesForm::SaveButtonClick(SUCCESS)...");
}

void TPreferencesForm::CancelButtonClick() {
  reject();
}

// Cancel and Esc: nothing is written, and the controls keep their changes
// for this run.
void TPreferencesForm::reject() {
  tag_ = kCancelled;
  QDialog::reject();
}

std::uint32_t TPreferencesForm::MetricMask() const {
  std::uint32_t mask = 0;
  for (int k = 0; k < kMetricCount; ++k)
    if (metrics_->item(k)->checkState() == Qt::Checked) mask |= 1u << k;
  return mask;
}

QString TPreferencesForm::BucketCountText() const {
  return buckets_->text();
}

std::uint32_t TPreferencesForm::LineColour() const {
  return ToColourValue(lineColour_->currentData().value<QColor>());
}

std::uint32_t TPreferencesForm::SingleHueColour() const {
  return ToColourValue(hueColour_->currentData().value<QColor>());
}

bool TPreferencesForm::ShowFileLabels() const {
  return labels_->isChecked();
}
