#include "virtual_mouse_profile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/profile_defaults.h"
#include "protocol/device_function_bytes.h"
#include "protocol/macro_blocks.h"

namespace norvane::test {

MacroEvent macro_event(uint8_t kind, uint8_t code, uint16_t delay, int32_t x, int32_t y) {
  MacroEvent e{};
  e.kind = kind;
  e.code = kind == kKindMove ? kCodeMouseMove : code;
  e.delay = delay;
  e.x = x;
  e.y = y;
  return e;
}

void assign_macro(ButtonSlot& slot, const std::vector<MacroEvent>& events, int32_t mode, int32_t repeat) {
  slot.function = kFunctionMacro;
  slot.macro_mode = mode;
  slot.macro_repeat = repeat;
  slot.macro_event_count = static_cast<uint16_t>(events.size());
  for (size_t i = 0; i < events.size(); ++i) slot.macro_events[i] = events[i];
}

std::unique_ptr<ProfileRecord> busy_profile(const BusyProfileValues& values) {
  auto record = std::make_unique<ProfileRecord>();
  ProfileRecord& p = *record;
  reset_profile_defaults(p);
  p.lift_off_distance = 1;
  p.ripple_control = 0;
  p.angle_snap = 1;
  p.motion_sync = 0;
  for (int k = 0; k < kDpiLevels; ++k) {
    p.dpi_value[k] = p.dpi_value_2[k] = values.dpi[k];
    p.dpi_enabled[k] = values.dpi_enabled[k];
    p.dpi_color[k] = values.dpi_color_first + values.dpi_color_step * static_cast<uint32_t>(k);
  }
  p.current_dpi_level = values.current_dpi_level;
  p.light_mode = 1;
  p.light_brightness = values.light_brightness;
  p.breath_speed = values.breath_speed;
  p.sleep_timer = values.sleep_timer;
  p.light_off_timer = values.light_off_timer;
  p.key_debounce = values.key_debounce;
  p.light_color = values.light_color;
  p.polling_rate = values.polling_rate;
  p.polling_rate_hs = values.polling_rate_hs;

  for (int k = 0; k < kMouseButtons; ++k) p.buttons[k].function = values.functions[k];
  ButtonSlot& shortcut = p.buttons[values.shortcut.button];
  shortcut.function = kFunctionShortcut;
  shortcut.shortcut_modifiers = values.shortcut.modifiers;
  shortcut.shortcut_key = values.shortcut.key;

  for (const BusyProfileValues::Macro& macro : values.macros) {
    assign_macro(p.buttons[macro.button], macro.events, macro.mode, macro.repeat);
  }
  return record;
}

void expect_mouse_holds_settings(const VmMouseState& s, const ProfileRecord& p) {
  uint8_t mask = 0;
  for (int k = 0; k < kDpiLevels; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(s.dpi_units[k], p.dpi_value[k]);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(s.dpi_colors[k][c], (p.dpi_color[k] >> (8 * c)) & 0xFF);
    if (p.dpi_enabled[k] == 1) mask = static_cast<uint8_t>(mask | 1u << k);
  }
  EXPECT_EQ(s.dpi_level_mask, mask);
  EXPECT_EQ(s.current_level, p.current_dpi_level);
  EXPECT_EQ(s.lift_off, p.lift_off_distance);
  EXPECT_EQ(s.ripple, p.ripple_control);
  EXPECT_EQ(s.angle_snap, p.angle_snap);
  EXPECT_EQ(s.motion_sync, p.motion_sync);
  EXPECT_EQ(s.light_mode, p.light_mode);
  EXPECT_EQ(s.light_speed, p.breath_speed);
  EXPECT_EQ(s.light_brightness, p.light_brightness);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(s.light_color[c], (p.light_color >> (8 * c)) & 0xFF);
  EXPECT_EQ(s.sleep_timer, p.sleep_timer);
  EXPECT_EQ(s.light_off_timer, p.light_off_timer);
  EXPECT_EQ(s.key_debounce, p.key_debounce);
  for (int k = 0; k < kMouseButtons; ++k) {
    const DeviceBytes expected = device_function_bytes(k, p.buttons[k]);
    EXPECT_THAT(s.buttons[k], ::testing::ElementsAreArray(expected)) << "button " << k;
  }
}

void expect_mouse_holds_macro(const ProfileRecord& p, int slot, std::optional<int> blocks_read) {
  SCOPED_TRACE(slot);
  const ButtonSlot& button = p.buttons[slot];
  VmMacroInfo info{};
  VmMacroEvent events[kMaxMacroEvents]{};
  ASSERT_EQ(vm_macro_decode(macro_start_block(slot), &info, events, kMaxMacroEvents), VM_MACRO_OK);
  if (blocks_read) {
    EXPECT_EQ(info.blocks_read, *blocks_read);
  }
  EXPECT_EQ(info.mode, button.macro_mode);
  EXPECT_EQ(info.repeat, button.macro_repeat == 0 ? 1 : button.macro_repeat);
  ASSERT_EQ(info.event_count, button.macro_event_count);
  for (int i = 0; i < info.event_count; ++i) {
    SCOPED_TRACE(i);
    const MacroEvent& want = button.macro_events[i];
    EXPECT_EQ(events[i].kind, want.kind);
    EXPECT_EQ(events[i].code, want.code);
    EXPECT_EQ(events[i].delay, want.delay);
    EXPECT_EQ(events[i].x, want.x);
    EXPECT_EQ(events[i].y, want.y);
  }
}

}  // namespace norvane::test
