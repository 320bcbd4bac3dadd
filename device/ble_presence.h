#pragma once
// Whether the mouse is connected over Bluetooth LE at start-up: a HID device with
// vendor 0x045E and product 0x0009 is present.

#include <memory>

#include "drivers/mouse_ids.h"

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

}  // namespace norvane
