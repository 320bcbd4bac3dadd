#pragma once
// Which links to the mouse are up and whether the mouse answers behind them.
// Kept by the UI thread, read (and `wireless_ack` cleared) by the worker thread
// while it sends, so every field is a whole 32-bit atomic.

#include <atomic>
#include <cstdint>

namespace norvane {

// Library link states.
inline constexpr int32_t kLinkAbsent = 0;   // absent since start
inline constexpr int32_t kLinkPresent = 1;  // the only value that counts as present
inline constexpr int32_t kLinkGone = 2;

struct LinkState {
  std::atomic<int32_t> wired_state{kLinkAbsent};
  std::atomic<int32_t> wireless_state{kLinkAbsent};
  std::atomic<int32_t> wireless_8k_state{kLinkAbsent};
  std::atomic<int32_t> ble_present{0};
  std::atomic<int32_t> any_link{0};
  std::atomic<int32_t> wireless_online{0};
  std::atomic<int32_t> wireless_8k_online{0};
  std::atomic<int32_t> mouse_sleeping{1};
  std::atomic<int32_t> wireless_ack{0};

  // The worker's test before it runs an apply.
  bool any_library_link_or_ble() const {
    return wired_state == kLinkPresent || wireless_state == kLinkPresent ||
           wireless_8k_state == kLinkPresent || ble_present == 1;
  }
};

}  // namespace norvane
