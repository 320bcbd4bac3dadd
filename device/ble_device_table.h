#pragma once
// The addresses of the connected Bluetooth devices, refilled when the link registers
// for notifications and read by every write. Registration runs on the UI thread and
// writes on the worker thread, so every access takes the table's lock. No Qt.

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "device/ble_gatt_objects.h"
#include "device/ble_identifiers.h"

namespace norvane {

inline constexpr size_t kBleDeviceTableCapacity = 1000;

class BleDeviceTable {
 public:
  // Replaces the entries with the addresses of the connected devices among `devices`,
  // in order, and stops at the table's capacity. Returns the new count.
  size_t refill(const std::vector<GattDevice>& devices);

  void clear();
  size_t count() const;

  // Whether `address` is in the table (letter case ignored). An empty address is
  // never in it: it cannot tell one device from another.
  bool contains(std::string_view address) const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> addresses_;  // upper case
};

// Whether `device` is the mouse the link looks for: connected, its modalias names the
// target's vendor and product, and its address is in the table.
bool is_target_device(const GattDevice& device, const VendorProduct& target,
                      const BleDeviceTable& table);

}  // namespace norvane
