#pragma once
// Turns the input of the capture back ends (X11 raw events, Linux input events) into
// captured input with Windows virtual keys and mouse messages.

#include <cstdint>
#include <optional>

#include "input_capture/captured_input.h"
#include "macros/xkb_keyboard_layout.h"

namespace norvane::capture {

// A key of a Linux input key code (X keycode - 8) in `layout`; nullopt for keys without
// a virtual key.
std::optional<CapturedInput> key_input(uint32_t input_code, bool pressed, int64_t time_ms,
                                       const XkbKeyboardLayout& layout);

// X11 pointer buttons: 1 left, 2 middle, 3 right, 4..7 the wheels, 8 back, 9 forward.
// Wheel buttons count on press only.
std::optional<CapturedInput> x11_button_input(uint32_t button, bool pressed, int64_t time_ms);

// A Linux input event (type, code, value); keys are turned by key_input.
std::optional<CapturedInput> input_event_input(uint16_t type, uint16_t code, int32_t value, int64_t time_ms,
                                               const XkbKeyboardLayout& layout);

// Milliseconds on the monotonic clock.
int64_t monotonic_ms();

// The monotonic time of an event stamped with the low 32 bits of a millisecond clock
// (X server time). A stamp that is not within ten seconds of `now_ms` belongs to another
// clock: the event is then taken as happening now.
int64_t event_time_from_32bit(uint32_t stamp_ms, int64_t now_ms);

}  // namespace norvane::capture
