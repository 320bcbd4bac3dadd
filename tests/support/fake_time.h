#pragma once
// FakeTime: one fake clock that drives both the toolkit's timers and the time seam.
//
//   FakeTime time;
//   ScopedTimerService timers(time);     // window and control timers now run on fake time
//   page.set_clock(time);                // pauses are recorded instead of slept
//   window.set_timer(529, 500);
//   time.advance(499);                   // nothing fires
//   time.advance(1);                     // timer 529 fires (and again every 500 ms)
//
// advance(ms) fires every timer that comes due within the step, in time order (timers due
// at the same moment in the order they were started), repeating timers as often as they
// come due. Callbacks run on the thread that calls advance(). sleep_ms() from any thread
// records the pause and moves the clock forward without firing timers.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "app/toolkit/timer_service.h"
#include "core/clock.h"

namespace norvane::testing {

class FakeTime final : public TimerService, public Clock {
 public:
  // TimerService
  void start(const void* owner, int id, int interval_ms, Callback callback) override;
  void kill(const void* owner, int id) override;
  void kill_all(const void* owner) override;
  bool is_running(const void* owner, int id) const override;

  // Clock
  void sleep_ms(int ms) override;
  int64_t now_ms() const override;

  // Moves time forward by `ms`, firing the timers that come due.
  void advance(int64_t ms);
  // Moves time to the next expiry and fires it; returns false when no timer runs.
  bool fire_next();

  // Interval of a running timer, or -1.
  int interval(const void* owner, int id) const;
  // Milliseconds until the timer next fires, or -1 when it does not run.
  int64_t remaining(const void* owner, int id) const;
  int running_count() const;
  // Every pause taken through sleep_ms, in order.
  std::vector<int> sleeps() const;
  void clear_sleeps();
  // Called by sleep_ms (on the sleeping thread, no lock held) after the pause is
  // recorded: a test may hold a worker there. Set it while no other thread sleeps.
  void set_sleep_hook(std::function<void(int ms)> hook) { sleep_hook_ = std::move(hook); }

 private:
  struct Timer {
    int64_t due = 0;
    int interval = 0;
    uint64_t order = 0;  // start order breaks ties
    std::shared_ptr<Callback> callback;
  };
  using Key = std::pair<const void*, int>;

  bool next_due(int64_t limit, Key* key) const;

  mutable std::mutex mutex_;
  int64_t now_ = 0;
  uint64_t next_order_ = 0;
  std::map<Key, Timer> timers_;
  std::vector<int> sleeps_;
  std::function<void(int)> sleep_hook_;
};

}  // namespace norvane::testing
