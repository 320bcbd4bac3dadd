#include "storage/profile_import.h"

#include <cstring>
#include <memory>

#include "storage/record_names.h"

namespace norvane {
namespace {

std::u16string free_imported_profile_name(const ProfileRecord& record, const ProfileList& profiles,
                                          std::u16string_view add_profile_text) {
  const std::u16string_view name = field_name(record.name);
  if (name.empty()) return free_numbered_profile_name(profiles, add_profile_text, profiles.size() + 1);
  return free_profile_name(profiles, name);
}

std::u16string free_imported_macro_name(const ButtonSlot& slot, const MacroLibrary& library,
                                        std::u16string_view add_macro_text) {
  const std::u16string_view name = field_name(slot.macro_name);
  if (name.empty()) return free_numbered_macro_name(library, add_macro_text, library.size() + 1);
  return free_macro_name(library, name);
}

}  // namespace

int adopt_imported_profile(ProfileRecord& record, const ProfileList& profiles, MacroLibrary& library,
                           const ImportNaming& naming) {
  set_field_name(record.name, free_imported_profile_name(record, profiles, naming.add_profile_text));

  int added = 0;
  for (int k = 0; k < kMouseButtons; ++k) {
    ButtonSlot& slot = record.buttons[k];
    if (slot.function != kFunctionMacro) continue;
    auto macro = std::make_unique<MacroRecord>();  // zero-filled
    const std::u16string name = free_imported_macro_name(slot, library, naming.add_macro_text);
    set_field_name(macro->name, name);
    set_field_name(slot.macro_name, name);
    macro->repeat = slot.macro_repeat;
    // At most 190 (the file's check clamps larger counts).
    macro->event_count = slot.macro_event_count <= kMaxMacroEvents ? slot.macro_event_count : kMaxMacroEvents;
    static_assert(sizeof macro->events == sizeof slot.macro_events);
    std::memcpy(macro->events, slot.macro_events, sizeof macro->events);
    library.push_back(std::move(macro));
    slot.macro_list_index = static_cast<int32_t>(library.size() - 1);
    ++added;
  }
  return added;
}

}  // namespace norvane
