#include "storage/record_repair.h"

#include <string_view>

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
