#pragma once
#include <array>
#include <cstdint>

#include "core/profile_record.h"

namespace norvane {

// Default function code of button slots 0..17.
inline constexpr std::array<uint8_t, kMouseButtons> kDefaultButtonFunctions = {
    1, 2, 3, 6, 0, 0, 4, 5, 0, 0, 0, 0, 0, 0, 0, 0, 11, 12};

inline constexpr int kMinTypedCpi = 50;
inline constexpr int kMaxTypedCpi = 26000;
inline constexpr int kCpiPerDpiUnit = 50;

// Writes the defaults into every field except `name` and `move_mode`.
void reset_profile_defaults(ProfileRecord& record);

// The DPI reset: level, values, enabled flags and colours; other fields stay.
void reset_dpi_defaults(ProfileRecord& record);

// A CPI value typed into a DPI edit, clamped to 50..26,000 and stored in units of 50.
int32_t dpi_value_from_typed_cpi(long long cpi);

}  // namespace norvane
