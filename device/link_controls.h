#pragma once
// Names of the page controls the link side drives.

#include <string>

namespace norvane::link_controls {

inline constexpr char kWiredIcon[] = "ms_1_wired";
inline constexpr char kWirelessIcon[] = "ms_1_wireless";
inline constexpr char kWireless8kIcon[] = "ms_1_wireless_8k";
inline constexpr char kBleIcon[] = "ms_1_BLE";
inline constexpr char kSleepLabel[] = "ms_1_sleep_label";
inline constexpr char kPowerLabel[] = "ms_1_label_power";
inline constexpr char kPowerProgress[] = "ms_1_progress_power";

inline constexpr char kLightCheck[] = "ms_1_check_light";
inline constexpr char kLightBody[] = "ms_1_ver_light";
inline constexpr char kRateCheck[] = "ms_1_check_prate";
inline constexpr char kRateBody[] = "ms_1_ver_prate";
inline constexpr char kRateHsBody[] = "ms_1_ver_prate_hs";
inline constexpr char kDebounceCheck[] = "ms_1_check_key_debounce";
inline constexpr char kDebounceBody[] = "ms_1_hor_key_debounce";
inline constexpr char kLightCombo[] = "ms_1_combo_light";

inline constexpr char kChargingTextKey[] = "charging_text";

// ms_1_option_dpi_step_1..8
inline std::string dpi_level_option(int level) { return "ms_1_option_dpi_step_" + std::to_string(level); }
// ms_1_btn_prate_1..4
inline std::string rate_option(int n) { return "ms_1_btn_prate_" + std::to_string(n); }
// ms_1_btn_prate_hs_1..7
inline std::string rate_hs_option(int n) { return "ms_1_btn_prate_hs_" + std::to_string(n); }

}  // namespace norvane::link_controls
