#pragma once
// Numbered window messages, thread messages and timers shared across the program.

#include <any>
#include <cstdint>

namespace norvane {

// One numbered message: what a window's custom message handler and a worker thread's
// queue receive. The meaning of the two numbers depends on the message; a message that
// carries more (a chosen menu item, a device change) carries it as a typed value in
// `payload`, read with payload_of<T>(), never as a pointer in a number.
struct Message {
  uint32_t id = 0;
  uintptr_t wparam = 0;
  intptr_t lparam = 0;
  std::any payload = {};
};

// The message's payload when it holds a T; null when it holds nothing or another type.
template <typename T>
const T* payload_of(const Message& m) {
  return std::any_cast<T>(&m.payload);
}

inline constexpr uint32_t kWmUser = 1024;

inline constexpr uint32_t UM_TRAY_ICON = 1025;           // lParam = mouse message (514, 517)
inline constexpr uint32_t UM_MENU_COMMAND = 1027;        // payload: the chosen menu item
inline constexpr uint32_t UM_HOOK_INPUT = 1034;          // key or mouse input from the hook library
inline constexpr uint32_t UM_ACTIVATE = 1281;            // second instance asks to come forward
inline constexpr uint32_t UM_LINK_STATE = 1290;          // any link up or none
inline constexpr uint32_t UM_DPI_POPUP = 1291;           // wParam 0..2, lParam = DPI in units of 50
inline constexpr uint32_t UM_BATTERY_STATE = 1293;       // wParam = level 0..100, lParam = BatteryShown
inline constexpr uint32_t UM_APPLY_THREAD = 1552;        // thread message to the worker: run one apply
inline constexpr uint32_t UM_WIRELESS_EVENT = 1553;
inline constexpr uint32_t UM_WIRELESS_LINK = 1554;
inline constexpr uint32_t UM_WIRED_EVENT = 1555;
inline constexpr uint32_t UM_WIRED_LINK = 1556;
inline constexpr uint32_t UM_WIRELESS_8K_EVENT = 1557;
inline constexpr uint32_t UM_WIRELESS_8K_LINK = 1558;
inline constexpr uint32_t UM_REQUEST_APPLY = 1559;

// What the page shows of the battery (lParam of UM_BATTERY_STATE).
enum class BatteryShown : intptr_t { level = 0, charging = 1, nothing = 2 };

inline constexpr uint32_t kMouseLeftButtonUp = 514;
inline constexpr uint32_t kMouseRightButtonUp = 517;

inline constexpr int TIMER_DPI_POPUP = 52;         // 2,000 ms
inline constexpr int TIMER_WIRELESS_WATCHDOG = 528;  // 6,000 ms one-shot
inline constexpr int TIMER_DELAYED_APPLY = 529;      // 200 or 500 ms
inline constexpr int TIMER_SCROLL_SECTION = 530;     // 10 ms
inline constexpr int TIMER_CHARGING = 531;           // 30 ms repeating
inline constexpr int TIMER_8K_WATCHDOG = 532;        // 6,000 ms one-shot
inline constexpr int TIMER_BLE_REGISTER = 533;       // 2,000 ms

}  // namespace norvane
