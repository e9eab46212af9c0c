#pragma once

#include <QObject>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

// Opens exported files with the desktop's default application, one after
// another a second apart, off the interface thread: watching each opener
// for its early failure takes up to a second, and the window goes on
// answering meanwhile. A failure's box is shown on the interface thread.
class DocumentOpenings : public QObject {
  Q_OBJECT

 public:
  explicit DocumentOpenings(QObject* parent);
  // Waits for the openings under way, answering the boxes they ask for.
  ~DocumentOpenings() override;

  void Open(std::vector<std::string> files);
  // Files of an earlier Open still to be opened, or being opened.
  bool Pending() const { return pending_ > 0; }
  void Wait();

 private:
  std::vector<std::thread> threads_;
  std::atomic<int> pending_{0};
};
