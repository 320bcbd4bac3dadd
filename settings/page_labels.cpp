#include "settings/page_labels.h"

#include <cstdio>

#include "core/profile_defaults.h"

namespace norvane {

std::string cpi_text(int32_t dpi_value) {
  // 64-bit so a damaged record's huge value shows as a number instead of overflowing.
  return std::to_string(static_cast<int64_t>(dpi_value) * kCpiPerDpiUnit);
}

std::string sleep_timer_label(std::string_view prefix, int32_t sleep_timer, std::string_view unit) {
  std::string text(prefix);
  text += std::to_string(sleep_timer);
  text += ' ';
  text += unit;
  return text;
}

std::string light_off_label(std::string_view prefix, int32_t light_off_timer, std::string_view unit) {
  char number[32];
  std::snprintf(number, sizeof number, "%.1f", static_cast<double>(light_off_timer) * 0.5);
  std::string text(prefix);
  text += number;
  text += ' ';
  text += unit;
  return text;
}

std::string key_debounce_label(int32_t key_debounce) {
  return std::to_string(static_cast<int64_t>(key_debounce) * 2) + " MS";
}

}  // namespace norvane
