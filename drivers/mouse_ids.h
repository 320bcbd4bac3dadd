#pragma once
// The mouse's identities, written once: the USB vendor and product of the cable and
// the two receivers (what the driver libraries open and the udev rule grants access
// to; a test holds the rule to these), and the HID identity the mouse has as a
// Bluetooth LE device.

namespace norvane::mouse_ids {

inline constexpr int kUsbVendor = 0x1D57;
inline constexpr int kCableProduct = 0x2127;
inline constexpr int kReceiverProduct = 0xFA60;
inline constexpr int kReceiver8kProduct = 0xFA65;

inline constexpr int kBleVendor = 0x045E;
inline constexpr int kBleProduct = 0x0009;

}  // namespace norvane::mouse_ids
