#include "tests/support/fake_time.h"

#include <algorithm>
#include <climits>
#include <memory>

namespace norvane::testing {

void FakeTime::start(const void* owner, int id, int interval_ms, Callback callback) {
  std::lock_guard<std::mutex> lock(mutex_);
  Timer& t = timers_[{owner, id}];
  t.interval = interval_ms < 1 ? 1 : interval_ms;
  t.due = now_ + t.interval;
  t.order = next_order_++;
  t.callback = std::make_shared<Callback>(std::move(callback));
}

void FakeTime::kill(const void* owner, int id) {
  std::lock_guard<std::mutex> lock(mutex_);
  timers_.erase({owner, id});
}

void FakeTime::kill_all(const void* owner) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = timers_.begin(); it != timers_.end();) {
    it = (it->first.first == owner) ? timers_.erase(it) : std::next(it);
  }
}

bool FakeTime::is_running(const void* owner, int id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return timers_.count({owner, id}) != 0;
}

void FakeTime::sleep_ms(int ms) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    sleeps_.push_back(ms);
    if (ms > 0) now_ += ms;
  }
  if (sleep_hook_) sleep_hook_(ms);
}

int64_t FakeTime::now_ms() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return now_;
}

bool FakeTime::next_due(int64_t limit, Key* key) const {
  bool found = false;
  const Timer* best = nullptr;
  for (const auto& [k, t] : timers_) {
    if (t.due > limit) continue;
    if (best == nullptr || t.due < best->due || (t.due == best->due && t.order < best->order)) {
      best = &t;
      *key = k;
      found = true;
    }
  }
  return found;
}

void FakeTime::advance(int64_t ms) {
  int64_t target;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    target = now_ + (ms > 0 ? ms : 0);
  }
  for (;;) {
    std::shared_ptr<Callback> callback;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      Key key;
      if (!next_due(target, &key)) {
        now_ = target;
        return;
      }
      Timer& t = timers_[key];
      now_ = t.due;
      t.due += t.interval;  // repeats until killed; the callback may kill or restart it
      callback = t.callback;
    }
    if (callback && *callback) (*callback)();
  }
}

bool FakeTime::fire_next() {
  int64_t due;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (timers_.empty()) return false;
    due = INT64_MAX;
    for (const auto& [k, t] : timers_) due = std::min(due, t.due);
    due -= now_;
  }
  advance(due);
  return true;
}

int FakeTime::interval(const void* owner, int id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = timers_.find({owner, id});
  return it == timers_.end() ? -1 : it->second.interval;
}

int64_t FakeTime::remaining(const void* owner, int id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = timers_.find({owner, id});
  return it == timers_.end() ? -1 : it->second.due - now_;
}

int FakeTime::running_count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(timers_.size());
}

std::vector<int> FakeTime::sleeps() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sleeps_;
}

void FakeTime::clear_sleeps() {
  std::lock_guard<std::mutex> lock(mutex_);
  sleeps_.clear();
}

}  // namespace norvane::testing
