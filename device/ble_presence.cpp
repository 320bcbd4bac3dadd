#include "device/ble_presence.h"

#include <hidapi.h>

#include <cstring>
#include <fstream>
#include <string>

#include "core/trace.h"
#include "device/device_change.h"

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
    const bool present = lists_ble_mouse(devices, hidapi_bus_of);
    if (devices != nullptr && !present) trace("0x045E/0x0009 is listed, but not on the Bluetooth bus\r\n");
    hid_free_enumeration(devices);
    return present;
  }
};

// HID_ID of /sys/class/hidraw/<node>/device/uevent for a hidraw path "/dev/hidrawN".
uint16_t bus_from_sysfs(const char* path) {
  if (path == nullptr) return 0;
  const char* slash = std::strrchr(path, '/');
  const std::string node = slash != nullptr ? slash + 1 : path;
  if (node.rfind("hidraw", 0) != 0) return 0;
  std::ifstream uevent("/sys/class/hidraw/" + node + "/device/uevent");
  std::string line;
  while (std::getline(uevent, line)) {
    if (line.rfind("HID_ID=", 0) != 0) continue;
    const std::optional<HidIdentity> id = parse_udev_hid_id(std::string_view(line).substr(7));
    return id ? id->bus : 0;
  }
  return 0;
}

}  // namespace

bool lists_ble_mouse(const hid_device_info* list, const HidBusOf& bus_of) {
  for (const hid_device_info* device = list; device != nullptr; device = device->next) {
    if (device->vendor_id == kBleVendorId && device->product_id == kBleProductId &&
        bus_of(*device) == kHidBusBluetooth) {
      return true;
    }
  }
  return false;
}

uint16_t hidapi_bus_of(const hid_device_info& device) {
#if defined(HID_API_VERSION) && HID_API_VERSION >= HID_API_MAKE_VERSION(0, 13, 0)
  if (device.bus_type == HID_API_BUS_BLUETOOTH) return kHidBusBluetooth;
  if (device.bus_type != HID_API_BUS_UNKNOWN) return 0;
#endif
  return bus_from_sysfs(device.path);
}

std::unique_ptr<BlePresenceProbe> make_hidapi_ble_presence_probe() {
  return std::make_unique<HidapiBlePresenceProbe>();
}

}  // namespace norvane
