#include "AboutForm.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>
#include <functional>

#include "FileVersion.h"
#include "MemoWrappers.h"
#include "ShellExecute.h"
#include "SyntheticField.h"
#include "ToolkitWrappers.h"

namespace {

// One step of the gallery's lesson per picture.
QString TextFor(int damage) {
  if (damage == 0)
    return "An undamaged cell: the DNA stays in the nucleus and the comet is all head.";
  if (damage < 6)
    return QString(
               "Light damage (%1 of 21): a short, faint tail of loose DNA loops leaves the head. "
               "Tail %DNA and tail moment rise from zero.")
        .arg(damage);
  if (damage < 14)
    return QString(
               "Moderate damage (%1 of 21): the tail lengthens and carries a growing share of the "
               "DNA; the Olive moment weighs it by its distance from the head.")
        .arg(damage);
  return QString(
             "Heavy damage (%1 of 21): much of the DNA has migrated into a long tail; the head "
             "shrinks and the tail moment is large.")
      .arg(damage);
}

class ClickLabel : public QLabel {
 public:
  ClickLabel(const QString& text, QWidget* parent, std::function<void()> onPress)
      : QLabel(text, parent), onPress_(std::move(onPress)) {
    setCursor(Qt::PointingHandCursor);
  }

 protected:
  void mousePressEvent(QMouseEvent*) override { onPress_(); }

 private:
  std::function<void()> onPress_;
};

}  // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
  setObjectName("AboutForm");
  setWindowTitle("About Strandex");
  resize(356, 530);
  for (int i = 0; i < kPictures; ++i) {
    TBitmap bitmap;
    TBitmap_Assign(&bitmap, MakeCometPicture(256, i).get());
    pictures_.push_back(bitmap.image.copy());
    texts_.push_back(TextFor(i));
  }
  auto* column = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* left = new ClickLabel("<", this, [this] { labelLeftMouseDown(); });
  left->setObjectName("labelLeft");
  auto* right = new ClickLabel(">", this, [this] { labelRightMouseDown(); });
  right->setObjectName("labelRight");
  picture_ = new QLabel(this);
  picture_->setFixedSize(256, 256);
  top->addWidget(left);
  top->addWidget(picture_);
  top->addWidget(right);
  column->addLayout(top);
  column->addWidget(new QLabel("Strandex", this), 0, Qt::AlignCenter);
  column->addWidget(new QLabel("Comet assay scoring", this), 0, Qt::AlignCenter);
  column->addWidget(new QLabel(QString::fromStdString("Version " + ProgramVersionString()), this),
                    0, Qt::AlignCenter);
  description_ = new QPlainTextEdit(this);
  description_->setObjectName("memoDescription");
  description_->setReadOnly(true);
  column->addWidget(description_);
  auto* website = new ClickLabel(QString("<a href=\"%1\">%1</a>").arg(kWebsite), this,
                                 [this] { labelWebsiteClick(); });
  website->setObjectName("labelWebsite");
  website->setToolTip("Visit the Strandex web site");
  website->setTextInteractionFlags(Qt::NoTextInteraction);  // the press opens it, once
  column->addWidget(website, 0, Qt::AlignCenter);
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("buttonOk");
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  column->addWidget(ok);
  Show(static_cast<int>(QRandomGenerator::global()->bounded(kPictures)));
}

void TAboutForm::Show(int index) {
  index_ = index < 0 ? kPictures - 1 : index > kPictures - 1 ? 0 : index;
  picture_->setPixmap(QPixmap::fromImage(pictures_[static_cast<std::size_t>(index_)]));
  TMemo_SetText(description_, texts_[index_].toStdString());
}

void TAboutForm::labelWebsiteClick() {
  AnsiString_ShellExecute("open", kWebsite, "", "", 1, false);
}

QString TAboutForm::Description() const {
  return description_->toPlainText();
}
