#pragma once
// One row per field of the settings part of a profile record (every field before the
// button slots): where it sits, which report section compares it, its default, the
// values it may hold, which resets write it and how its report encodes it. The
// defaults, the DPI reset, the section comparison, the page's option and slider rows and
// the check of loaded records are derived from these rows. No Qt.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/light_mode.h"
#include "core/polling_rate.h"
#include "core/profile_record.h"

namespace norvane {

// DPI values are stored in units of 50 CPI. A slider or a typed CPI gives a level one
// of 1..520 units (50..26,000 CPI); a stored 0 marks an unused level.
inline constexpr int kCpiPerDpiUnit = 50;
inline constexpr int32_t kMaxDpiUnits = 520;

// The report section a field is compared for: a changed field makes its section's
// report go out with the next apply. `none`: never compared. `wakeup` is compared
// although no report carries it.
enum class SettingSection : uint8_t { none, dpi, light, rate, wakeup };

// Which resets write the field's default: `kept`, none of them (the profile's name, the
// move mode); `profile`, the restore of defaults; `dpi`, the DPI reset as well.
enum class SettingReset : uint8_t { kept, profile, dpi };

// How a report carries one element of the field.
enum class WireEncoding : uint8_t {
  none,                   // never sent
  low_byte,               // the value's low byte
  index_plus_one,         // a 0-based index sent 1-based in one byte (the DPI level)
  index_plus_one_nibble,  // a 0-based option index sent 1-based in one nibble (the rates)
  dpi_units_minus_one,    // value - 1 as 16 bits, low and high bytes in separate runs; 0 when negative
  level_mask_bit,         // one bit per element, set when the value is exactly 1
  colorref,               // red, green, blue: bytes 0, 1 and 2 of the COLORREF
  high_nibble,            // the low byte shifted into the high nibble (the light mode)
  speed_inverted,         // 9 - value: the mouse counts speed the other way round
  nibbles_split,          // high nibble in place in one byte, low nibble in the high nibble of the next
  brightness_by_mode,     // the value in the light modes that show brightness, a fixed 8 in the others
};

enum class ElementType : uint8_t { i32, u32, u8, u16 };

// Inclusive bounds of the values an element may hold.
struct ValueRange {
  int64_t min = std::numeric_limits<int64_t>::min();
  int64_t max = std::numeric_limits<int64_t>::max();
  constexpr bool contains(int64_t value) const { return value >= min && value <= max; }
};
// Fields nothing reads, and fields where every value has a meaning.
inline constexpr ValueRange kAnyValue{};
// A 0-based option index.
constexpr ValueRange option_index(int count) { return {0, count - 1}; }

// One default for every element, or one per DPI level.
struct SettingDefault {
  std::array<int64_t, kDpiLevels> values{};
  bool per_element = false;
  constexpr int64_t at(int element) const {
    return per_element ? values[static_cast<size_t>(element)] : values[0];
  }
};
constexpr SettingDefault every_element(int64_t value) { return {{value}, false}; }
constexpr SettingDefault per_level(std::array<int64_t, kDpiLevels> values) { return {values, true}; }

struct SettingField {
  std::string_view name;
  uint16_t offset;                  // in the record
  ElementType type;
  uint16_t count;                   // elements; 1 for a scalar
  int32_t ProfileRecord::*member;   // int32 scalars, for code that edits them by member; else null
  SettingSection section;
  SettingReset reset;
  SettingDefault defaults;
  ValueRange range;
  WireEncoding encoding;

