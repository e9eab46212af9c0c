#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <type_traits>
#include <utility>

// Runs `work` on the interface thread (the application object's) and
// returns its result: at once when called there, otherwise as a blocking
// queued call, so a worker thread waits while the interface thread runs it.
// Without an application object it runs on the calling thread.
template <class Work>
auto OnInterfaceThread(Work&& work) -> decltype(work()) {
  QCoreApplication* application = QCoreApplication::instance();
  if (application == nullptr || QThread::currentThread() == application->thread()) return work();
  using Result = decltype(work());
  if constexpr (std::is_void_v<Result>) {
    QMetaObject::invokeMethod(
        application, [&work] { work(); }, Qt::BlockingQueuedConnection);
  } else {
    Result result{};
    QMetaObject::invokeMethod(
        application, [&work, &result] { result = work(); }, Qt::BlockingQueuedConnection);
    return result;
  }
}
