#include "DocumentOpenings.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>

#include "ShellExecute.h"

DocumentOpenings::DocumentOpenings(QObject* parent) : QObject(parent) {}

DocumentOpenings::~DocumentOpenings() {
  Wait();
}

void DocumentOpenings::Open(std::vector<std::string> files) {
  if (files.empty()) return;
  // Threads of earlier exports that have opened everything are gathered.
  if (pending_ == 0) {
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
  }
  pending_ += static_cast<int>(files.size());
  threads_.emplace_back([this, files = std::move(files)] {
    for (std::size_t i = 0; i < files.size(); ++i) {
      if (i > 0) std::this_thread::sleep_for(std::chrono::seconds(1));
      AnsiString_ShellExecute("open", files[i], "", "", 1, false);
      --pending_;
    }
  });
}

void DocumentOpenings::Wait() {
  // An opening may wait for a box that this thread shows: keep answering.
  while (pending_ > 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}
