#pragma once
// What the page does with the text of a DPI edit: only digits may stay while typing,
// and leaving the edit turns the text into a stored DPI value. No Qt.

#include <cstdint>
#include <string>
#include <string_view>

namespace norvane {

// `text` without every character outside '0'..'9' ("12a3" gives "123").
std::u16string digits_only(std::u16string_view text);

// The text read as a decimal number: leading digits only, no digits reads as 0, and a
// number too long for 64 bits saturates instead of wrapping.
long long read_decimal(std::u16string_view text);

// The DPI value (units of 50 CPI) a DPI edit's text stands for: clamped to
// 50..26,000 CPI, then divided by 50 ("123" gives 2, "" gives 1, "99999" gives 520).
int32_t dpi_value_from_edit_text(std::u16string_view text);

}  // namespace norvane
