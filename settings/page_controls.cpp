#include "settings/page_controls.h"

namespace norvane::page_controls {

std::string numbered(std::string_view prefix, int number) {
  std::string name(prefix);
  name += std::to_string(number);
  return name;
}

std::optional<int> family_number(std::string_view name, std::string_view prefix, int count) {
  if (!name.starts_with(prefix)) return std::nullopt;
  const std::string_view digits = name.substr(prefix.size());
  // At most two digits: every family has fewer than 100 members.
  if (digits.empty() || digits.size() > 2 || digits.front() == '0') return std::nullopt;
  int number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  if (number > count) return std::nullopt;
  return number;
}

const Section* find_section(std::string_view check) {
  for (const Section& s : kSections) {
    if (s.check == check) return &s;
  }
  return nullptr;
}

std::string option_for(const OptionFamily& family, int32_t value) {
  if (value < 0 || value >= family.count) return {};
  return numbered(family.prefix, value + 1);
}

}  // namespace norvane::page_controls
