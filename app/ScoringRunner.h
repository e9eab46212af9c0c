#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "FolderScoring.h"

class ScoringWorkspace;

// Scores off the interface thread: the selected image of a workspace, or a
// list of images with the folder's parallel jobs. Progress arrives as
// signals on the interface thread; Cancel starts no further image and lets
// the images in progress finish. Questions and error boxes asked for by the
// scoring go through the message-box provider from the worker thread.
class ScoringRunner : public QObject {
  Q_OBJECT

 public:
  explicit ScoringRunner(QObject* parent = nullptr);
  ~ScoringRunner() override;  // cancels and waits for the run

  // The workspace must not be touched by anyone else until Finished.
  void ScoreSelectedImage(ScoringWorkspace& workspace, const ScoreRequest& request, bool ask);
  void ScoreImages(const std::vector<std::string>& images, const ScoreRequest& request);
  void Cancel();
  // Waits for the run to end, handling the interface thread's events.
  void Wait();

  // Runs on the worker thread as each image of ScoreImages starts, before
  // it is scored; tests hold a run with it. Set it only between runs.
  std::function<void(const std::string&)> onWorkerImageStart;

  bool Running() const { return running_; }
  bool Cancelled() const { return cancel_; }
  // What the last run did, image by image, and how long it took.
  const std::vector<ImageScoreReport>& Reports() const { return reports_; }
  double Seconds() const { return seconds_; }

 signals:
  void ImageStarted(const QString& imagePath);
  void FeatureProgress(int done, int total);
  void ImageFinished(int done, int total);
  void Finished();

 private:
  template <class Work>
  void Start(Work work);
  void Done();

  std::thread thread_;
  std::atomic<bool> cancel_{false};
  bool running_ = false;
  std::vector<ImageScoreReport> reports_;
  std::chrono::steady_clock::time_point start_;
  double seconds_ = 0;
};
