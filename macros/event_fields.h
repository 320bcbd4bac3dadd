#pragma once
// The numbers typed into the macro editor's fields: reading a field's integer value,
// the ranges of delays and movement offsets, and the input filter of the offset fields.

#include <cstdint>
#include <string>
#include <string_view>

namespace norvane {

inline constexpr int32_t kMinKeyDelay = 10;     // key and mouse button events
inline constexpr int32_t kMinMoveDelay = 1;     // movements
inline constexpr int32_t kMaxDelay = 25000;
inline constexpr int32_t kMinDefaultDelay = 1;
inline constexpr int32_t kMaxOffset = 999;      // movement offsets lie in -999..999
inline constexpr uint16_t kInsertedDelay = 10;  // delay of inserted clicks and movements

// The integer a field holds: leading spaces, an optional sign and the digits that
// follow, up to the first other character ("12-3" is 12, "" and "abc" are 0). Values
// beyond the 32-bit range are held at its ends.
int32_t integer_value(std::u16string_view text);

uint16_t clamp_key_delay(int32_t value);   // 10..25,000
uint16_t clamp_move_delay(int32_t value);  // 1..25,000
// The default delay of recordings and inserted clicks: 1..25,000, like every other delay.
uint16_t clamp_default_delay(int32_t value);
int32_t clamp_offset(int32_t value);  // -999..999

struct FilteredText {
  std::u16string text;
  bool changed = false;  // the text differs from what was typed
};

// The offset fields' filter: every character but the digits and the minus sign is
// removed, then a value above 999 becomes "999" and one below -999 "-999".
FilteredText filter_offset_text(std::u16string_view typed);

// The decimal digits of `value` as a field shows them.
std::u16string number_text(int64_t value);

}  // namespace norvane
