#pragma once
// TimerService: every numbered timer of the program goes through one injectable
// service, so tests can run timers on fake time (tests/support/fake_time.h) and never
// wait for real.
//
// Timers behave like classic window timers: a timer is identified by its owner and a
// number, it repeats every interval until it is killed, and starting a running timer
// restarts it (the next expiry is a full interval from now). A "one-shot" timer is one
// whose handler kills it. Callbacks run on the UI thread; start and kill are UI-thread
// operations too.

#include <functional>

namespace norvane {

class TimerService {
 public:
  using Callback = std::function<void()>;
  virtual ~TimerService() = default;

  // Starts timer `id` of `owner` (or restarts it): `callback` runs every
  // `interval_ms` milliseconds until the timer is killed.
  virtual void start(const void* owner, int id, int interval_ms, Callback callback) = 0;
  // Stops the timer. Nothing happens when it does not run.
  virtual void kill(const void* owner, int id) = 0;
  // Stops every timer of `owner`.
  virtual void kill_all(const void* owner) = 0;
  virtual bool is_running(const void* owner, int id) const = 0;
};

// The service in use: the real one (over QTimer) unless a test installed another.
TimerService& timer_service();

// Installs `service` (nullptr = the real one again) and returns the previous one.
// The service must outlive every timer started through it.
TimerService* set_timer_service(TimerService* service);

// Installs a service for the lifetime of a scope.
class ScopedTimerService {
 public:
  explicit ScopedTimerService(TimerService& service) : previous_(set_timer_service(&service)) {}
  ~ScopedTimerService() { set_timer_service(previous_); }
  ScopedTimerService(const ScopedTimerService&) = delete;
  ScopedTimerService& operator=(const ScopedTimerService&) = delete;

 private:
  TimerService* previous_;
};

}  // namespace norvane
