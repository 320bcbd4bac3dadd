#include "protocol/dirty_sections.h"

#include <cstddef>
#include <cstring>

namespace norvane {
namespace {

template <typename T>
bool differ(const T& a, const T& b) {
  static_assert(sizeof(T) % 4 == 0, "compared as whole 32-bit words");
  return std::memcmp(&a, &b, sizeof(T)) != 0;
}

bool rate_differs(const ProfileRecord& a, const ProfileRecord& b) {
  return differ(a.polling_rate, b.polling_rate) || differ(a.polling_rate_hs, b.polling_rate_hs);
}

bool dpi_differs(const ProfileRecord& a, const ProfileRecord& b) {
  return differ(a.current_dpi_level, b.current_dpi_level) || differ(a.reserved_e, b.reserved_e) ||
         differ(a.lift_off_distance, b.lift_off_distance) || differ(a.reserved_f, b.reserved_f) ||
         differ(a.ripple_control, b.ripple_control) || differ(a.angle_snap, b.angle_snap) ||
         differ(a.motion_sync, b.motion_sync) || differ(a.dpi_value, b.dpi_value) ||
         differ(a.dpi_value_2, b.dpi_value_2) || differ(a.dpi_enabled, b.dpi_enabled) ||
         differ(a.dpi_color, b.dpi_color);
}

bool light_differs(const ProfileRecord& a, const ProfileRecord& b) {
  return differ(a.light_mode, b.light_mode) || differ(a.reserved_g, b.reserved_g) ||
         differ(a.breath_speed, b.breath_speed) || differ(a.light_brightness, b.light_brightness) ||
         differ(a.key_debounce, b.key_debounce) || differ(a.light_color, b.light_color) ||
         differ(a.sleep_timer, b.sleep_timer) || differ(a.light_off_timer, b.light_off_timer);
}

// The three header extra bytes and the byte after them, as one word.
bool header_word_differs(const ButtonSlot& a, const ButtonSlot& b) {
  constexpr size_t at = offsetof(ButtonSlot, macro_header_extra);
  static_assert(offsetof(ButtonSlot, unused_4) == at + 3);
  return std::memcmp(reinterpret_cast<const unsigned char*>(&a) + at,
                     reinterpret_cast<const unsigned char*>(&b) + at, 4) != 0;
}

bool macro_differs(const ButtonSlot& a, const ButtonSlot& b) {
  return differ(a.macro_mode, b.macro_mode) || differ(a.macro_repeat, b.macro_repeat) ||
         header_word_differs(a, b) || differ(a.macro_events, b.macro_events);
}

}  // namespace

DirtyFlags compare_sections(const ProfileRecord& current, const ProfileRecord& last_applied) {
  DirtyFlags flags;
  flags.rate = rate_differs(current, last_applied);
  flags.dpi = dpi_differs(current, last_applied);
  flags.light = light_differs(current, last_applied);
  flags.wakeup = differ(current.wakeup, last_applied.wakeup);
  flags.buttons = differ(current.buttons, last_applied.buttons);
  // A macro can only differ inside a button area that differs.
  if (flags.buttons) {
    for (int k = 0; k < kMouseButtons; ++k) {
      flags.macro[static_cast<size_t>(k)] = macro_differs(current.buttons[k], last_applied.buttons[k]);
    }
  }
  return flags;
}

DirtyFlags all_sections_dirty() {
  DirtyFlags flags;
  flags.dpi = flags.rate = flags.light = flags.buttons = flags.wakeup = true;
  flags.macro.fill(true);
  return flags;
}

}  // namespace norvane
