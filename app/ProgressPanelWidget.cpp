#include "ProgressPanelWidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

ProgressPanelWidget::ProgressPanelWidget(QWidget* parent) : QFrame(parent) {
  setObjectName("ProgressPanel");
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Raised);
  setAutoFillBackground(true);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 4, 6, 4);
  column->setSpacing(2);
  indicator_ = new QLabel(this);
  indicator_->setObjectName("ProgressIndicator");
  images_ = new QProgressBar(this);
  images_->setObjectName("ProgressBar1");
  features_ = new QProgressBar(this);
  features_->setObjectName("ProgressBar2");
  for (QProgressBar* bar : {images_, features_}) {
    bar->setTextVisible(false);
    bar->setMaximumHeight(12);
  }
  cancel_ = new QPushButton("Cancel", this);
  cancel_->setObjectName("ProgressCancelButton");
  auto* top = new QHBoxLayout;
  top->addWidget(indicator_, 1);
  top->addWidget(cancel_);
  column->addLayout(top);
  column->addWidget(images_);
  column->addWidget(features_);
  resize(278, 67);
  hide();
  connect(cancel_, &QPushButton::clicked, this, [this] {
    cancel_->setEnabled(false);
    emit CancelClicked();
  });
}

void ProgressPanelWidget::SetText(const std::string& text) {
  indicator_->setText(QString::fromStdString(text));
  repaint();
}

void ProgressPanelWidget::Centre(const QSize& area) {
  move((area.width() - width()) >> 1, (area.height() - height()) >> 1);
}

void ProgressPanelWidget::Begin(const std::string& text, int images, bool cancellable) {
  indicator_->setText(QString::fromStdString(text));
  images_->setRange(0, std::max(images, 1));
  images_->setValue(0);
  features_->setRange(0, 1);
  features_->setValue(0);
  cancel_->setVisible(cancellable);
  cancel_->setEnabled(cancellable);
  if (parentWidget() != nullptr) Centre(parentWidget()->size());
  show();
  raise();
  repaint();
}
