#include "settings/dpi_edit.h"

#include <limits>

#include "core/profile_defaults.h"

namespace norvane {

std::u16string digits_only(std::u16string_view text) {
  std::u16string kept;
  kept.reserve(text.size());
  for (char16_t c : text) {
    if (c >= u'0' && c <= u'9') kept.push_back(c);
  }
  return kept;
}

long long read_decimal(std::u16string_view text) {
  constexpr long long kMax = std::numeric_limits<long long>::max();
  long long value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') break;
    const int digit = c - u'0';
    if (value > (kMax - digit) / 10) return kMax;
    value = value * 10 + digit;
  }
  return value;
}

int32_t dpi_value_from_edit_text(std::u16string_view text) { return dpi_value_from_typed_cpi(read_decimal(text)); }

}  // namespace norvane
