#pragma once
// Hands work from other threads (the apply worker, the Bluetooth LE transport) to the
// UI thread: post() queues a function that runs there later, in order. Destroying the
// object drops whatever has not run yet, so stop the posting threads first. Construct
// it on the UI thread.

#include <QObject>
#include <functional>

namespace norvane {

class UiThreadCalls {
 public:
  UiThreadCalls() = default;
  UiThreadCalls(const UiThreadCalls&) = delete;
  UiThreadCalls& operator=(const UiThreadCalls&) = delete;

  // Any thread.
  void post(std::function<void()> call);

 private:
  QObject context_;
};

}  // namespace norvane
