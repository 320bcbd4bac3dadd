#pragma once
// A device notification as the link side sees it: a HID device arrived or left (from
// the udev monitor), or the device tree changed in some other way. Only the arrival
// or removal of the mouse's Bluetooth HID device (bus Bluetooth, 0x045E/0x0009)
// connects or disconnects the Bluetooth LE link.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace norvane {

inline constexpr uint16_t kHidBusBluetooth = 0x0005;

struct HidIdentity {
  uint16_t bus = 0;
  uint16_t vendor_id = 0;
  uint16_t product_id = 0;
};

enum class DeviceChangeKind : uint8_t { nodes_changed, arrival, removal };

struct DeviceChange {
  DeviceChangeKind kind = DeviceChangeKind::nodes_changed;
  std::optional<HidIdentity> hid;  // absent when the device is not a HID device
  std::string name;                // the device's path, for the trace line
};

// Parses udev's HID_ID property, "BBBB:VVVVVVVV:PPPPPPPP" in hexadecimal (either
// letter case). nullopt for anything else or for values that do not fit 16 bits.
std::optional<HidIdentity> parse_udev_hid_id(std::string_view hid_id);

// True for the mouse's Bluetooth HID device.
bool is_ble_mouse(const HidIdentity& id);

}  // namespace norvane
