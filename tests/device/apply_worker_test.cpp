// The apply worker: requests made while one apply runs merge into one more, and the
// counts by which a caller knows that the request it made has been carried out.

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

TEST(ApplyWorker, HandledReachesARequestOnlyOnceAnApplyThatStartedAfterItEnded) {
  LinkState links;
  links.wired_state = kLinkPresent;
  HeldApply held;
  ApplyWorker worker(links, [&] { held.run(); });
  worker.start();
  ASSERT_TRUE(worker.post(UM_APPLY_THREAD));
  held.wait_started(1);
  // Made while the first apply sends: merged into one more apply.
  for (int click = 0; click < 3; ++click) ASSERT_TRUE(worker.post(UM_APPLY_THREAD));
  EXPECT_EQ(worker.posted(), 4u);
  EXPECT_EQ(worker.handled(), 0u);  // not while the first apply runs
  held.release();
  worker.stop();
  EXPECT_EQ(held.started, 2);
  EXPECT_EQ(worker.handled(), 4u);  // the second apply carried out the merged three
}

TEST(ApplyWorker, RequestsWithoutALinkAreHandledWithoutAnApply_OtherMessagesAreNotCounted) {
  LinkState links;  // no link up
  int applies = 0;
  ApplyWorker worker(links, [&] { ++applies; });
  worker.start();
  ASSERT_TRUE(worker.post(UM_APPLY_THREAD));
  ASSERT_TRUE(worker.post(UM_APPLY_THREAD + 1));
  worker.stop();
  EXPECT_EQ(applies, 0);
  EXPECT_EQ(worker.posted(), 1u);
  EXPECT_EQ(worker.handled(), 1u);
  EXPECT_FALSE(worker.post(UM_APPLY_THREAD));  // after stop: refused and not counted
  EXPECT_EQ(worker.posted(), 1u);
}

}  // namespace
}  // namespace norvane
