#pragma once
// Names of profiles and macros: reading and writing the fixed UTF-16 name fields,
// the case-insensitive lookup shared by the profile list and the macro library, and
// the free-name rule that turns a taken name into the first free "name_N".

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/macro_library.h"
#include "core/profile_state.h"

namespace norvane {

// The most characters a name can have: its field less the terminating zero.
inline constexpr size_t kMaxProfileNameLength = kProfileNameUnits - 1;  // 99
inline constexpr size_t kMaxMacroNameLength = kMacroNameUnits - 1;      // 23

// The name held in a field: the units before the first zero, or the whole field when
// it has none.
template <size_t N>
std::u16string_view field_name(const char16_t (&field)[N]) {
  const std::u16string_view whole(field, N);
  return whole.substr(0, whole.find(u'\0'));
}

// `name` cut to at most `max_units` code units, never between the two halves of a
// surrogate pair, and before any zero unit.
std::u16string_view shorten_name(std::u16string_view name, size_t max_units);

// Writes `name` into a field: shortened to N-1 units, terminated, the rest zero.
template <size_t N>
void set_field_name(char16_t (&field)[N], std::u16string_view name) {
  const std::u16string_view kept = shorten_name(name, N - 1);
  size_t i = 0;
  for (; i < kept.size(); ++i) field[i] = kept[i];
  for (; i < N; ++i) field[i] = u'\0';
}

// True when a record of the list has `name`, compared without regard to letter case.
bool name_exists(const ProfileList& profiles, std::u16string_view name);
bool name_exists(const MacroLibrary& macros, std::u16string_view name);

// The free-name rule. Returns `wanted` when it is not taken, else the first of
// "wanted_1", "wanted_2", ... that is not taken. A name that would not fit
// `max_units` is shortened before its suffix, never after it: the "_N" suffix and the
// last `kept_tail` units of `wanted` (the number of "Macro3") stay whole, so the
// result always fits. Empty only when `max_units` is too small for any suffix.
std::u16string free_name(std::u16string_view wanted, size_t max_units,
                         const std::function<bool(std::u16string_view)>& taken, size_t kept_tail = 0);

std::u16string free_profile_name(const ProfileList& profiles, std::u16string_view wanted, size_t kept_tail = 0);
std::u16string free_macro_name(const MacroLibrary& macros, std::u16string_view wanted, size_t kept_tail = 0);

// A free name for a new record: `text` followed by the decimal digits of `number`
// ("Macro" and 3 give "Macro3"), the digits kept whole when `text` must be shortened.
std::u16string free_numbered_profile_name(const ProfileList& profiles, std::u16string_view text, size_t number);
std::u16string free_numbered_macro_name(const MacroLibrary& macros, std::u16string_view text, size_t number);

// `text` followed by the decimal digits of `number` ("Macro" and 3 give "Macro3").
std::u16string numbered_name(std::u16string_view text, size_t number);

}  // namespace norvane
