// Feeds arbitrary bytes to everything that reads what the mouse sends on its own: the
// input reports a driver library's reader gets from a hidraw node (bare event reports
// on the cable and the 2.4 GHz receiver, framed ones on the 8 kHz receiver), the
// notifications of the Bluetooth LE event characteristic, and the report descriptors
// the nodes are chosen from. Byte 0 picks which; the rest is the report.
//
// Whatever arrives, nothing may crash, and an event that decodes carries only values
// the page can show: a DPI level 1..8, rate options inside their lists, a light mode
// the mouse has, a saved-setting code 1..5.

#include <cstdint>
#include <span>
#include <variant>

#include "core/light_mode.h"
#include "core/polling_rate.h"
#include "core/profile_record.h"
#include "device/ble_notification.h"
#include "drivers/hidapi/hid_roles.h"
#include "drivers/hidapi/report_descriptor.h"
#include "protocol/device_events.h"

using namespace norvane;

namespace {

#define NORVANE_FUZZ_CHECK(condition) \
  do {                                \
    if (!(condition)) __builtin_trap(); \
  } while (0)

void check_event(EventSource source, uint16_t code, uint16_t value) {
  const std::optional<DeviceEvent> event = decode_device_event(source, code, value);
  if (!event) return;
  NORVANE_FUZZ_CHECK((code & 0xFF) == kDeviceEventTag);
  if (const auto* dpi = std::get_if<DpiLevelChanged>(&*event)) {
    NORVANE_FUZZ_CHECK(dpi->level >= 1 && dpi->level <= kDpiLevels);
  } else if (const auto* rate = std::get_if<PollingRateChanged>(&*event)) {
    NORVANE_FUZZ_CHECK(rate->rate || rate->rate_hs);
    NORVANE_FUZZ_CHECK(!rate->rate || (*rate->rate >= 0 && *rate->rate < kPollingRateCount));
    NORVANE_FUZZ_CHECK(!rate->rate_hs || (*rate->rate_hs >= 0 && *rate->rate_hs < kPollingRateHsCount));
    // The 8 kHz receiver reports only the high-speed rate, Bluetooth LE only the other.
    NORVANE_FUZZ_CHECK(source != EventSource::library_8k || !rate->rate);
    NORVANE_FUZZ_CHECK(source != EventSource::ble || !rate->rate_hs);
  } else if (const auto* light = std::get_if<LightingModeChanged>(&*event)) {
    NORVANE_FUZZ_CHECK(light->mode >= 0 && light->mode < kLightModeCount);
  } else if (const auto* saved = std::get_if<SettingsSaved>(&*event)) {
    NORVANE_FUZZ_CHECK(saved->what >= 1 && saved->what <= 5);
  }
}

// What a reader does with one input report: an event report, bare or framed, goes on
// to the decoder as bytes 0..1 (code) and 2..3 (value).
void read_report(EventSource source, std::span<const uint8_t> report) {
  const hiddriver::InputReading reading = hiddriver::read_input_report(report);
  if (reading.shape != hiddriver::InputReading::bare_event && reading.shape != hiddriver::InputReading::framed_event)
    return;
  NORVANE_FUZZ_CHECK(reading.event[0] == hiddriver::kEventReportId);
  check_event(source, static_cast<uint16_t>(reading.event[0] | reading.event[1] << 8),
              static_cast<uint16_t>(reading.event[2] | reading.event[3] << 8));
}

void read_descriptor(std::span<const uint8_t> bytes) {
  const hiddriver::DescriptorParse parse = hiddriver::parse_report_descriptor(bytes);
  NORVANE_FUZZ_CHECK(parse.descriptor.has_value() != !parse.error.empty());
  if (!parse.descriptor) return;
  hiddriver::HidNode node{"/dev/hidraw0", 0, parse.descriptor, {}};
  const hiddriver::NodeRoles roles = hiddriver::choose_roles(std::span<const hiddriver::HidNode>(&node, 1));
  (void)hiddriver::describe_roles(std::span<const hiddriver::HidNode>(&node, 1), roles);
  // A settings report the program built, put into the shape this node expects.
  const uint8_t settings[] = {0x05, 0x01, 0x02, 0x03};
  const hiddriver::FramedReport framed =
      hiddriver::frame_report(*parse.descriptor, hiddriver::ReportKind::feature, settings);
  if (framed.ok()) NORVANE_FUZZ_CHECK(framed.bytes.size() >= sizeof(settings));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::span<const uint8_t> rest(data + 1, size - 1);
  switch (data[0] % 4) {
    case 0:
      read_report(EventSource::library, rest);
      break;
    case 1:
      read_report(EventSource::library_8k, rest);
      break;
    case 2:
      if (const auto event = device_event_from_notification(rest)) check_event(EventSource::ble, event->code, event->value);
      break;
    case 3:
      read_descriptor(rest);
      break;
  }
  return 0;
}
