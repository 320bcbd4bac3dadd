#include "buttons/button_assignment.h"

#include <algorithm>
#include <cstring>

namespace norvane {

bool keeps_a_left_click(const ProfileRecord& record, int slot, uint8_t code) {
  for (int i = 0; i < kLeftClickRuleSlots; ++i) {
    const uint8_t function = i == slot ? code : record.buttons[i].function;
    if (function == kFunctionLeftClick) return true;
  }
  return false;
}

ShortcutKeys shortcut_start(const ButtonSlot& slot) {
  const uint8_t key = slot.function == kFunctionShortcut ? slot.shortcut_key : 0;
  return {key, static_cast<uint8_t>(slot.shortcut_modifiers & (kModCtrl | kModShift | kModAlt | kModWin))};
}

bool write_shortcut(ButtonSlot& slot, ShortcutKeys keys) {
  slot.shortcut_key = keys.key;
  std::memset(slot.unused_0, 0, sizeof slot.unused_0);
  slot.shortcut_modifiers = keys.modifiers;
  if (keys.empty()) return false;
  slot.function = kFunctionShortcut;
  return true;
}

void copy_macro_into_slot(ButtonSlot& slot, const MacroRecord& macro, const MacroChoice& choice) {
  slot.macro_mode = choice.mode;
  slot.macro_repeat = choice.repeat;
  slot.macro_list_index = choice.index;
  // The name up to its first zero, at most 23 units, the rest of the field zero.
  size_t length = 0;
  while (length < kMacroNameUnits - 1 && macro.name[length] != u'\0') ++length;
  std::fill(std::begin(slot.macro_name), std::end(slot.macro_name), u'\0');
  std::copy_n(macro.name, length, slot.macro_name);
  slot.macro_event_count = static_cast<uint16_t>(std::clamp(macro.event_count, 0, kMaxMacroEvents));
  std::memcpy(slot.macro_events, macro.events, sizeof slot.macro_events);
  slot.function = kFunctionMacro;
}

std::u16string repeat_text_digits(std::u16string_view text) {
  std::u16string digits;
  for (char16_t c : text) {
    if (c >= u'0' && c <= u'9') digits.push_back(c);
  }
  return digits;
}

RepeatCount accept_repeat_text(std::u16string_view text) {
  // Any number above the largest count is the largest count, however long it is.
  int value = 0;
  for (char16_t c : repeat_text_digits(text)) value = std::min(value * 10 + (c - u'0'), kMaxRepeatCount + 1);
  const int count = std::clamp(value, kMinRepeatCount, kMaxRepeatCount);
  const std::string digits = std::to_string(count);
  return {count, std::u16string(digits.begin(), digits.end())};
}

}  // namespace norvane
