#pragma once
// A setting as its report carries it, by the encoding the settings table gives the field
// (core/setting_table.h): `encoded<setting::angle_snap>(record)`. Values are cut to the
// bytes the mouse reads; nothing is clamped here (the load check keeps records in range).

#include <cstdint>

#include "core/light_mode.h"
#include "core/setting_table.h"
#include "protocol/wire_reports.h"

namespace norvane {

// The brightness the lighting report sends in modes that do not show it.
inline constexpr uint8_t kUnshownBrightness = 8;
// The speed is sent as this minus the speed: the fastest setting is the mouse's 0.
inline constexpr int kSpeedInversion = 9;
static_assert(setting::breath_speed.range.max == kSpeedInversion);

// A DPI level's units - 1, split for the two byte runs of the DPI report.
struct WireDpiUnits {
  uint8_t low;
  uint8_t high;
};

// A byte split by nibbles: the high nibble stays in place, the low one moves up to be the
// high nibble of the next byte.
struct WireNibbles {
  uint8_t high_in_place;
  uint8_t low_moved_up;
};

template <const SettingField&>
inline constexpr bool kEncodingNotHandled = false;

// Element `element` of the field `F` of `record`, encoded as the table says.
template <const SettingField& F>
auto encoded(const ProfileRecord& record, int element = 0) {
  const int64_t v = setting_value(record, F, element);
  if constexpr (F.encoding == WireEncoding::low_byte) {
    return low_byte(v);
  } else if constexpr (F.encoding == WireEncoding::index_plus_one ||
                       F.encoding == WireEncoding::index_plus_one_nibble) {
    return low_byte(v + 1);
  } else if constexpr (F.encoding == WireEncoding::dpi_units_minus_one) {
    // The mouse counts from 0 = 50 CPI; an unused level (0) goes as 0.
    const int64_t units = v - 1 < 0 ? 0 : v - 1;
    return WireDpiUnits{low_byte(units), low_byte(units >> 8)};
  } else if constexpr (F.encoding == WireEncoding::level_mask_bit) {
    return v == 1;
  } else if constexpr (F.encoding == WireEncoding::colorref) {
    return WireRgb{low_byte(v), low_byte(v >> 8), low_byte(v >> 16)};
  } else if constexpr (F.encoding == WireEncoding::high_nibble) {
    return low_byte(v << 4);
  } else if constexpr (F.encoding == WireEncoding::speed_inverted) {
    return low_byte(kSpeedInversion - low_byte(v));
  } else if constexpr (F.encoding == WireEncoding::nibbles_split) {
    const uint8_t b = low_byte(v);
    return WireNibbles{static_cast<uint8_t>(b & 0xF0), low_byte((b & 0x0F) << 4)};
  } else if constexpr (F.encoding == WireEncoding::brightness_by_mode) {
    const uint8_t mode = low_byte(setting_value(record, setting::light_mode));
    return lighting_panels(mode).brightness ? low_byte(v) : kUnshownBrightness;
  } else {
    static_assert(kEncodingNotHandled<F>, "the field has no encoding for a report");
  }
}

}  // namespace norvane
