#include "storage/record_names.h"

#include <algorithm>
#include <string>

#include "storage/case_fold.h"

namespace norvane {
namespace {

bool is_high_surrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }

template <typename List>
bool any_named(const List& list, std::u16string_view name) {
  for (const auto& record : list) {
    if (record && equal_ignoring_case(field_name(record->name), name)) return true;
  }
  return false;
}

}  // namespace

std::u16string_view shorten_name(std::u16string_view name, size_t max_units) {
  name = name.substr(0, name.find(u'\0'));
  if (name.size() <= max_units) return name;
  size_t keep = max_units;
  if (keep > 0 && is_high_surrogate(name[keep - 1])) --keep;
  return name.substr(0, keep);
}

bool name_exists(const ProfileList& profiles, std::u16string_view name) { return any_named(profiles, name); }
bool name_exists(const MacroLibrary& macros, std::u16string_view name) { return any_named(macros, name); }

std::u16string numbered_name(std::u16string_view text, size_t number) {
  std::u16string name(text);
  for (char c : std::to_string(number)) name.push_back(static_cast<char16_t>(c));
  return name;
}

namespace {

// `name` in at most `room` units, its last `kept_tail` units kept whole.
std::u16string fit_name(std::u16string_view name, size_t room, size_t kept_tail) {
  if (name.size() <= room) return std::u16string(name);
  if (kept_tail >= room) return std::u16string(shorten_name(name, room));
  std::u16string fitted(shorten_name(name.substr(0, name.size() - kept_tail), room - kept_tail));
  fitted += name.substr(name.size() - kept_tail);
  return fitted;
}

}  // namespace

std::u16string free_name(std::u16string_view wanted, size_t max_units,
                         const std::function<bool(std::u16string_view)>& taken, size_t kept_tail) {
  wanted = wanted.substr(0, wanted.find(u'\0'));
  kept_tail = std::min(kept_tail, wanted.size());
  std::u16string candidate = fit_name(wanted, max_units, kept_tail);
  if (!taken(candidate)) return candidate;
  for (size_t n = 1;; ++n) {
    const std::u16string suffix = numbered_name(u"_", n);
    if (suffix.size() > max_units) return {};
    candidate = fit_name(wanted, max_units - suffix.size(), kept_tail) + suffix;
    if (!taken(candidate)) return candidate;
  }
}

std::u16string free_profile_name(const ProfileList& profiles, std::u16string_view wanted, size_t kept_tail) {
  return free_name(
      wanted, kMaxProfileNameLength, [&](std::u16string_view n) { return name_exists(profiles, n); }, kept_tail);
}

std::u16string free_macro_name(const MacroLibrary& macros, std::u16string_view wanted, size_t kept_tail) {
  return free_name(
      wanted, kMaxMacroNameLength, [&](std::u16string_view n) { return name_exists(macros, n); }, kept_tail);
}

std::u16string free_numbered_profile_name(const ProfileList& profiles, std::u16string_view text, size_t number) {
  const std::u16string wanted = numbered_name(text, number);
  return free_profile_name(profiles, wanted, wanted.size() - text.size());
}

std::u16string free_numbered_macro_name(const MacroLibrary& macros, std::u16string_view text, size_t number) {
  const std::u16string wanted = numbered_name(text, number);
  return free_macro_name(macros, wanted, wanted.size() - text.size());
}

}  // namespace norvane
