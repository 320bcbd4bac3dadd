#pragma once
// Names of the settings page's controls, the numbered families among them
// ("ms_1_slider_dpi_3") and the tables that tie controls to record fields. No Qt.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/profile_defaults.h"
#include "core/profile_record.h"
#include "core/setting_table.h"

namespace norvane::page_controls {

inline constexpr char kProfileList[] = "ms_1_list_profile";
inline constexpr char kSettingArea[] = "ms_1_ver_setting";
inline constexpr char kLightCombo[] = "ms_1_combo_light";
inline constexpr char kBrightnessPanel[] = "ms_1_ver_brightness";
inline constexpr char kSpeedPanel[] = "ms_1_ver_breathspeed";
inline constexpr char kLightColorPanel[] = "ms_1_hor_light_color";
inline constexpr char kBrightnessSlider[] = "ms_1_slider_brightness";
inline constexpr char kSpeedSlider[] = "ms_1_slider_breathspeed";
inline constexpr char kLightColorButton[] = "ms_1_btn_light_color";
inline constexpr char kSleepTimerSlider[] = "ms_1_slider_sleep_timer";
inline constexpr char kSleepTimerLabel[] = "ms_1_label_sleep_timer";
inline constexpr char kLightOffSlider[] = "ms_1_slider_light_off";
inline constexpr char kLightOffLabel[] = "ms_1_label_light_off";
inline constexpr char kDebounceSlider[] = "ms_1_slider_key_debounce";
inline constexpr char kDebounceLabel[] = "ms_1_label_key_debounce";
inline constexpr char kMoveModeCheck[] = "ms_1_check_movemode";
inline constexpr char kApplyButton[] = "ms_1_apply_btn";
inline constexpr char kApplyDpiButton[] = "ms_1_btn_apply_dpi";
inline constexpr char kResetDpiButton[] = "ms_1_btn_reset_dpi";
inline constexpr char kProfileResetButton[] = "ms_1_profile_reset_btn";
inline constexpr char kResetButton[] = "ms_1_btn_reset";
inline constexpr char kMouseAttributeButton[] = "ms_1_btn_mouse_attribute";
inline constexpr char kMacroButton[] = "ms_1_btn_macro";
inline constexpr char kProfileAddButton[] = "ms_1_profile_add_btn";
inline constexpr char kProfileDeleteButton[] = "ms_1_profile_delete_btn";
inline constexpr char kProfileRenameButton[] = "ms_1_profile_rename_btn";
inline constexpr char kProfileImportButton[] = "ms_1_profile_import_btn";
inline constexpr char kProfileExportButton[] = "ms_1_profile_export_btn";
inline constexpr char kApplyRing[] = "apply_ring";
// Under the link icons: how many changes have not reached the mouse yet.
inline constexpr char kPendingChangesLabel[] = "ms_1_label_pending";

// The link side: link icons, the "asleep" label, the battery, and the sections whose
// layout depends on the link.
inline constexpr char kWiredIcon[] = "ms_1_wired";
inline constexpr char kWirelessIcon[] = "ms_1_wireless";
inline constexpr char kWireless8kIcon[] = "ms_1_wireless_8k";
inline constexpr char kBleIcon[] = "ms_1_BLE";
inline constexpr char kSleepLabel[] = "ms_1_sleep_label";
inline constexpr char kPowerLabel[] = "ms_1_label_power";
inline constexpr char kPowerProgress[] = "ms_1_progress_power";
inline constexpr char kLightCheck[] = "ms_1_check_light";
inline constexpr char kLightBody[] = "ms_1_ver_light";
inline constexpr char kDebounceCheck[] = "ms_1_check_key_debounce";
inline constexpr char kDebounceBody[] = "ms_1_hor_key_debounce";
inline constexpr char kChargingTextKey[] = "charging_text";

// Option families the mouse's own changes select.
inline constexpr char kDpiLevelOptionPrefix[] = "ms_1_option_dpi_step_";
inline constexpr char kRateOptionPrefix[] = "ms_1_btn_prate_";
inline constexpr char kRateHsOptionPrefix[] = "ms_1_btn_prate_hs_";

// Numbered families, numbered from 1.
inline constexpr char kDpiSliderPrefix[] = "ms_1_slider_dpi_";
inline constexpr char kDpiLabelPrefix[] = "ms_1_label_dpi_";
inline constexpr char kDpiEditPrefix[] = "ms_1_edit_dpi_";
inline constexpr char kDpiColorButtonPrefix[] = "ms_1_btn_dpi_color_";
inline constexpr char kButtonKeyPrefix[] = "ms_1_btn_key_";

// Buttons 1..12 open the function menu; 13..18 are shown only.
inline constexpr int kAssignableButtons = 12;
// Height of a profile list row.
inline constexpr int kProfileRowHeight = 22;

// Level `level` (1..8) is switched on in `record` (only the value 1 switches it on).
inline bool dpi_level_enabled(const ProfileRecord& record, int level) {
  return level >= 1 && level <= kDpiLevels && record.dpi_enabled[level - 1] == 1;
}

// `prefix` followed by `number` ("ms_1_edit_dpi_" and 3: "ms_1_edit_dpi_3").
std::string numbered(std::string_view prefix, int number);

// The number of a family member: `name` is `prefix` followed by decimal digits that
// make a number in 1..count. Anything else (other names, "_0", "_03", "_9" of eight,
// trailing text) gives nullopt.
std::optional<int> family_number(std::string_view name, std::string_view prefix, int count);

// Options that store their number minus one into a record field; as many options as
// the settings table gives the field values.
struct OptionFamily {
  std::string_view prefix;
  int count;
  int32_t ProfileRecord::*field;
};
constexpr OptionFamily option_family(std::string_view prefix, const SettingField& setting) {
  return {prefix, setting.option_count(), setting.member};
}
inline constexpr std::array<OptionFamily, 8> kOptionFamilies{{
    option_family(kDpiLevelOptionPrefix, setting::current_dpi_level),
    option_family(kRateOptionPrefix, setting::polling_rate),
    option_family(kRateHsOptionPrefix, setting::polling_rate_hs),
    option_family("ms_1_option_lift_of_distance_", setting::lift_off_distance),
    option_family("ms_1_option_ripple_control_", setting::ripple_control),
    option_family("ms_1_option_angle_snap_", setting::angle_snap),
    option_family("ms_1_option_motion_sync_", setting::motion_sync),
    option_family("ms_1_option_wakeup_", setting::wakeup),
}};

// Sliders that edit one record field and ask for a delayed apply; their range is the
// field's range in the settings table.
enum class SliderLabel { none, sleep_timer, light_off, key_debounce };
struct SettingSlider {
  std::string_view name;
  int32_t ProfileRecord::*field;
  SliderLabel label;
  int minimum;
  int maximum;
};
constexpr SettingSlider setting_slider(std::string_view name, const SettingField& setting, SliderLabel label) {
  return {name, setting.member, label, static_cast<int>(setting.range.min), static_cast<int>(setting.range.max)};
}
inline constexpr std::array<SettingSlider, 5> kSettingSliders{{
    setting_slider(kBrightnessSlider, setting::light_brightness, SliderLabel::none),
    setting_slider(kSpeedSlider, setting::breath_speed, SliderLabel::none),
    setting_slider(kSleepTimerSlider, setting::sleep_timer, SliderLabel::sleep_timer),
    setting_slider(kLightOffSlider, setting::light_off_timer, SliderLabel::light_off),
    setting_slider(kDebounceSlider, setting::key_debounce, SliderLabel::key_debounce),
}};

// The DPI sliders: the values a level can be given (an unused level's 0 is not one).
inline constexpr int kDpiSliderMinimum = static_cast<int>(kDpiLevelUnits.min);
inline constexpr int kDpiSliderMaximum = static_cast<int>(kDpiLevelUnits.max);

constexpr bool rows_fit_their_fields() {
  for (const OptionFamily& f : kOptionFamilies) {
    if (f.field == nullptr || f.count < 1) return false;
  }
  for (const SettingSlider& s : kSettingSliders) {
    if (s.field == nullptr || s.minimum > s.maximum) return false;
  }
  return true;
}
static_assert(rows_fit_their_fields(),
              "a row on a field without a member, or options on a field that holds no option index");

// Section check boxes and the body each one opens. The polling-rate box opens one of
// two bodies depending on the link; `scrolls` marks the sections near the end of the
// settings area, which are brought into view when opened.
struct Section {
  std::string_view check;
  std::string_view body;
  bool scrolls;
};
inline constexpr char kRateCheck[] = "ms_1_check_prate";
inline constexpr char kRateBody[] = "ms_1_ver_prate";
inline constexpr char kRateHsBody[] = "ms_1_ver_prate_hs";
inline constexpr std::array<Section, 14> kSections{{
    {"ms_1_check_button", "ms_1_hor_button", false},
    {"ms_1_check_profile", "ms_1_ver_profile", false},
    {"ms_1_check_power", "ms_1_ver_power", false},
    {"ms_1_check_dpi", "ms_1_ver_dpi", false},
    {kLightCheck, kLightBody, false},
    {kRateCheck, kRateBody, false},
    {"ms_1_check_mouse_attribute", "ms_1_ver_mouse_attribute", false},
    {"ms_1_check_power_setting", "ms_1_ver_power_setting", true},
    {"ms_1_check_lift_of_distance", "ms_1_hor_lift_of_distance", true},
    {kDebounceCheck, kDebounceBody, true},
    {"ms_1_check_ripple_control", "ms_1_hor_ripple_control", true},
    {"ms_1_check_angle_snap", "ms_1_hor_angle_snap", true},
    {"ms_1_check_motion_sync", "ms_1_hor_motion_sync", true},
    {"ms_1_check_wakeup", "ms_1_hor_wakeup", true},
}};

const Section* find_section(std::string_view check);

// The option of `family` that stands for the 0-based `value` of its field; empty when
// the value has no option (a damaged or foreign record).
std::string option_for(const OptionFamily& family, int32_t value);

}  // namespace norvane::page_controls
