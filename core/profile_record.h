#pragma once
// The settings record of one profile. It is a file format as well as a memory
// layout: pro.data, *.pro files and the apply routine copy, store and compare it
// whole, so every offset below is fixed and asserted.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "core/macro_record.h"
#include "core/record_block.h"

namespace norvane {

inline constexpr int kProfileNameUnits = 100;  // UTF-16 code units, terminating NUL included
inline constexpr int kButtonSlots = 24;        // slots 18..23 are carried but never shown or sent
inline constexpr int kMouseButtons = 18;
inline constexpr int kDpiLevels = 8;

inline constexpr uint8_t kFunctionShortcut = 16;
inline constexpr uint8_t kFunctionMacro = 17;

// Modifier bits of a shortcut assignment.
inline constexpr uint8_t kModCtrl = 1;
inline constexpr uint8_t kModShift = 2;
inline constexpr uint8_t kModAlt = 4;
inline constexpr uint8_t kModWin = 8;

// The assignment of one button, including the copy of an assigned macro.
struct ButtonSlot {
  uint8_t button_index;
  uint8_t function;
  uint8_t function_param;
  uint8_t shortcut_key;
  uint8_t unused_0[3];
  uint8_t shortcut_modifiers;
  uint16_t slot_word;
  uint8_t unused_1[2];
  int32_t macro_mode;
  char16_t macro_name[kMacroNameUnits];
  int32_t macro_repeat;
  uint16_t macro_event_count;
  uint8_t unused_2[1002];
  int32_t macro_list_index;
  int32_t slot_reserved;
  uint8_t unused_3[4];
  uint8_t macro_header_extra[3];
  uint8_t unused_4;
  MacroEvent macro_events[kMaxMacroEvents];
};
static_assert(sizeof(ButtonSlot) == 4128);
static_assert(offsetof(ButtonSlot, button_index) == 0);
static_assert(offsetof(ButtonSlot, function) == 1);
static_assert(offsetof(ButtonSlot, function_param) == 2);
static_assert(offsetof(ButtonSlot, shortcut_key) == 3);
static_assert(offsetof(ButtonSlot, shortcut_modifiers) == 7);
static_assert(offsetof(ButtonSlot, slot_word) == 8);
static_assert(offsetof(ButtonSlot, macro_mode) == 12);
static_assert(offsetof(ButtonSlot, macro_name) == 16);
static_assert(offsetof(ButtonSlot, macro_repeat) == 64);
static_assert(offsetof(ButtonSlot, macro_event_count) == 68);
static_assert(offsetof(ButtonSlot, macro_list_index) == 1072);
static_assert(offsetof(ButtonSlot, slot_reserved) == 1076);
static_assert(offsetof(ButtonSlot, macro_header_extra) == 1084);
static_assert(offsetof(ButtonSlot, macro_events) == 1088);

// All settings of one profile. Colours are COLORREF values: byte 0 red, 1 green, 2 blue.
// DPI values are in units of 50 CPI.
struct ProfileRecord {
  char16_t name[kProfileNameUnits];
  char16_t text_2[500];
  char16_t text_3[500];
  int32_t reserved_a;
  int32_t reserved_b;
  uint8_t reserved_c;
  uint8_t unused_c[3];
  int32_t reserved_d;
  uint8_t unused_d[8];
  int32_t reserved_e;
  int32_t lift_off_distance;
  int32_t reserved_f;
  uint8_t unused_f[8];
  int32_t dpi_value[kDpiLevels];
  int32_t dpi_value_2[kDpiLevels];
  int32_t dpi_enabled[kDpiLevels];
  int32_t light_brightness;
  int32_t breath_speed;
  int32_t sleep_timer;
  int32_t current_dpi_level;
  int32_t polling_rate;
  int32_t polling_rate_hs;
  int32_t move_mode;
  int32_t ripple_control;
  int32_t angle_snap;
  int32_t motion_sync;
  int32_t light_off_timer;
  int32_t light_mode;
  int32_t reserved_g;
  uint8_t reserved_h;
  uint8_t unused_h[3];
  int32_t key_debounce;
  int32_t wakeup;
  uint32_t light_color;
  uint32_t dpi_color[kDpiLevels];
  uint32_t spare_color[kDpiLevels];
  ButtonSlot buttons[kButtonSlots];

