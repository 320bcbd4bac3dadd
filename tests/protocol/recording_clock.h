#pragma once
// A Clock that never sleeps: it records every pause and advances its own time.

#include <cstdint>
#include <numeric>
#include <vector>

#include "core/clock.h"

namespace norvane::test {

class RecordingClock final : public Clock {
 public:
  void sleep_ms(int ms) override {
    pauses.push_back(ms);
    now_ += ms;
  }
  int64_t now_ms() const override { return now_; }

  int64_t total_ms() const { return std::accumulate(pauses.begin(), pauses.end(), int64_t{0}); }

  std::vector<int> pauses;

 private:
  int64_t now_ = 0;
};

}  // namespace norvane::test
