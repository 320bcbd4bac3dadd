#include "storage/record_repair.h"

#include <memory>
#include <string_view>

#include "buttons/button_function_table.h"
#include "core/profile_defaults.h"
#include "core/setting_table.h"
#include "storage/format_text.h"

namespace norvane {
namespace {

// A name that fills its field without a terminating zero is cut to the field's
// length less one; a lone high surrogate left at the end is cut as well.
template <size_t N>
bool terminate_name(char16_t (&field)[N]) {
  if (std::u16string_view(field, N).find(u'\0') != std::u16string_view::npos) return false;
  field[N - 1] = u'\0';
  if (field[N - 2] >= 0xD800 && field[N - 2] <= 0xDBFF) field[N - 2] = u'\0';
  return true;
}

// The slot fields a button shows or the button mapping and macro upload send (the
// macro's low bytes only; 0 is sent as one repeat).
constexpr int kMacroModes = 3;
constexpr int32_t kMaxSentRepeat = 255;
constexpr uint8_t kShortcutModifierBits = 0x0F;  // Ctrl, Shift, Alt, Win

const ProfileRecord& default_record() {
  static const std::unique_ptr<ProfileRecord> record = [] {
    auto r = std::make_unique<ProfileRecord>();
    reset_profile_defaults(*r);
    return r;
  }();
  return *record;
}

void check_button_slots(ProfileRecord& record, size_t index, RepairNotes& notes) {
  for (int slot = 0; slot < kMouseButtons; ++slot) {
    ButtonSlot& button = record.buttons[slot];
    const ButtonSlot& fallback = default_record().buttons[slot];
    if (find_button_function(button.function) == nullptr) {
      notes.push_back(format_text("profile %zu button %d: function %u set to %u", index, slot,
                                  static_cast<unsigned>(button.function), static_cast<unsigned>(fallback.function)));
      button.function = fallback.function;
      button.function_param = fallback.function_param;
    }
    if ((button.shortcut_modifiers & ~kShortcutModifierBits) != 0) {
      notes.push_back(format_text("profile %zu button %d: shortcut modifiers 0x%02X set to 0x%02X", index, slot,
                                  static_cast<unsigned>(button.shortcut_modifiers),
                                  static_cast<unsigned>(fallback.shortcut_modifiers)));
      button.shortcut_modifiers = fallback.shortcut_modifiers;
    }
    if (button.macro_mode < 0 || button.macro_mode >= kMacroModes) {
      notes.push_back(format_text("profile %zu button %d: macro mode %d set to %d", index, slot,
                                  static_cast<int>(button.macro_mode), static_cast<int>(fallback.macro_mode)));
      button.macro_mode = fallback.macro_mode;
    }
    if (button.macro_repeat < 0 || button.macro_repeat > kMaxSentRepeat) {
      notes.push_back(format_text("profile %zu button %d: macro repeat %d set to %d", index, slot,
                                  static_cast<int>(button.macro_repeat), static_cast<int>(fallback.macro_repeat)));
      button.macro_repeat = fallback.macro_repeat;
    }
  }
}

}  // namespace

void repair_profile_record(ProfileRecord& record, size_t index, RepairNotes& notes) {
  if (terminate_name(record.name))
    notes.push_back(format_text("profile %zu: name had no terminating zero, cut to %d characters", index,
                           kProfileNameUnits - 1));
  for (int slot = 0; slot < kButtonSlots; ++slot) {
    ButtonSlot& button = record.buttons[slot];
    if (terminate_name(button.macro_name))
      notes.push_back(format_text("profile %zu button %d: macro name had no terminating zero, cut", index, slot));
    if (button.macro_event_count > kMaxMacroEvents) {
      notes.push_back(format_text("profile %zu button %d: macro event count %u clamped to %d", index, slot,
                             static_cast<unsigned>(button.macro_event_count), kMaxMacroEvents));
      button.macro_event_count = kMaxMacroEvents;
    }
  }
  for (const SettingFix& fix : fix_out_of_range_settings(record))
    notes.push_back(format_text("profile %zu: %s", index, describe(fix).c_str()));
  check_button_slots(record, index, notes);
}

void repair_macro_record(MacroRecord& record, size_t index, RepairNotes& notes) {
  if (terminate_name(record.name))
    notes.push_back(format_text("macro %zu: name had no terminating zero, cut to %d characters", index,
                           kMacroNameUnits - 1));
  if (record.event_count < 0 || record.event_count > kMaxMacroEvents) {
    const int32_t clamped = record.event_count < 0 ? 0 : kMaxMacroEvents;
    notes.push_back(format_text("macro %zu: event count %d clamped to %d", index, static_cast<int>(record.event_count),
                           static_cast<int>(clamped)));
    record.event_count = clamped;
  }
}

}  // namespace norvane
