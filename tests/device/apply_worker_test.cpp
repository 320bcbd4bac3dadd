// The apply worker: requests made while one apply runs merge into one more.

#include "device/apply_worker.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "core/messages.h"

namespace norvane {
namespace {

// An apply routine that holds the worker inside its first run until released.
struct HeldApply {
  std::mutex mutex;
  std::condition_variable changed;
  int started = 0;
  bool released = false;

  void run() {
    std::unique_lock lock(mutex);
    ++started;
    changed.notify_all();
    changed.wait(lock, [&] { return released; });
  }
  void wait_started(int count) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return started >= count; });
  }
  void release() {
    std::lock_guard lock(mutex);
    released = true;
    changed.notify_all();
  }
};

TEST(ApplyWorker, RequestsMadeWhileAnApplyRunsEndInOneMoreApply) {
  LinkState links;
  links.wired_state = kLinkPresent;
  HeldApply held;
  ApplyWorker worker(links, [&] { held.run(); });
  worker.start();

  ASSERT_TRUE(worker.post(UM_APPLY_THREAD));
  held.wait_started(1);
  for (int click = 0; click < 11; ++click) EXPECT_TRUE(worker.post(UM_APPLY_THREAD)) << "merged, still carried out";
  held.release();
  worker.stop();  // lets the request already queued run
  EXPECT_EQ(held.started, 2);

  EXPECT_FALSE(worker.post(UM_APPLY_THREAD)) << "nothing is taken after stop";
}

TEST(ApplyWorker, ARequestAfterAnApplyFinishedRunsAgain) {
  LinkState links;
  links.wired_state = kLinkPresent;
  HeldApply held;
  held.released = true;
  ApplyWorker worker(links, [&] { held.run(); });
  worker.start();
  worker.post(UM_APPLY_THREAD);
  held.wait_started(1);
  worker.post(UM_APPLY_THREAD);
  held.wait_started(2);
  worker.stop();
  EXPECT_EQ(held.started, 2);
}

}  // namespace
}  // namespace norvane