  // Stores of many profiles are read into blocks of records (core/record_block.h).
  static void* operator new(std::size_t bytes) { return allocate_record(bytes); }
  static void operator delete(void* record, std::size_t bytes) { release_record(record, bytes); }
};
static_assert(sizeof(ProfileRecord) == 101544);
static_assert(std::is_trivially_copyable_v<ProfileRecord> && std::is_standard_layout_v<ProfileRecord>);
static_assert(offsetof(ProfileRecord, name) == 0);
static_assert(offsetof(ProfileRecord, text_2) == 200);
static_assert(offsetof(ProfileRecord, text_3) == 1200);
static_assert(offsetof(ProfileRecord, reserved_a) == 2200);
static_assert(offsetof(ProfileRecord, reserved_b) == 2204);
static_assert(offsetof(ProfileRecord, reserved_c) == 2208);
static_assert(offsetof(ProfileRecord, reserved_d) == 2212);
static_assert(offsetof(ProfileRecord, reserved_e) == 2224);
static_assert(offsetof(ProfileRecord, lift_off_distance) == 2228);
static_assert(offsetof(ProfileRecord, reserved_f) == 2232);
static_assert(offsetof(ProfileRecord, dpi_value) == 2244);
static_assert(offsetof(ProfileRecord, dpi_value_2) == 2276);
static_assert(offsetof(ProfileRecord, dpi_enabled) == 2308);
static_assert(offsetof(ProfileRecord, light_brightness) == 2340);
static_assert(offsetof(ProfileRecord, breath_speed) == 2344);
static_assert(offsetof(ProfileRecord, sleep_timer) == 2348);
static_assert(offsetof(ProfileRecord, current_dpi_level) == 2352);
static_assert(offsetof(ProfileRecord, polling_rate) == 2356);
static_assert(offsetof(ProfileRecord, polling_rate_hs) == 2360);
static_assert(offsetof(ProfileRecord, move_mode) == 2364);
static_assert(offsetof(ProfileRecord, ripple_control) == 2368);
static_assert(offsetof(ProfileRecord, angle_snap) == 2372);
static_assert(offsetof(ProfileRecord, motion_sync) == 2376);
static_assert(offsetof(ProfileRecord, light_off_timer) == 2380);
static_assert(offsetof(ProfileRecord, light_mode) == 2384);
static_assert(offsetof(ProfileRecord, reserved_g) == 2388);
static_assert(offsetof(ProfileRecord, reserved_h) == 2392);
static_assert(offsetof(ProfileRecord, key_debounce) == 2396);
static_assert(offsetof(ProfileRecord, wakeup) == 2400);
static_assert(offsetof(ProfileRecord, light_color) == 2404);
static_assert(offsetof(ProfileRecord, dpi_color) == 2408);
static_assert(offsetof(ProfileRecord, spare_color) == 2440);
static_assert(offsetof(ProfileRecord, buttons) == 2472);

// The head block of the profile store: the selected index and reserved bytes that
// are carried from load to save unchanged.
struct ProfileStoreHead {
  int32_t selected_profile_index;
  uint8_t reserved[507720];
};
static_assert(sizeof(ProfileStoreHead) == 507724);

// Colour conversions between the stored COLORREF and the opaque ARGB shown on screen.
constexpr uint32_t colorref_to_argb(uint32_t colorref) {
  return 0xFF000000u | ((colorref & 0xFFu) << 16) | (colorref & 0xFF00u) | ((colorref >> 16) & 0xFFu);
}
constexpr uint32_t argb_to_colorref(uint32_t argb) {
  return ((argb >> 16) & 0xFFu) | (argb & 0xFF00u) | ((argb & 0xFFu) << 16);
}

}  // namespace norvane
