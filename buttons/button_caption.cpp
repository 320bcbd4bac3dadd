#include "buttons/button_caption.h"

#include <iterator>

#include "buttons/button_function_table.h"

namespace norvane {
namespace {

std::u16string shortcut_caption(const ButtonSlot& slot, const LanguageTextFn& language_text,
                                const KeyNameFn& key_name) {
  struct Modifier {
    uint8_t bit;
    std::string_view key;
  };
  static constexpr Modifier kModifiers[] = {
      {kModCtrl, kCtrlTextKey}, {kModShift, kShiftTextKey}, {kModAlt, kAltTextKey}, {kModWin, kWinTextKey}};

  std::u16string caption;
  for (const Modifier& m : kModifiers) {
    if ((slot.shortcut_modifiers & m.bit) == 0) continue;
    if (language_text) caption += language_text(m.key);
    caption += u'+';
  }
  if (key_name) caption += key_name(slot.shortcut_key);
  return caption;
}

// The stored name ends at its first NUL or after its last code unit, whichever comes first.
std::u16string macro_name_of(const ButtonSlot& slot) {
  const char16_t* begin = std::begin(slot.macro_name);
  const char16_t* end = std::end(slot.macro_name);
  const char16_t* stop = begin;
  while (stop != end && *stop != u'\0') ++stop;
  return std::u16string(begin, stop);
}

}  // namespace

ButtonCaption button_caption(const ButtonSlot& slot, const LanguageTextFn& language_text,
                             const KeyNameFn& key_name) {
  ButtonCaption caption;
  if (slot.function == kFunctionShortcut) {
    caption.is_language_key = false;
    caption.text = shortcut_caption(slot, language_text, key_name);
  } else if (slot.function == kFunctionMacro) {
    caption.is_language_key = false;
    if (language_text) caption.text = language_text(kAssignMacroTextKey);
    caption.text += macro_name_of(slot);
  } else if (const ButtonFunction* f = find_button_function(slot.function)) {
    caption.key = std::string(f->caption_key);
  }
  return caption;
}

}  // namespace norvane
