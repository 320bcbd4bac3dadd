#pragma once
// The time seam. Every pause the program takes (link pacing, macro chunk pauses,
// the wait after a device arrives) goes through a Clock, so tests can replace it
// with a recording fake and never sleep for real.

#include <cstdint>

namespace norvane {

class Clock {
 public:
  virtual ~Clock() = default;
  // Pauses the calling thread for `ms` milliseconds.
  virtual void sleep_ms(int ms) = 0;
  // Milliseconds on a monotonic clock.
  virtual int64_t now_ms() const = 0;
};

// The real clock (std::this_thread::sleep_for and steady_clock).
Clock& system_clock();

}  // namespace norvane
