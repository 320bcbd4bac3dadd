#pragma once
// Profiles for whole applies into the virtual mouse, and the checks that the mouse's
// decoded state and macro memory hold what such a profile sends. Used by the applies
// through the driver libraries and by those over Bluetooth LE.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/macro_record.h"
#include "core/profile_record.h"
#include "drivers/virtual/virtual_mouse_control.h"

namespace norvane::test {

// One macro event; a movement gets the movement code whatever `code` says.
MacroEvent macro_event(uint8_t kind, uint8_t code, uint16_t delay, int32_t x = 0, int32_t y = 0);

// Puts `events` on the slot as its macro.
void assign_macro(ButtonSlot& slot, const std::vector<MacroEvent>& events, int32_t mode, int32_t repeat);

// Everything a whole apply sends, each test choosing values away from the defaults.
// Lift-off distance 1, ripple control off, angle snap on, motion sync off and light
// mode 1 are the same for every such profile.
struct BusyProfileValues {
  struct Shortcut {
    int button = 0;
    uint8_t modifiers = 0;
    uint8_t key = 0;
  };
  struct Macro {
    int button = 0;
    std::vector<MacroEvent> events;
    int32_t mode = 0;
    int32_t repeat = 0;
  };

  int32_t dpi[kDpiLevels];
  int32_t dpi_enabled[kDpiLevels];
  uint32_t dpi_color_first = 0;  // level k's colour is first + k * step
  uint32_t dpi_color_step = 0;
  int32_t current_dpi_level = 0;
  int32_t light_brightness = 0;
  int32_t breath_speed = 0;
  int32_t sleep_timer = 0;
  int32_t light_off_timer = 0;
  int32_t key_debounce = 0;
  uint32_t light_color = 0;
  int32_t polling_rate = 0;
  int32_t polling_rate_hs = 0;
  // Every button's function, then the shortcut and the macros put over them.
  uint8_t functions[kMouseButtons];
  Shortcut shortcut;
  std::vector<Macro> macros;
};

// A profile of defaults with `values` written over them. The record is too large for
// the stack.
std::unique_ptr<ProfileRecord> busy_profile(const BusyProfileValues& values);

// The mouse's decoded state `s` holds `p`'s DPI levels, colours and enabled mask, its
// current level, sensor and lighting settings, timers and button functions. The
// polling rate is not checked here: not every link carries it.
void expect_mouse_holds_settings(const VmMouseState& s, const ProfileRecord& p);

// The macro on `p`'s button `slot` decodes from the mouse's macro memory with the
// profile's mode, repeat count and events, from `blocks_read` chunks when given.
void expect_mouse_holds_macro(const ProfileRecord& p, int slot, std::optional<int> blocks_read = std::nullopt);

}  // namespace norvane::test
