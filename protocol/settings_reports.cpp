#include "protocol/settings_reports.h"

#include "protocol/setting_encoding.h"
#include "protocol/wire_reports.h"

namespace norvane {

Report build_full_send_opener() {
  FullSendOpenerWire w{};
  w.head = wire_head<FullSendOpenerWire>(kCmdFullSendOpener);
  w.opener[0] = 0xFE;
  w.opener[1] = 0x01;
  w.opener[2] = 0xFE;
  return to_report(w);
}

Report build_dpi_report(const ProfileRecord& p) {
  DpiWire w{};
  w.head = wire_head<DpiWire>(kCmdDpi);
  w.lift_off_distance = encoded<setting::lift_off_distance>(p);
  w.ripple_control = encoded<setting::ripple_control>(p);
  w.angle_snap = encoded<setting::angle_snap>(p);
  w.motion_sync = encoded<setting::motion_sync>(p);
  for (int k = 0; k < kDpiLevels; ++k) {
    const size_t level = static_cast<size_t>(k);
    if (encoded<setting::dpi_enabled>(p, k)) w.level_mask = static_cast<uint8_t>(w.level_mask | (1u << k));
    const WireDpiUnits units = encoded<setting::dpi_value>(p, k);
    w.dpi_low[level] = units.low;
    w.dpi_high[level] = units.high;
    w.dpi_color[level] = encoded<setting::dpi_color>(p, k);
  }
  w.dpi_level = encoded<setting::current_dpi_level>(p);
  w.trailer = 0x01;
  seal(w);
  return to_report(w);
}

Report build_light_report(const ProfileRecord& p) {
  LightWire w{};
  w.head = wire_head<LightWire>(kCmdLight);
  w.mode = encoded<setting::light_mode>(p);
  const WireNibbles sleep = encoded<setting::sleep_timer>(p);
  w.sleep_high_speed = low_byte(sleep.high_in_place | encoded<setting::breath_speed>(p));
  w.sleep_low_brightness = low_byte(sleep.low_moved_up | encoded<setting::light_brightness>(p));
  w.color = encoded<setting::light_color>(p);
  w.light_off_timer = encoded<setting::light_off_timer>(p);
  w.key_debounce = encoded<setting::key_debounce>(p);
  seal(w);
  return to_report(w);
}

Report build_polling_rate_report(const ProfileRecord& p) {
  PollingRateWire w{};
  w.head = wire_head<PollingRateWire>(kCmdPollingRate);
  w.rates = low_byte((encoded<setting::polling_rate_hs>(p) << 4) | encoded<setting::polling_rate>(p));
  w.rates_complement = static_cast<uint8_t>(~w.rates);
  return to_report(w);
}

}  // namespace norvane
