#pragma once

#include <QColor>
#include <QDialog>
#include <cstdint>
#include <functional>

#include "IniFile.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

// The preferences: the metrics to export, the histogram's bin count, the
// rectangle and single-hue colours and the file-name labels. Its controls
// are the live settings; Save also writes them to the settings file.
class TPreferencesForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kSaved = 1;
  static constexpr int kCancelled = 2;

  TPreferencesForm(IniFile& settings, QWidget* parent = nullptr);

  void FormCreate();
  void SaveButtonClick();
  void CancelButtonClick();

  // The outcome of the last showing: kSaved or kCancelled (0 before any).
  int Tag() const { return tag_; }
  void reject() override;

  std::uint32_t MetricMask() const;
  QString BucketCountText() const;
  std::uint32_t LineColour() const;       // 0x00BBGGRR
  std::uint32_t SingleHueColour() const;  // 0x00BBGGRR
  bool ShowFileLabels() const;

  QListWidget* MetricsCheckList() const { return metrics_; }
  QLineEdit* HistogramBucketCountEdit() const { return buckets_; }
  QComboBox* LineColorBox() const { return lineColour_; }
  QComboBox* SingleHueColorBox() const { return hueColour_; }
  QCheckBox* ShowFileLabelsCheckBox() const { return labels_; }

 private:
  IniFile& settings_;
  int tag_ = 0;
  QListWidget* metrics_;
  QLineEdit* buckets_;
  QComboBox* lineColour_;
  QComboBox* hueColour_;
  QCheckBox* labels_;
};

// The colour lists: "Custom..." then the sixteen standard colours. The colour
// chosen under "Custom..." is kept under the list's name + "Custom"
// ("SingleHueColorBoxCustom"), as 0x00BBGGRR.
int StandardColourPosition(const char* name);

// Asks for the "Custom..." colour (the toolkit's colour dialog; tests put a
// scripted answer here; an empty chooser brings the dialog back). An invalid
// colour means cancelled.
using ColourChooser = std::function<QColor(const QColor& initial, QWidget* parent)>;
void SetColourChooser(ColourChooser chooser);
