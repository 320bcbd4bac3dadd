#pragma once
// The mouse's settings and macro memory, as its firmware keeps them. A report
// changes them only when it is whole and valid: command, length byte, byte 2,
// checksum and check bytes are all verified first, and a refused report
// changes nothing.

#include <cstddef>
#include <cstdint>

#include "drivers/virtual/macro_memory.h"
#include "drivers/virtual/virtual_mouse_control.h"

namespace norvane::vmouse {

// Commands the mouse knows.
inline constexpr uint8_t kCmdDpi = 0x04;
inline constexpr uint8_t kCmdLight = 0x05;
inline constexpr uint8_t kCmdRate = 0x06;
inline constexpr uint8_t kCmdButtons = 0x08;
inline constexpr uint8_t kCmdMacro = 0x09;
inline constexpr uint8_t kCmdOpener = 0x0C;

// Length of each command's report, or 0 for an unknown command.
size_t report_length(uint8_t command);

// What the mouse made of one transfer.
struct Verdict {
  int outcome = VM_FRAME_REJECTED;  // VM_FRAME_ACCEPTED, VM_FRAME_PART or VM_FRAME_REJECTED
  int reason = -1;                  // VM_REJECT_* when rejected
  uint8_t command = 0;              // command of an accepted report
  bool abandoned_chunk = false;     // this transfer ended a half-received macro chunk

  static Verdict accepted(uint8_t command) { return {VM_FRAME_ACCEPTED, -1, command, false}; }
  static Verdict part() { return {VM_FRAME_PART, -1, 0, false}; }
  static Verdict rejected(int reason) { return {VM_FRAME_REJECTED, reason, 0, false}; }
};

// 16-bit sum of bytes first..last, as the mouse checks it.
uint16_t byte_sum(const uint8_t* bytes, size_t first, size_t last);
// Reads a 16-bit value stored high byte first.
uint16_t high_first(const uint8_t* bytes);

class FirmwareModel {
 public:
  FirmwareModel() { reset(); }
  // Factory settings and empty macro memory.
  void reset();

  // One whole, unframed report. Checked and applied, or refused unchanged.
  Verdict apply_report(const uint8_t* report, size_t length);

  // The settings part of VmMouseState (link and power fields are not kept here).
  const VmMouseState& settings() const { return settings_; }
  VmMouseState& settings() { return settings_; }
  const MacroMemory& macros() const { return macros_; }

 private:
  void apply_dpi(const uint8_t* r);
  void apply_light(const uint8_t* r);
  void apply_rate(const uint8_t* r);
  void apply_buttons(const uint8_t* r);

  VmMouseState settings_{};
  MacroMemory macros_;
};

}  // namespace norvane::vmouse
