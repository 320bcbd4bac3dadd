#include "core/clock.h"

#include <chrono>
#include <thread>

namespace norvane {
namespace {

class SystemClock final : public Clock {
 public:
  void sleep_ms(int ms) override {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
  int64_t now_ms() const override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  }
};

}  // namespace

Clock& system_clock() {
  static SystemClock clock;
  return clock;
}

}  // namespace norvane
