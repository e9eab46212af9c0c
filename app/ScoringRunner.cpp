#include "ScoringRunner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include "ScoringWorkspace.h"

namespace {

// Whether a feature count is worth a report: each fiftieth of the way, so
// that images of thousands of features do not flood the interface thread.
bool WorthReporting(int done, int total) {
  return done == total || done == 1 || (done * 50) / total != ((done - 1) * 50) / total;
}

}  // namespace

ScoringRunner::ScoringRunner(QObject* parent) : QObject(parent) {}

ScoringRunner::~ScoringRunner() {
  // Nobody hears of a run that ends with its runner. The worker may wait
  // for a message box, which needs this thread's events: wait in a loop.
  disconnect(this, nullptr, nullptr, nullptr);
  Cancel();
  Wait();
  if (thread_.joinable()) thread_.join();
}

template <class Work>
void ScoringRunner::Start(Work work) {
  if (thread_.joinable()) thread_.join();
  running_ = true;
  cancel_ = false;
  reports_.clear();
  seconds_ = 0;
  start_ = std::chrono::steady_clock::now();
  thread_ = std::thread([this, work = std::move(work)]() mutable {
    work();
    QMetaObject::invokeMethod(
        this, [this] { Done(); }, Qt::QueuedConnection);
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
    if (WorthReporting(done, total)) emit FeatureProgress(done, total);
  };
  Start([this, &workspace, r, ask] {
    emit ImageStarted(QString::fromStdString(workspace.ImagePath()));
    reports_ = {ScoreSelected(workspace, r, ask)};
    emit ImageFinished(1, 1);
  });
}

void ScoringRunner::ScoreImages(const std::vector<std::string>& images,
                                const ScoreRequest& request) {
  ScoreRequest r = request;
  r.cancel = &cancel_;
  r.onImageStart = [this](const std::string& image) {
    if (onWorkerImageStart) onWorkerImageStart(image);
    emit ImageStarted(QString::fromStdString(image));
  };
  r.onFeature = [this](const std::string&, int done, int total) {
    if (WorthReporting(done, total)) emit FeatureProgress(done, total);
  };
  Start([this, images, r] {
    std::vector<ImageScoreReport> reports;
    ::ScoreImages(images, r, reports, [this](int done, int total, const ImageScoreReport&) {
      emit ImageFinished(done, total);
    });
    reports_ = std::move(reports);
  });
}

void ScoringRunner::Cancel() {
  cancel_ = true;
}

void ScoringRunner::Wait() {
  if (!running_) return;
  QEventLoop loop;
  connect(this, &ScoringRunner::Finished, &loop, &QEventLoop::quit);
  loop.exec();
}
