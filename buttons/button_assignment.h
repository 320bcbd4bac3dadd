#pragma once
// Giving a button a new function: the left-click rule, the shortcut fields a shortcut
// choice starts from and writes back, the copy of a library macro in a button slot, and
// the repeat count of a macro as the user types it. No Qt.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/macro_record.h"
#include "core/profile_record.h"

namespace norvane {

// Buttons 0..15 must keep at least one left click between them.
inline constexpr int kLeftClickRuleSlots = 16;
inline constexpr uint8_t kFunctionLeftClick = 1;

// False when giving `slot` the function `code` would leave buttons 0..15 without a left click.
bool keeps_a_left_click(const ProfileRecord& record, int slot, uint8_t code);

// The key and modifier bits of a shortcut (modifier bits kModCtrl .. kModWin).
struct ShortcutKeys {
  uint8_t key = 0;
  uint8_t modifiers = 0;
  bool empty() const { return key == 0 && modifiers == 0; }
  bool operator==(const ShortcutKeys&) const = default;
};

// What the shortcut dialog starts from: a shortcut button's own key and modifiers; any
// other button starts with no key and the modifiers left from an earlier shortcut.
ShortcutKeys shortcut_start(const ButtonSlot& slot);

// Writes a confirmed shortcut into the slot (the key's three spare bytes cleared). With
// a key or a modifier the button becomes a shortcut and true is returned; an empty
// shortcut leaves the function as it was.
bool write_shortcut(ButtonSlot& slot, ShortcutKeys keys);

// Playback modes of a macro button: 0 plays it `repeat` times, 1 and 2 are the mouse's
// other two ways (while held, until pressed again).
inline constexpr int kMacroModes = 3;
inline constexpr int kMinRepeatCount = 1;
inline constexpr int kMaxRepeatCount = 255;

// The macro settings a button keeps with its copy of the macro.
struct MacroChoice {
  int index = -1;  // position in the library; -1: none chosen
  int mode = 0;
  int repeat = kMinRepeatCount;
};

// Copies the macro into the slot: its name (at most 23 units), event count (never more
// than a slot holds) and events, with the mode, repeat count and library position; the
// button becomes a macro button.
void copy_macro_into_slot(ButtonSlot& slot, const MacroRecord& macro, const MacroChoice& choice);

// The repeat count edit: while typing only the digits of the text stay, in their order.
std::u16string repeat_text_digits(std::u16string_view text);

// Leaving the repeat count edit: the text read as a decimal number (empty reads as 0),
// clamped to 1..255, and the text the edit shows for it.
struct RepeatCount {
  int count = kMinRepeatCount;
  std::u16string text;
};
RepeatCount accept_repeat_text(std::u16string_view text);

}  // namespace norvane
