#include "input_capture/input_translation.h"

#include <linux/input-event-codes.h>

#include <ctime>

#include "input_capture/hook_abi.h"

namespace norvane::capture {
namespace {

constexpr int kWheelNotch = 120;
constexpr int64_t kSameClockWindowMs = 10'000;

CapturedInput button(uintptr_t down, uintptr_t up, intptr_t which, bool pressed, int64_t time_ms) {
  CapturedInput input;
  input.kind = InputKind::mouse_button;
  input.wparam = pressed ? down : up;
  input.lparam = which;
  input.pressed = pressed;
  input.time_ms = time_ms;
  return input;
}

CapturedInput wheel(uintptr_t message, intptr_t distance, int64_t time_ms) {
  CapturedInput input;
  input.kind = InputKind::wheel;
  input.wparam = message;
  input.lparam = distance;
  input.time_ms = time_ms;
  return input;
}

}  // namespace

std::optional<CapturedInput> key_input(uint32_t input_code, bool pressed, int64_t time_ms,
                                       const XkbKeyboardLayout& layout) {
  const uint32_t vk = layout.virtual_key_of_input_code(input_code);
  if (vk == 0) return std::nullopt;
  CapturedInput input;
  input.kind = InputKind::key;
  input.wparam = vk;
  input.lparam = pressed ? 0 : 1;
  input.physical_key = input_code;
  input.pressed = pressed;
  input.time_ms = time_ms;
  return input;
}

std::optional<CapturedInput> x11_button_input(uint32_t x_button, bool pressed, int64_t time_ms) {
  switch (x_button) {
    case 1: return button(NV_WM_LBUTTONDOWN, NV_WM_LBUTTONUP, 0, pressed, time_ms);
    case 2: return button(NV_WM_MBUTTONDOWN, NV_WM_MBUTTONUP, 0, pressed, time_ms);
    case 3: return button(NV_WM_RBUTTONDOWN, NV_WM_RBUTTONUP, 0, pressed, time_ms);
    case 8: return button(NV_WM_XBUTTONDOWN, NV_WM_XBUTTONUP, NV_XBUTTON_BACK, pressed, time_ms);
    case 9: return button(NV_WM_XBUTTONDOWN, NV_WM_XBUTTONUP, NV_XBUTTON_FORWARD, pressed, time_ms);
    default: break;
  }
  if (!pressed) return std::nullopt;
  switch (x_button) {
    case 4: return wheel(NV_WM_MOUSEWHEEL, kWheelNotch, time_ms);
    case 5: return wheel(NV_WM_MOUSEWHEEL, -kWheelNotch, time_ms);
    case 6: return wheel(NV_WM_MOUSEHWHEEL, -kWheelNotch, time_ms);
    case 7: return wheel(NV_WM_MOUSEHWHEEL, kWheelNotch, time_ms);
    default: return std::nullopt;
  }
}

std::optional<CapturedInput> input_event_input(uint16_t type, uint16_t code, int32_t value, int64_t time_ms,
                                               const XkbKeyboardLayout& layout) {
  if (type == EV_REL) {
    if (value == 0) return std::nullopt;
    if (code == REL_WHEEL) return wheel(NV_WM_MOUSEWHEEL, value * kWheelNotch, time_ms);
    if (code == REL_HWHEEL) return wheel(NV_WM_MOUSEHWHEEL, value * kWheelNotch, time_ms);
    return std::nullopt;
  }
  if (type != EV_KEY || value == 2) return std::nullopt;  // 2: the kernel's key repeat
  const bool pressed = value != 0;
  switch (code) {
    case BTN_LEFT: return button(NV_WM_LBUTTONDOWN, NV_WM_LBUTTONUP, 0, pressed, time_ms);
    case BTN_RIGHT: return button(NV_WM_RBUTTONDOWN, NV_WM_RBUTTONUP, 0, pressed, time_ms);
    case BTN_MIDDLE: return button(NV_WM_MBUTTONDOWN, NV_WM_MBUTTONUP, 0, pressed, time_ms);
    case BTN_SIDE:
    case BTN_BACK: return button(NV_WM_XBUTTONDOWN, NV_WM_XBUTTONUP, NV_XBUTTON_BACK, pressed, time_ms);
    case BTN_EXTRA:
    case BTN_FORWARD: return button(NV_WM_XBUTTONDOWN, NV_WM_XBUTTONUP, NV_XBUTTON_FORWARD, pressed, time_ms);
    default: break;
  }
  if (code >= BTN_MISC) return std::nullopt;  // joystick, touch and tool buttons
  return key_input(code, pressed, time_ms, layout);
}

int64_t monotonic_ms() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

int64_t event_time_from_32bit(uint32_t stamp_ms, int64_t now_ms) {
  const int32_t behind = static_cast<int32_t>(static_cast<uint32_t>(now_ms) - stamp_ms);
  if (behind < -kSameClockWindowMs || behind > kSameClockWindowMs) return now_ms;
  return now_ms - behind;
}

}  // namespace norvane::capture
