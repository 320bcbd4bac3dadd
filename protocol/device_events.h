#pragma once
// The reports the mouse sends on its own, decoded into typed events: byte 0 0x09,
// byte 1 the event class, bytes 2..3 the value. A report that is not an event, or
// whose value is out of range for its class, decodes to nothing (with a trace line
// where the class is known), so callers never see a level or mode the mouse cannot
// have.

#include <cstdint>
#include <optional>
#include <variant>

namespace norvane {

// Where a device event came from. The cable and the 2.4 GHz receiver share one
// library source; the 8 kHz receiver reports only the high-speed rate, Bluetooth LE
// only the other.
enum class EventSource : uint8_t { library, library_8k, ble };

// Report bytes 0..1 as one value: low byte 0x09, high byte the event class.
inline constexpr uint16_t kDeviceEventTag = 0x09;
inline constexpr uint16_t kEventDpiLevel = 0x1000;
inline constexpr uint16_t kEventPollingRate = 0x2000;
inline constexpr uint16_t kEventBattery = 0x4000;
inline constexpr uint16_t kEventAcknowledge = 0x5000;
inline constexpr uint16_t kEventLightingMode = 0x7000;
inline constexpr uint16_t kEventSettingsChanged = 0x8000;

// The user pressed the DPI button: `level` is 1..8.
struct DpiLevelChanged {
  int level;
};

// The polling rate changed on the mouse: each option index is 0-based, and present
// only when the report carried a valid value for it from a source that reports it.
struct PollingRateChanged {
  std::optional<int> rate;     // 0..3
  std::optional<int> rate_hs;  // 0..6
};

enum class BatteryStatus : uint8_t { discharging, full, charging };

// `level` is the report's byte as sent; callers show it only when it is 1..100.
struct BatteryReport {
  BatteryStatus status;
  uint8_t level;
};

// A 2.4 GHz acknowledgement: the mouse took the last report.
struct Acknowledgement {
  bool accepted;
};

struct LightingModeChanged {
  int mode;  // 0..kLightModeCount-1
};

// The mouse saved a setting of its own (values 1..5).
struct SettingsSaved {
  int what;
};

using DeviceEvent =
    std::variant<DpiLevelChanged, PollingRateChanged, BatteryReport, Acknowledgement, LightingModeChanged, SettingsSaved>;

// `code` is report bytes 0..1 (byte 0 low), `value` bytes 2..3 (byte 2 low).
std::optional<DeviceEvent> decode_device_event(EventSource source, uint16_t code, uint16_t value);

}  // namespace norvane
