#include "device/ble_presence.h"

#include <hidapi.h>

#include "core/trace.h"


namespace norvane {
namespace {

class HidapiBlePresenceProbe final : public BlePresenceProbe {
 public:
  bool mouse_present() override {
    // hid_exit is deliberately not called: the hidapi driver libraries run in this
    // process too and share hidapi's global state.
    if (hid_init() != 0) {
      trace("hid_init failed\r\n");
      return false;
    }
    hid_device_info* devices = hid_enumerate(kBleVendorId, kBleProductId);
    const bool present = devices != nullptr;
    hid_free_enumeration(devices);
    return present;
  }
};

}  // namespace

std::unique_ptr<BlePresenceProbe> make_hidapi_ble_presence_probe() {
  return std::make_unique<HidapiBlePresenceProbe>();
}

}  // namespace norvane
