#pragma once
// Whether the mouse is connected over Bluetooth LE at start-up: a HID device with
// vendor 0x045E and product 0x0009 is present on the Bluetooth bus (the udev
// notices test the bus the same way; over USB the same identifiers are another
// device).

#include <cstdint>
#include <functional>
#include <memory>

#include "drivers/mouse_ids.h"

struct hid_device_info;

namespace norvane {

// The mouse's identity as a Bluetooth HID device.
inline constexpr int kBleVendorId = mouse_ids::kBleVendor;
inline constexpr int kBleProductId = mouse_ids::kBleProduct;

class BlePresenceProbe {
 public:
  virtual ~BlePresenceProbe() = default;
  virtual bool mouse_present() = 0;
};

// The real probe over hidapi (init, enumerate the vendor/product, free the list).
// False when hidapi cannot be initialised.
std::unique_ptr<BlePresenceProbe> make_hidapi_ble_presence_probe();

// The HID bus of an enumerated device (0x0005 Bluetooth), 0 when unknown.
using HidBusOf = std::function<uint16_t(const hid_device_info& device)>;

// True when `list` (a hidapi enumeration) holds the mouse on the Bluetooth bus.
bool lists_ble_mouse(const hid_device_info* list, const HidBusOf& bus_of);

// The bus as hidapi reports it (0.13 and later), else from the hidraw node's
// sysfs uevent (HID_ID).
uint16_t hidapi_bus_of(const hid_device_info& device);

}  // namespace norvane
