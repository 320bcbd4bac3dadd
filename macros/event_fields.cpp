#include "macros/event_fields.h"

#include <algorithm>
#include <limits>
#include <string>

namespace norvane {

int32_t integer_value(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = std::min(value * 10 + (text[i] - u'0'), kLimit);
  }
  if (negative) value = -value;
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

uint16_t clamp_key_delay(int32_t value) { return static_cast<uint16_t>(std::clamp(value, kMinKeyDelay, kMaxDelay)); }

uint16_t clamp_move_delay(int32_t value) {
  return static_cast<uint16_t>(std::clamp(value, kMinMoveDelay, kMaxDelay));
}

uint16_t clamp_default_delay(int32_t value) {
  return static_cast<uint16_t>(std::clamp(value, kMinDefaultDelay, kMaxDelay));
}

int32_t clamp_offset(int32_t value) { return std::clamp(value, -kMaxOffset, kMaxOffset); }

FilteredText filter_offset_text(std::u16string_view typed) {
  FilteredText out;
  for (char16_t c : typed) {
    if ((c >= u'0' && c <= u'9') || c == u'-') out.text.push_back(c);
  }
  const int32_t value = integer_value(out.text);
  if (value > kMaxOffset) out.text = number_text(kMaxOffset);
  if (value < -kMaxOffset) out.text = number_text(-kMaxOffset);
  out.changed = out.text != typed;
  return out;
}

std::u16string number_text(int64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace norvane
