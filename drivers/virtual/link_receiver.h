#pragma once
// How each link delivers reports to the mouse, undone: the cable's and the
// 2.4 GHz receiver's feature transfers (plain reports, or a macro chunk split
// into 64-byte parts), the 8 kHz receiver's 65-byte frames, and whole reports
// over Bluetooth LE. A receiver holds the parts of one macro chunk until the
// last one arrives; only then does the chunk reach the firmware model.

#include <array>
#include <cstddef>
#include <cstdint>

#include "drivers/virtual/firmware_model.h"

namespace norvane::vmouse {

class LinkReceiver {
 public:
  explicit LinkReceiver(int link) : link_(link) {}

  // One transfer on this receiver's link.
  Verdict receive(FirmwareModel& model, const uint8_t* data, size_t length);
  // Drops a half-received chunk; true when there was one.
  bool forget_partial();

 private:
  Verdict receive_feature(FirmwareModel& model, const uint8_t* data, size_t length);
  Verdict receive_macro_part(FirmwareModel& model, const uint8_t* data, size_t length);
  Verdict receive_8k_frame(FirmwareModel& model, const uint8_t* data, size_t length);
  Verdict receive_ble(FirmwareModel& model, const uint8_t* data, size_t length);
  // Drops the held chunk because this transfer does not continue it.
  void abandon();

  int link_;
  bool pending_ = false;      // parts of a chunk have arrived, not yet all
  uint8_t pending_block_ = 0;
  int next_part_ = 0;
  bool abandoned_ = false;    // the current transfer abandoned a held chunk
  std::array<uint8_t, kChunkBytes> chunk_{};
};

}  // namespace norvane::vmouse
