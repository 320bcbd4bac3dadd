#include "device/ble_device_table.h"

#include <algorithm>
#include <cctype>

namespace norvane {
namespace {

std::string upper(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return result;
}

}  // namespace

size_t BleDeviceTable::refill(const std::vector<GattDevice>& devices) {
  std::vector<std::string> addresses;
  for (const GattDevice& device : devices) {
    if (!device.connected) continue;
    if (addresses.size() == kBleDeviceTableCapacity) break;
    addresses.push_back(upper(device.address));
  }
  std::lock_guard<std::mutex> lock(mutex_);
  addresses_ = std::move(addresses);
  return addresses_.size();
}

void BleDeviceTable::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  addresses_.clear();
}

size_t BleDeviceTable::count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return addresses_.size();
}

bool BleDeviceTable::contains(std::string_view address) const {
  if (address.empty()) return false;
  const std::string wanted = upper(address);
  std::lock_guard<std::mutex> lock(mutex_);
  return std::find(addresses_.begin(), addresses_.end(), wanted) != addresses_.end();
}

bool is_target_device(const GattDevice& device, const VendorProduct& target,
                      const BleDeviceTable& table) {
  if (!device.connected) return false;
  const auto ids = parse_modalias(device.modalias);
  if (!ids || *ids != target) return false;
  return table.contains(device.address);
}

}  // namespace norvane
