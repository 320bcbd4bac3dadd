#include "app/toolkit/timer_service.h"

#include <QTimer>
#include <map>
#include <memory>
#include <utility>

namespace norvane {
namespace {

// Timers over QTimer. A timer killed or restarted from inside its own callback is
// safe: the QTimer object is kept and only stopped, or handed to deleteLater.
class QtTimerService final : public TimerService {
 public:
  void start(const void* owner, int id, int interval_ms, Callback callback) override {
    auto& entry = timers_[{owner, id}];
    if (!entry.timer) {
      entry.timer = new QTimer();
      QObject::connect(entry.timer, &QTimer::timeout, [this, owner, id] { fire(owner, id); });
    }
    entry.callback = std::make_shared<Callback>(std::move(callback));
    entry.timer->start(interval_ms < 0 ? 0 : interval_ms);
  }

  void kill(const void* owner, int id) override {
    auto it = timers_.find({owner, id});
    if (it == timers_.end()) return;
    dispose(it->second);
    timers_.erase(it);
  }

  void kill_all(const void* owner) override {
    for (auto it = timers_.begin(); it != timers_.end();) {
      if (it->first.first == owner) {
        dispose(it->second);
        it = timers_.erase(it);
      } else {
        ++it;
      }
    }
  }

  bool is_running(const void* owner, int id) const override {
    return timers_.find({owner, id}) != timers_.end();
  }

 private:
  struct Entry {
    QTimer* timer = nullptr;
    std::shared_ptr<Callback> callback;
  };

  static void dispose(Entry& entry) {
    entry.timer->stop();
    entry.timer->disconnect();
    entry.timer->deleteLater();
  }

  void fire(const void* owner, int id) {
    auto it = timers_.find({owner, id});
    if (it == timers_.end()) return;
    auto callback = it->second.callback;  // the callback may restart or kill its timer
    if (callback && *callback) (*callback)();
  }

  std::map<std::pair<const void*, int>, Entry> timers_;
};

TimerService* g_installed = nullptr;

QtTimerService& real_service() {
  static QtTimerService* service = new QtTimerService();  // lives to the end of the process
  return *service;
}

}  // namespace

TimerService& timer_service() {
  return g_installed != nullptr ? *g_installed : real_service();
}

TimerService* set_timer_service(TimerService* service) {
  TimerService* previous = g_installed;
  g_installed = service;
  return previous;
}

}  // namespace norvane
