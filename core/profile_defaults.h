#pragma once
#include <array>
#include <cstdint>

#include "core/profile_record.h"
#include "core/setting_table.h"

namespace norvane {

// Default function code of button slots 0..17.
inline constexpr std::array<uint8_t, kMouseButtons> kDefaultButtonFunctions = {
    1, 2, 3, 6, 0, 0, 4, 5, 0, 0, 0, 0, 0, 0, 0, 0, 11, 12};

// The DPI a slider or an edit can give a level: one unit (50 CPI) up to the highest.
inline constexpr ValueRange kDpiLevelUnits{1, kMaxDpiUnits};
inline constexpr int kMinTypedCpi = static_cast<int>(kDpiLevelUnits.min) * kCpiPerDpiUnit;
inline constexpr int kMaxTypedCpi = static_cast<int>(kDpiLevelUnits.max) * kCpiPerDpiUnit;
static_assert(kMinTypedCpi == 50 && kMaxTypedCpi == 26000);

// Writes the defaults of the settings table into every field it resets (all but `name`
// and `move_mode`), then the default button slots.
void reset_profile_defaults(ProfileRecord& record);

// The DPI reset: the fields the table marks for it (level, values, enabled flags and
// colours); other fields stay.
void reset_dpi_defaults(ProfileRecord& record);

// A CPI value typed into a DPI edit, clamped to 50..26,000 and stored in units of 50.
int32_t dpi_value_from_typed_cpi(long long cpi);

}  // namespace norvane
