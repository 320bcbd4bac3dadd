#include "drivers/virtual/firmware_model.h"

#include <cstring>

namespace norvane::vmouse {

namespace {

// Where each summed report keeps its checksum: bytes 3..sum_at-1 are summed,
// the sum sits at sum_at (high) and sum_at + 1 (low).
size_t sum_position(uint8_t command) {
  switch (command) {
    case kCmdDpi: return 50;
    case kCmdLight: return 11;
    case kCmdButtons: return 57;
    case kCmdMacro: return 109;
    default: return 0;  // 0x06 and 0x0C carry no sum
  }
}

constexpr int kMacroMaxUnits = kEntryAreaBytes / 2;

void set_color(uint8_t* rgb, uint8_t r, uint8_t g, uint8_t b) {
  rgb[0] = r;
  rgb[1] = g;
  rgb[2] = b;
}

}  // namespace

size_t report_length(uint8_t command) {
  switch (command) {
    case kCmdDpi: return 56;
    case kCmdLight: return 15;
    case kCmdRate: return 9;
    case kCmdButtons: return 59;
    case kCmdMacro: return 111;
    case kCmdOpener: return 10;
    default: return 0;
  }
}

uint16_t byte_sum(const uint8_t* bytes, size_t first, size_t last) {
  uint16_t sum = 0;
  for (size_t i = first; i <= last; ++i) sum = static_cast<uint16_t>(sum + bytes[i]);
  return sum;
}

uint16_t high_first(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
}

void FirmwareModel::reset() {
  settings_ = VmMouseState{};
  macros_.clear();
  VmMouseState& s = settings_;
  // Factory settings: four levels of 400, 800, 1,600 and 3,200 CPI enabled,
  // the second one active, eight more values stored behind them.
  const uint16_t factory_units[8] = {8, 16, 32, 64, 96, 128, 256, 520};
  for (int k = 0; k < 8; ++k) s.dpi_wire[k] = static_cast<uint16_t>(factory_units[k] - 1);
  s.dpi_level_mask = 0x0F;
  s.current_level = 1;
  set_color(s.dpi_colors[0], 0xFF, 0x00, 0x00);
  set_color(s.dpi_colors[1], 0x00, 0xFF, 0x00);
  set_color(s.dpi_colors[2], 0x00, 0x00, 0xFF);
  set_color(s.dpi_colors[3], 0xFF, 0xFF, 0x00);
  set_color(s.dpi_colors[4], 0x00, 0xFF, 0xFF);
  set_color(s.dpi_colors[5], 0xFF, 0x00, 0xFF);
  set_color(s.dpi_colors[6], 0xFF, 0xFF, 0xFF);
  set_color(s.dpi_colors[7], 0xFF, 0x80, 0x00);
  s.lift_off = 1;
  s.light_mode = 1;
  s.light_speed = 5;
  s.light_brightness = 10;
  set_color(s.light_color, 0xFF, 0xFF, 0xFF);
  s.sleep_timer = 0x05;
  s.light_off_timer = 0;
  s.key_debounce = 8;
  s.polling_rate = 3;
  s.polling_rate_hs = 0;
}

Verdict FirmwareModel::apply_report(const uint8_t* r, size_t length) {
  if (length < 3) return Verdict::rejected(VM_REJECT_LENGTH);
  const uint8_t command = r[0];
  const size_t expected = report_length(command);
  if (expected == 0) return Verdict::rejected(VM_REJECT_COMMAND);
  if (length != expected || r[1] != expected) return Verdict::rejected(VM_REJECT_LENGTH);
  // Settings commands carry 0x01 in byte 2; a macro chunk carries its block there.
  if (command != kCmdMacro && r[2] != 0x01) return Verdict::rejected(VM_REJECT_HEADER);

  if (const size_t at = sum_position(command); at != 0) {
    if (byte_sum(r, 3, at - 1) != high_first(r + at)) return Verdict::rejected(VM_REJECT_REPORT_SUM);
  }
  if (command == kCmdRate && r[4] != static_cast<uint8_t>(~r[3])) {
    return Verdict::rejected(VM_REJECT_RATE_CHECK);
  }
  if (command == kCmdMacro && r[8] > kMacroMaxUnits) return Verdict::rejected(VM_REJECT_MACRO_UNITS);

  switch (command) {
    case kCmdDpi:
      apply_dpi(r);
      ++settings_.accepted_dpi;
      break;
    case kCmdLight:
      apply_light(r);
      ++settings_.accepted_light;
      break;
    case kCmdRate:
      apply_rate(r);
      ++settings_.accepted_rate;
      break;
    case kCmdButtons:
      apply_buttons(r);
      ++settings_.accepted_buttons;
      break;
    case kCmdMacro:
      macros_.store(r);
      ++settings_.accepted_macro_chunks;
      break;
    case kCmdOpener:
      ++settings_.accepted_opener;
      break;
  }
  return Verdict::accepted(command);
}

void FirmwareModel::apply_dpi(const uint8_t* r) {
  VmMouseState& s = settings_;
  s.lift_off = r[3];
  s.ripple = r[4];
  s.dpi_level_mask = r[5];
  s.angle_snap = r[6];
  s.motion_sync = r[7];
  for (int k = 0; k < 8; ++k) s.dpi_wire[k] = static_cast<uint16_t>(r[8 + k] | r[16 + k] << 8);
  s.current_level = static_cast<int16_t>(r[24] - 1);
  for (int k = 0; k < 8; ++k) std::memcpy(s.dpi_colors[k], r + 25 + 3 * k, 3);
}

void FirmwareModel::apply_light(const uint8_t* r) {
  VmMouseState& s = settings_;
  s.light_mode = static_cast<uint8_t>(r[3] >> 4);
  // The speed travels inverted (9 - speed) in the low nibble of byte 4.
  s.light_speed = static_cast<int8_t>(9 - (r[4] & 0x0F));
  s.light_brightness = static_cast<uint8_t>(r[5] & 0x0F);
  // The sleep timer's high nibble rides in byte 4, its low nibble in byte 5.
  s.sleep_timer = static_cast<uint8_t>((r[4] & 0xF0) | (r[5] >> 4));
  std::memcpy(s.light_color, r + 6, 3);
  s.light_off_timer = r[9];
  s.key_debounce = r[10];
}

void FirmwareModel::apply_rate(const uint8_t* r) {
  settings_.polling_rate = static_cast<int8_t>((r[3] & 0x0F) - 1);
  settings_.polling_rate_hs = static_cast<int8_t>((r[3] >> 4) - 1);
}

void FirmwareModel::apply_buttons(const uint8_t* r) {
  for (int k = 0; k < 18; ++k) std::memcpy(settings_.buttons[k], r + 3 + 3 * k, 3);
}

}  // namespace norvane::vmouse
