#include "device/ble_gatt_objects.h"

#include <algorithm>
#include <optional>
#include <tuple>

#include "device/ble_identifiers.h"

namespace norvane {
namespace {

// Sort key: items with a handle first, by handle; the rest by path.
auto order_key(const std::string& path, std::string_view prefix) {
  const std::optional<uint16_t> handle = handle_from_object_path(path, prefix);
  return std::make_tuple(!handle.has_value(), handle.value_or(0), std::string_view(path));
}

}  // namespace

const GattService* first_primary_service(const GattObjects& objects, std::string_view device_path) {
  const GattService* first = nullptr;
  for (const GattService& service : objects.services) {
    if (!service.primary || service.device_path != device_path) continue;
    if (first == nullptr ||
        order_key(service.path, "service") < order_key(first->path, "service")) {
      first = &service;
    }
  }
  return first;
}

std::vector<const GattCharacteristic*> characteristics_with_uuid(const GattObjects& objects,
                                                                 std::string_view service_path,
                                                                 uint16_t uuid16) {
  std::vector<const GattCharacteristic*> found;
  for (const GattCharacteristic& characteristic : objects.characteristics) {
    if (characteristic.service_path != service_path) continue;
    if (uuid16_from_string(characteristic.uuid) != uuid16) continue;
    found.push_back(&characteristic);
  }
  std::sort(found.begin(), found.end(), [](const GattCharacteristic* a, const GattCharacteristic* b) {
    return order_key(a->path, "char") < order_key(b->path, "char");
  });
  return found;
}

size_t characteristic_count(const GattObjects& objects, std::string_view service_path) {
  return static_cast<size_t>(std::count_if(
      objects.characteristics.begin(), objects.characteristics.end(),
      [&](const GattCharacteristic& c) { return c.service_path == service_path; }));
}

bool has_flag(const GattCharacteristic& characteristic, std::string_view flag) {
  return std::find(characteristic.flags.begin(), characteristic.flags.end(), flag) !=
         characteristic.flags.end();
}

bool is_writable(const GattCharacteristic& characteristic) {
  return has_flag(characteristic, "write") || has_flag(characteristic, "write-without-response");
}

bool is_notifiable(const GattCharacteristic& characteristic) {
  return has_flag(characteristic, "notify") || has_flag(characteristic, "indicate");
}

}  // namespace norvane
