#pragma once
// A notification of the mouse's event characteristic carries one device event in its
// first four bytes: code = bytes 0 (low) and 1 (high), value = bytes 2 (low) and 3
// (high), the same layout as the event reports of the library links. No Qt.

#include <cstdint>
#include <optional>
#include <span>

namespace norvane {

struct BleDeviceEvent {
  uint16_t code = 0;
  uint16_t value = 0;
  friend bool operator==(const BleDeviceEvent&, const BleDeviceEvent&) = default;
};

// The event in `bytes`, or nothing when fewer than four bytes arrived. Bytes after
// the fourth are not part of the event.
inline std::optional<BleDeviceEvent> device_event_from_notification(std::span<const uint8_t> bytes) {
  if (bytes.size() < 4) return std::nullopt;
  return BleDeviceEvent{static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)),
                        static_cast<uint16_t>(bytes[2] | (bytes[3] << 8))};
}

}  // namespace norvane
