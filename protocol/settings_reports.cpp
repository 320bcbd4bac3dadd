#include "protocol/settings_reports.h"

#include "protocol/report_sum.h"

namespace norvane {
namespace {

constexpr uint8_t kSettingsMarker = 0x01;

uint8_t low_byte(int64_t value) { return static_cast<uint8_t>(value & 0xFF); }

Report start_report(uint8_t command, size_t length) {
  Report r;
  r.length = length;
  r.bytes[0] = command;
  r.bytes[1] = static_cast<uint8_t>(length);
  r.bytes[2] = kSettingsMarker;
  return r;
}

void seal(Report& r, size_t sum_at) {
  put_sum_high_first(r.bytes, sum_at, report_sum(r.bytes, 3, sum_at - 1));
}

// COLORREF: byte 0 red, byte 1 green, byte 2 blue.
void put_colour(Report& r, size_t at, uint32_t colorref) {
  r.bytes[at] = low_byte(colorref);
  r.bytes[at + 1] = low_byte(colorref >> 8);
  r.bytes[at + 2] = low_byte(colorref >> 16);
}

}  // namespace

Report build_full_send_opener() {
  Report r = start_report(kCmdFullSendOpener, kFullSendOpenerLength);
  r.bytes[3] = 0xFE;
  r.bytes[4] = 0x01;
  r.bytes[5] = 0xFE;
  return r;
}

Report build_dpi_report(const ProfileRecord& p) {
  Report r = start_report(kCmdDpi, kDpiReportLength);
  r.bytes[3] = low_byte(p.lift_off_distance);
  r.bytes[4] = low_byte(p.ripple_control);
  uint8_t enabled_mask = 0;
  for (int k = 0; k < kDpiLevels; ++k) {
    if (p.dpi_enabled[k] == 1) enabled_mask = static_cast<uint8_t>(enabled_mask | (1u << k));
  }
  r.bytes[5] = enabled_mask;
  r.bytes[6] = low_byte(p.angle_snap);
  r.bytes[7] = low_byte(p.motion_sync);
  for (int k = 0; k < kDpiLevels; ++k) {
    // The mouse counts levels from 0 = 50 CPI; an unused level (0) is sent as 0.
    const int64_t device_value = static_cast<int64_t>(p.dpi_value[k]) - 1;
    const int64_t sent = device_value < 0 ? 0 : device_value;
    r.bytes[8 + static_cast<size_t>(k)] = low_byte(sent);
    r.bytes[16 + static_cast<size_t>(k)] = low_byte(sent >> 8);
  }
  r.bytes[24] = low_byte(static_cast<int64_t>(p.current_dpi_level) + 1);
  for (int k = 0; k < kDpiLevels; ++k) put_colour(r, 25 + 3 * static_cast<size_t>(k), p.dpi_color[k]);
  r.bytes[49] = 0x01;
  seal(r, 50);
  return r;
}

Report build_light_report(const ProfileRecord& p) {
  Report r = start_report(kCmdLight, kLightReportLength);
  const uint8_t mode = low_byte(p.light_mode);
  const uint8_t sleep = low_byte(p.sleep_timer);
  // Brightness only counts in the modes that show it; the others send the middle value.
  const uint8_t brightness = (mode == 1 || mode == 5) ? low_byte(p.light_brightness) : 8;
  r.bytes[3] = low_byte(mode << 4);
  // The speed travels inverted; the sleep timer is split over the high nibbles of 4 and 5.
  r.bytes[4] = low_byte((sleep & 0xF0) | low_byte(9 - low_byte(p.breath_speed)));
  r.bytes[5] = low_byte(((sleep & 0x0F) << 4) | brightness);
  put_colour(r, 6, p.light_color);
  r.bytes[9] = low_byte(p.light_off_timer);
  r.bytes[10] = low_byte(p.key_debounce);
  seal(r, 11);
  return r;
}

Report build_polling_rate_report(const ProfileRecord& p) {
  Report r = start_report(kCmdPollingRate, kPollingRateReportLength);
  // Both rates travel as option index + 1, one per nibble, followed by their complement.
  const uint8_t rates = low_byte((low_byte(static_cast<int64_t>(p.polling_rate_hs) + 1) << 4) |
                                 low_byte(static_cast<int64_t>(p.polling_rate) + 1));
  r.bytes[3] = rates;
  r.bytes[4] = static_cast<uint8_t>(~rates);
  return r;
}

}  // namespace norvane
