#include "ScoringRunner.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "ScoringWorkspace.h"

ScoringRunner::ScoringRunner(QObject* parent) : QObject(parent) {}

ScoringRunner::~ScoringRunner() {
  Cancel();
  // A worker may wait for a message box, which needs this thread's events.
  while (!workerDone_) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  if (thread_.joinable()) thread_.join();
}

template <class Work>
void ScoringRunner::Start(Work work) {
  if (thread_.joinable()) thread_.join();
  running_ = true;
  cancel_ = false;
  workerDone_ = false;
  reports_.clear();
  seconds_ = 0;
  start_ = std::chrono::steady_clock::now();
  thread_ = std::thread([this, work = std::move(work)]() mutable {
    work();
    workerDone_ = true;
    QMetaObject::invokeMethod(this, [this] { Done(); }, Qt::QueuedConnection);
  });
}

void ScoringRunner::Done() {
  if (thread_.joinable()) thread_.join();
  seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  running_ = false;
  emit Finished();
}

void ScoringRunner::ScoreSelectedImage(ScoringWorkspace& workspace, const ScoreRequest& request,
                                       bool ask) {
  ScoreRequest r = request;
  r.cancel = &cancel_;
  r.onFeature = [this](const std::string&, int done, int total) {
    emit FeatureProgress(done, total);
  };
  Start([this, &workspace, r, ask] {
    emit ImageStarted(QString::fromStdString(workspace.ImagePath()));
    reports_ = {ScoreSelected(workspace, r, ask)};
    emit ImageFinished(1, 1);
  });
}

void ScoringRunner::ScoreImages(const std::vector<std::string>& images, const ScoreRequest& request) {
  ScoreRequest r = request;
  r.cancel = &cancel_;
  r.onImageStart = [this](const std::string& image) {
    emit ImageStarted(QString::fromStdString(image));
  };
  r.onFeature = [this](const std::string&, int done, int total) {
    emit FeatureProgress(done, total);
  };
  Start([this, images, r] {
    std::vector<ImageScoreReport> reports;
    ::ScoreImages(images, r, reports,
                  [this](int done, int total, const ImageScoreReport&) {
                    emit ImageFinished(done, total);
                  });
    reports_ = std::move(reports);
  });
}

void ScoringRunner::Cancel() {
  cancel_ = true;
}

void ScoringRunner::Wait() {
  while (running_) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
}
