#pragma once
// The caption of a page button for the function assigned to its slot.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/profile_record.h"

namespace norvane {

struct ButtonCaption {
  // True: `key` is a language key that the toolkit translates (empty key: empty caption).
  // False: `text` is the finished caption (shortcuts and macros).
  bool is_language_key = true;
  std::string key;
  std::u16string text;
};

// The text of a language key, as the language file gives it.
using LanguageTextFn = std::function<std::u16string(std::string_view key)>;
// The display name of a keyboard usage ID.
using KeyNameFn = std::function<std::u16string(uint8_t usage)>;

// Language keys of the modifier names in a shortcut caption and of the macro caption's prefix.
inline constexpr std::string_view kCtrlTextKey = "keyboard_ctrl_text";
inline constexpr std::string_view kShiftTextKey = "keyboard_shift_text";
inline constexpr std::string_view kAltTextKey = "keyboard_alt_text";
inline constexpr std::string_view kWinTextKey = "keyboard_win_text";
inline constexpr std::string_view kAssignMacroTextKey = "assign_macro_text";

// Shortcut: each set modifier's text followed by "+" (order Ctrl, Shift, Alt, Win), then
// the key's name. Macro: the "assign_macro_text" text followed by the slot's macro name.
// Any other code: the language key of the function table (empty for codes without one).
ButtonCaption button_caption(const ButtonSlot& slot, const LanguageTextFn& language_text,
                             const KeyNameFn& key_name);

}  // namespace norvane