  constexpr size_t element_size() const {
    switch (type) {
      case ElementType::i32:
      case ElementType::u32:
        return 4;
      case ElementType::u16:
        return 2;
      case ElementType::u8:
        return 1;
    }
    return 0;
  }
  constexpr size_t size() const { return element_size() * count; }
  // Options of a field that stores a 0-based option index (fewer than 100); 0 for a
  // field whose range is no option index.
  constexpr int option_count() const {
    return range.min == 0 && range.max >= 0 && range.max < 99 ? static_cast<int>(range.max) + 1 : 0;
  }
};

namespace setting_detail {

template <typename T>
constexpr ElementType element_type() {
  using E = std::remove_all_extents_t<T>;
  if constexpr (std::is_same_v<E, int32_t>) return ElementType::i32;
  else if constexpr (std::is_same_v<E, uint32_t>) return ElementType::u32;
  else if constexpr (std::is_same_v<E, uint8_t>) return ElementType::u8;
  else {
    static_assert(std::is_same_v<E, char16_t>, "a settings field of another element type");
    return ElementType::u16;
  }
}

template <typename T>
constexpr uint16_t element_count() {
  return std::is_array_v<T> ? static_cast<uint16_t>(std::extent_v<T>) : uint16_t{1};
}

constexpr int32_t ProfileRecord::*int32_member(int32_t ProfileRecord::*member) { return member; }
template <typename T>
constexpr int32_t ProfileRecord::*int32_member(T ProfileRecord::*) { return nullptr; }

}  // namespace setting_detail

// Where a field sits, taken from the record's declaration.
#define NORVANE_SETTING(field)                                                                    \
  #field, static_cast<uint16_t>(offsetof(ProfileRecord, field)),                                 \
      setting_detail::element_type<decltype(ProfileRecord::field)>(),                             \
      setting_detail::element_count<decltype(ProfileRecord::field)>(),                            \
      setting_detail::int32_member(&ProfileRecord::field)

namespace setting {

using S = SettingSection;
using R = SettingReset;
using W = WireEncoding;

// clang-format off
inline constexpr SettingField name{NORVANE_SETTING(name), S::none, R::kept, every_element(0), kAnyValue, W::none};
inline constexpr SettingField text_2{NORVANE_SETTING(text_2), S::none, R::profile,
    every_element(0), kAnyValue, W::none};
inline constexpr SettingField text_3{NORVANE_SETTING(text_3), S::none, R::profile,
    every_element(0), kAnyValue, W::none};
inline constexpr SettingField reserved_a{NORVANE_SETTING(reserved_a), S::none, R::profile,
    every_element(420), kAnyValue, W::none};
inline constexpr SettingField reserved_b{NORVANE_SETTING(reserved_b), S::none, R::profile,
    every_element(3), kAnyValue, W::none};
inline constexpr SettingField reserved_c{NORVANE_SETTING(reserved_c), S::none, R::profile,
    every_element(0), kAnyValue, W::none};
inline constexpr SettingField reserved_d{NORVANE_SETTING(reserved_d), S::none, R::profile,
    every_element(6), kAnyValue, W::none};
inline constexpr SettingField reserved_e{NORVANE_SETTING(reserved_e), S::dpi, R::profile,
    every_element(0), kAnyValue, W::none};
inline constexpr SettingField lift_off_distance{NORVANE_SETTING(lift_off_distance), S::dpi, R::profile,
    every_element(0), option_index(2), W::low_byte};
inline constexpr SettingField reserved_f{NORVANE_SETTING(reserved_f), S::dpi, R::profile,
    every_element(0), kAnyValue, W::none};
inline constexpr SettingField dpi_value{NORVANE_SETTING(dpi_value), S::dpi, R::dpi,
    per_level({8, 16, 32, 64, 128, 520, 0, 0}), {0, kMaxDpiUnits}, W::dpi_units_minus_one};
// Set with `dpi_value` by the resets and compared, never sent.
inline constexpr SettingField dpi_value_2{NORVANE_SETTING(dpi_value_2), S::dpi, R::dpi,
    per_level({8, 16, 32, 64, 128, 520, 0, 0}), kAnyValue, W::none};
// 1 enables a level, any other value disables it.
inline constexpr SettingField dpi_enabled{NORVANE_SETTING(dpi_enabled), S::dpi, R::dpi,
    per_level({1, 1, 1, 1, 1, 1, 0, 0}), kAnyValue, W::level_mask_bit};
inline constexpr SettingField light_brightness{NORVANE_SETTING(light_brightness), S::light, R::profile,
    every_element(8), {1, 10}, W::brightness_by_mode};
inline constexpr SettingField breath_speed{NORVANE_SETTING(breath_speed), S::light, R::profile,
    every_element(6), {1, 9}, W::speed_inverted};
inline constexpr SettingField sleep_timer{NORVANE_SETTING(sleep_timer), S::light, R::profile,
    every_element(10), {1, 60}, W::nibbles_split};
inline constexpr SettingField current_dpi_level{NORVANE_SETTING(current_dpi_level), S::dpi, R::dpi,
    every_element(1), option_index(kDpiLevels), W::index_plus_one};
inline constexpr SettingField polling_rate{NORVANE_SETTING(polling_rate), S::rate, R::profile,
    every_element(static_cast<int64_t>(PollingRate::hz1000)),
    option_index(kPollingRateCount), W::index_plus_one_nibble};
inline constexpr SettingField polling_rate_hs{NORVANE_SETTING(polling_rate_hs), S::rate, R::profile,
    every_element(static_cast<int64_t>(PollingRateHs::hz8000)),
    option_index(kPollingRateHsCount), W::index_plus_one_nibble};
// A check box; a new record holds 0.
inline constexpr SettingField move_mode{NORVANE_SETTING(move_mode), S::none, R::kept,
    every_element(0), {0, 1}, W::none};
inline constexpr SettingField ripple_control{NORVANE_SETTING(ripple_control), S::dpi, R::profile,
    every_element(1), option_index(2), W::low_byte};
inline constexpr SettingField angle_snap{NORVANE_SETTING(angle_snap), S::dpi, R::profile,
    every_element(0), option_index(2), W::low_byte};
inline constexpr SettingField motion_sync{NORVANE_SETTING(motion_sync), S::dpi, R::profile,
    every_element(1), option_index(2), W::low_byte};
// Shown as value x 0.5 minutes.
inline constexpr SettingField light_off_timer{NORVANE_SETTING(light_off_timer), S::light, R::profile,
    every_element(1), {1, 60}, W::low_byte};
inline constexpr SettingField light_mode{NORVANE_SETTING(light_mode), S::light, R::profile,
    every_element(static_cast<int64_t>(LightMode::multicolour_steady)), option_index(kLightModeCount), W::high_nibble};
inline constexpr SettingField reserved_g{NORVANE_SETTING(reserved_g), S::light, R::profile,
    every_element(3), kAnyValue, W::none};
inline constexpr SettingField reserved_h{NORVANE_SETTING(reserved_h), S::none, R::profile,
    every_element(1), kAnyValue, W::none};
// Shown as value x 2 ms.
inline constexpr SettingField key_debounce{NORVANE_SETTING(key_debounce), S::light, R::profile,
    every_element(4), {1, 16}, W::low_byte};
inline constexpr SettingField wakeup{NORVANE_SETTING(wakeup), S::wakeup, R::profile,
    every_element(1), option_index(2), W::none};
inline constexpr SettingField light_color{NORVANE_SETTING(light_color), S::light, R::profile,
    every_element(0xFF0000), {0, 0xFFFFFF}, W::colorref};
inline constexpr SettingField dpi_color{NORVANE_SETTING(dpi_color), S::dpi, R::dpi,
    per_level({0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFFFF00, 0xFF00FF, 0x0040FF, 0xFFFFFF}),
    {0, 0xFFFFFF}, W::colorref};
inline constexpr SettingField spare_color{NORVANE_SETTING(spare_color), S::none, R::profile,
    per_level({0x0000FF, 0x00FF00, 0xFF0000, 0xFF00FF, 0x00FFFF, 0xFFFFFF, 0xFFFFFF, 0x0080FF}), kAnyValue, W::none};
// clang-format on

}  // namespace setting

#undef NORVANE_SETTING

// Every row, in record order.
inline constexpr std::array<const SettingField*, 32> kSettingFields{{
    &setting::name,           &setting::text_2,          &setting::text_3,
    &setting::reserved_a,     &setting::reserved_b,      &setting::reserved_c,
    &setting::reserved_d,     &setting::reserved_e,      &setting::lift_off_distance,
    &setting::reserved_f,     &setting::dpi_value,       &setting::dpi_value_2,
    &setting::dpi_enabled,    &setting::light_brightness, &setting::breath_speed,
    &setting::sleep_timer,    &setting::current_dpi_level, &setting::polling_rate,
    &setting::polling_rate_hs, &setting::move_mode,      &setting::ripple_control,
    &setting::angle_snap,     &setting::motion_sync,     &setting::light_off_timer,
    &setting::light_mode,     &setting::reserved_g,      &setting::reserved_h,
    &setting::key_debounce,   &setting::wakeup,          &setting::light_color,
    &setting::dpi_color,      &setting::spare_color,
}};

// Element `element` of `field` in `record`, widened (int32 fields sign-extended).
inline int64_t setting_value(const ProfileRecord& record, const SettingField& field, int element = 0) {
  const auto* at = reinterpret_cast<const unsigned char*>(&record) + field.offset +
                   field.element_size() * static_cast<size_t>(element);
  switch (field.type) {
    case ElementType::i32: {
      int32_t v;
      std::memcpy(&v, at, sizeof v);
      return v;
    }
    case ElementType::u32: {
      uint32_t v;
      std::memcpy(&v, at, sizeof v);
      return v;
    }
    case ElementType::u16: {
      uint16_t v;
      std::memcpy(&v, at, sizeof v);
      return v;
    }
    case ElementType::u8:
      return *at;
  }
  return 0;
}

// Stores `value`, cut to the element's width, into element `element` of `field`.
void set_setting_value(ProfileRecord& record, const SettingField& field, int element, int64_t value);

// Writes the default of every element of `field`.
void reset_setting(ProfileRecord& record, const SettingField& field);

// An element found outside its field's range and set to its default.
struct SettingFix {
  const SettingField* field = nullptr;
  int element = 0;
  int64_t found = 0;
  int64_t fixed_to = 0;
};

// Checks every element of the settings part of `record` against its range and sets
// each one outside it to its default; everything else stays byte for byte. Returns
// the elements it set, in record order (empty for a sound record).
std::vector<SettingFix> fix_out_of_range_settings(ProfileRecord& record);

// "polling_rate 9 set to 3", "dpi_value[2] -5 set to 32".
std::string describe(const SettingFix& fix);

}  // namespace norvane
