#pragma once
// The texts the page writes into its labels and DPI edits. The language texts around
// the numbers are passed in, so this stays free of the toolkit. UTF-8 throughout.

#include <cstdint>
#include <string>
#include <string_view>

namespace norvane {

// A DPI level's CPI as shown by its label and edit: value x 50 ("1600" for 32).
std::string cpi_text(int32_t dpi_value);

// "<prefix><minutes> <unit>" for the sleep timer.
std::string sleep_timer_label(std::string_view prefix, int32_t sleep_timer, std::string_view unit);

// "<prefix><value x 0.5 with one decimal> <unit>" for the light-off timer ("0.5").
std::string light_off_label(std::string_view prefix, int32_t light_off_timer, std::string_view unit);

// "<value x 2> MS" for the key debounce.
std::string key_debounce_label(int32_t key_debounce);

}  // namespace norvane
