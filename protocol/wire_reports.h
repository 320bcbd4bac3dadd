#pragma once
// The reports as the mouse reads them: one struct per command with every offset
// asserted. The fields are single bytes, so the structs have no padding; multi-byte
// values are split into bytes explicitly, in the order the mouse expects. Builders fill
// a struct from the record, seal it with its sum and copy it into a Report.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "buttons/button_function_table.h"
#include "core/profile_record.h"
#include "protocol/report.h"
#include "protocol/report_sum.h"

namespace norvane {

// The low 8 bits, the way the mouse reads every value that does not fit its byte.
constexpr uint8_t low_byte(int64_t value) { return static_cast<uint8_t>(value & 0xFF); }

// Byte 2 of the settings and button reports.
inline constexpr uint8_t kSettingsMarker = 0x01;

// Bytes 0..2 of every report: command, total length, and 0x01 or a macro chunk's block.
struct WireHead {
  uint8_t command;
  uint8_t length;
  uint8_t marker;
};

// A report sum, high byte first.
struct WireSum {
  uint8_t high;
  uint8_t low;
};

// A colour as red, green, blue (COLORREF bytes 0, 1, 2).
struct WireRgb {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};

// 0x0C, no sum: announces that every section follows.
struct FullSendOpenerWire {
  WireHead head;
  uint8_t opener[3];  // 0xFE, 0x01, 0xFE
  uint8_t zero[4];
};
static_assert(sizeof(FullSendOpenerWire) == kFullSendOpenerLength);
static_assert(offsetof(FullSendOpenerWire, opener) == 3);

// 0x04: DPI levels and sensor options.
struct DpiWire {
  WireHead head;
  uint8_t lift_off_distance;
  uint8_t ripple_control;
  uint8_t level_mask;            // bit k: level k enabled
  uint8_t angle_snap;
  uint8_t motion_sync;
  uint8_t dpi_low[kDpiLevels];   // bits 0..7 of each level's DPI units - 1
  uint8_t dpi_high[kDpiLevels];  // bits 8..15
  uint8_t dpi_level;             // 1-based
  WireRgb dpi_color[kDpiLevels];
  uint8_t trailer;               // 0x01
  WireSum sum;                   // of bytes 3..49
  uint8_t zero[4];
};
static_assert(sizeof(DpiWire) == kDpiReportLength);
static_assert(offsetof(DpiWire, lift_off_distance) == 3);
static_assert(offsetof(DpiWire, ripple_control) == 4);
static_assert(offsetof(DpiWire, level_mask) == 5);
static_assert(offsetof(DpiWire, angle_snap) == 6);
static_assert(offsetof(DpiWire, motion_sync) == 7);
static_assert(offsetof(DpiWire, dpi_low) == 8);
static_assert(offsetof(DpiWire, dpi_high) == 16);
static_assert(offsetof(DpiWire, dpi_level) == 24);
static_assert(offsetof(DpiWire, dpi_color) == 25);
static_assert(offsetof(DpiWire, trailer) == 49);
static_assert(offsetof(DpiWire, sum) == 50);

// 0x05: lighting and power.
struct LightWire {
  WireHead head;
  uint8_t mode;                  // in the high nibble
  uint8_t sleep_high_speed;      // sleep timer's high nibble | inverted speed
  uint8_t sleep_low_brightness;  // sleep timer's low nibble, moved up | brightness
  WireRgb color;
  uint8_t light_off_timer;
  uint8_t key_debounce;
  WireSum sum;                   // of bytes 3..10
  uint8_t zero[2];
};
static_assert(sizeof(LightWire) == kLightReportLength);
static_assert(offsetof(LightWire, mode) == 3);
static_assert(offsetof(LightWire, sleep_high_speed) == 4);
static_assert(offsetof(LightWire, sleep_low_brightness) == 5);
static_assert(offsetof(LightWire, color) == 6);
static_assert(offsetof(LightWire, light_off_timer) == 9);
static_assert(offsetof(LightWire, key_debounce) == 10);
static_assert(offsetof(LightWire, sum) == 11);

// 0x06, no sum: both polling rates.
struct PollingRateWire {
  WireHead head;
  uint8_t rates;             // high nibble: the 8 kHz receiver's option, low nibble: the other links'
  uint8_t rates_complement;  // bitwise NOT of `rates`
  uint8_t zero[4];
};
static_assert(sizeof(PollingRateWire) == kPollingRateReportLength);
static_assert(offsetof(PollingRateWire, rates) == 3);
static_assert(offsetof(PollingRateWire, rates_complement) == 4);

// 0x08: the three device bytes of each button.
struct ButtonMappingWire {
  WireHead head;
  DeviceBytes buttons[kMouseButtons];
  WireSum sum;  // of bytes 3..56
};
static_assert(sizeof(DeviceBytes) == 3);
static_assert(sizeof(ButtonMappingWire) == kButtonMappingReportLength);
static_assert(offsetof(ButtonMappingWire, buttons) == 3);
static_assert(offsetof(ButtonMappingWire, sum) == 57);

// 0x09: one memory block of a button's macro; the head's marker is the block number.
// Only the first chunk of a macro carries mode, extra bytes and repeat count.
struct MacroChunkWire {
  WireHead head;
  uint8_t mode;
  uint8_t header_extra[3];
  uint8_t repeat;
  uint8_t units;         // 2-byte units used in `entries`
  uint8_t entries[100];  // encoded events, then a link entry when the macro goes on
  WireSum sum;           // of bytes 3..108
};
static_assert(sizeof(MacroChunkWire) == kMacroChunkLength);
static_assert(offsetof(MacroChunkWire, mode) == 3);
static_assert(offsetof(MacroChunkWire, header_extra) == 4);
static_assert(offsetof(MacroChunkWire, repeat) == 7);
static_assert(offsetof(MacroChunkWire, units) == 8);
static_assert(offsetof(MacroChunkWire, entries) == 9);
static_assert(offsetof(MacroChunkWire, sum) == 109);

// A head naming the struct's own size as the length.
template <typename Wire>
constexpr WireHead wire_head(uint8_t command, uint8_t marker = kSettingsMarker) {
  static_assert(sizeof(Wire) <= 0xFF);
  return {command, static_cast<uint8_t>(sizeof(Wire)), marker};
}

// Stores the report sum of the bytes between the head and the sum.
template <typename Wire>
void seal(Wire& wire) {
  constexpr size_t sum_at = offsetof(Wire, sum);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&wire);
  const uint16_t sum = report_sum(std::span<const uint8_t>(bytes, sizeof wire), sizeof(WireHead), sum_at - 1);
  wire.sum = {static_cast<uint8_t>(sum >> 8), static_cast<uint8_t>(sum & 0xFF)};
}

template <typename Wire>
Report to_report(const Wire& wire) {
  static_assert(sizeof(Wire) <= kMaxReportLength);
  static_assert(alignof(Wire) == 1, "a wire struct has byte fields only");
  Report report;
  std::memcpy(report.bytes.data(), &wire, sizeof wire);
  report.length = sizeof wire;
  return report;
}

}  // namespace norvane
