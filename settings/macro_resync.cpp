#include "settings/macro_resync.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

#include "core/profile_defaults.h"
#include "storage/case_fold.h"

namespace norvane {
namespace {

constexpr int kAssignableSlots = 12;

// Byte ranges of a slot: [begin, end).
void zero_bytes(ButtonSlot& slot, size_t begin, size_t end) {
  std::memset(reinterpret_cast<std::byte*>(&slot) + begin, 0, end - begin);
}

const MacroRecord* find_macro(const MacroLibrary& library, std::u16string_view name, int32_t* position) {
  for (size_t i = 0; i < library.size(); ++i) {
    if (library[i] && equal_ignoring_case(field_name(library[i]->name), name)) {
      *position = static_cast<int32_t>(i);
      return library[i].get();
    }
  }
  return nullptr;
}

void copy_macro(ButtonSlot& slot, const MacroRecord& macro, int32_t position) {
  set_field_name(slot.macro_name, field_name(macro.name));
  slot.macro_event_count = static_cast<uint16_t>(std::clamp<int32_t>(macro.event_count, 0, kMaxMacroEvents));
  std::copy(std::begin(macro.events), std::end(macro.events), std::begin(slot.macro_events));
  slot.macro_list_index = position;
}

// The whole slot back to its default function: everything but the function bytes and
// the list index is zeroed.
void drop_macro_assignment(ButtonSlot& slot, int slot_index) {
  zero_bytes(slot, 0, 1);
  zero_bytes(slot, 3, offsetof(ButtonSlot, macro_list_index));
  zero_bytes(slot, offsetof(ButtonSlot, slot_reserved), sizeof(ButtonSlot));
  slot.function = kDefaultButtonFunctions[static_cast<size_t>(slot_index)];
  slot.function_param = 0;
  slot.macro_list_index = -1;
}

// Only the macro part: mode, name, repeat, count, header and events.
void clear_macro_fields(ButtonSlot& slot) {
  zero_bytes(slot, offsetof(ButtonSlot, macro_mode), offsetof(ButtonSlot, macro_list_index));
  zero_bytes(slot, offsetof(ButtonSlot, macro_header_extra), sizeof(ButtonSlot));
  slot.macro_list_index = -1;
}

}  // namespace

MacroResyncResult resync_macros(ProfileList& profiles, const ProfileRecord* current, const MacroLibrary& library) {
  MacroResyncResult result;
  for (auto& profile : profiles) {
    if (!profile) continue;
    for (int k = 0; k < kAssignableSlots; ++k) {
      ButtonSlot& slot = profile->buttons[k];
      const std::u16string_view name = field_name(slot.macro_name);
      if (slot.function != kFunctionMacro && name.empty()) continue;

      int32_t position = -1;
      const MacroRecord* macro = name.empty() ? nullptr : find_macro(library, name, &position);
      if (macro != nullptr) {
        copy_macro(slot, *macro, position);
        ++result.refreshed;
      } else {
        if (slot.function == kFunctionMacro) drop_macro_assignment(slot, k);
        else clear_macro_fields(slot);
        ++result.dropped;
      }
      if (profile.get() == current) result.current_changed = true;
    }
  }
  return result;
}

}  // namespace norvane
