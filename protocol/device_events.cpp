#include "protocol/device_events.h"

#include "core/light_mode.h"
#include "core/polling_rate.h"
#include "core/profile_record.h"
#include "core/trace.h"

namespace norvane {
namespace {

constexpr uint8_t kBatteryFull = 2;
constexpr uint8_t kBatteryCharging = 3;

std::optional<DeviceEvent> dpi_level(uint16_t value) {
  if (value < 1 || value > kDpiLevels) return std::nullopt;
  return DpiLevelChanged{value};
}

// Low nibble: rate option 1..4; high nibble: high-speed rate option 1..7 (1-based, as the
// polling-rate report sends them).
std::optional<DeviceEvent> polling_rate(EventSource source, uint16_t value) {
  const int low = value & 0xF;
  const int high = (value >> 4) & 0xF;
  PollingRateChanged event;
  if (source != EventSource::library_8k && low >= 1 && low <= kPollingRateCount) event.rate = low - 1;
  if (source != EventSource::ble && high >= 1 && high <= kPollingRateHsCount) event.rate_hs = high - 1;
  if (!event.rate && !event.rate_hs) {
    trace("polling-rate event %#06x out of range, ignored\n", value);
    return std::nullopt;
  }
  return event;
}

std::optional<DeviceEvent> battery(uint16_t value) {
  const uint8_t status = static_cast<uint8_t>(value & 0xFF);
  const uint8_t level = static_cast<uint8_t>(value >> 8);
  BatteryStatus s = BatteryStatus::discharging;
  if (status == kBatteryFull) s = BatteryStatus::full;
  if (status == kBatteryCharging) s = BatteryStatus::charging;
  return BatteryReport{s, level};
}

std::optional<DeviceEvent> lighting_mode(uint16_t value) {
  const int mode = (value >> 4) & 0xF;
  if (mode >= kLightModeCount) {
    trace("lighting-mode event with mode %d ignored\n", mode);
    return std::nullopt;
  }
  return LightingModeChanged{mode};
}

}  // namespace

std::optional<DeviceEvent> decode_device_event(EventSource source, uint16_t code, uint16_t value) {
  if ((code & 0xFF) != kDeviceEventTag) return std::nullopt;
  switch (code & 0xFF00) {
    case kEventDpiLevel:
      return dpi_level(value);
    case kEventPollingRate:
      return polling_rate(source, value);
    case kEventBattery:
      return battery(value);
    case kEventAcknowledge:
      // The low byte is the mouse's verdict: 0 means it took the report.
      return Acknowledgement{(value & 0xFF) == 0};
    case kEventLightingMode:
      return lighting_mode(value);
    case kEventSettingsChanged:
      if (value >= 1 && value <= 5) return SettingsSaved{value};
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace norvane
