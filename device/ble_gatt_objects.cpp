#include "device/ble_gatt_objects.h"

#include <algorithm>
#include <cstdio>
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

std::vector<const GattService*> primary_services(const GattObjects& objects, std::string_view device_path) {
  std::vector<const GattService*> services;
  for (const GattService& service : objects.services) {
    if (service.primary && service.device_path == device_path) services.push_back(&service);
  }
  std::sort(services.begin(), services.end(), [](const GattService* a, const GattService* b) {
    return order_key(a->path, "service") < order_key(b->path, "service");
  });
  return services;
}

const GattService* service_with(const GattObjects& objects, std::string_view device_path, uint16_t write_uuid,
                                uint16_t notify_uuid) {
  for (const GattService* service : primary_services(objects, device_path)) {
    const auto writes = characteristics_with_uuid(objects, service->path, write_uuid);
    const auto notifies = characteristics_with_uuid(objects, service->path, notify_uuid);
    if (std::any_of(writes.begin(), writes.end(), [](const GattCharacteristic* c) { return is_writable(*c); }) &&
        std::any_of(notifies.begin(), notifies.end(), [](const GattCharacteristic* c) { return is_notifiable(*c); })) {
      return service;
    }
  }
  return nullptr;
}

namespace {

std::string short_uuid(const std::string& uuid) {
  const std::optional<uint16_t> uuid16 = uuid16_from_string(uuid);
  if (!uuid16) return uuid.empty() ? "?" : uuid;
  char text[8];
  std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(*uuid16));
  return text;
}

}  // namespace

std::vector<std::string> describe_services(const GattObjects& objects, std::string_view device_path) {
  std::vector<std::string> lines;
  for (const GattService* service : primary_services(objects, device_path)) {
    std::vector<const GattCharacteristic*> characteristics;
    for (const GattCharacteristic& c : objects.characteristics) {
      if (c.service_path == service->path) characteristics.push_back(&c);
    }
    std::sort(characteristics.begin(), characteristics.end(), [](const GattCharacteristic* a, const GattCharacteristic* b) {
      return order_key(a->path, "char") < order_key(b->path, "char");
    });
    std::string line = service->path + " " + short_uuid(service->uuid) + ":";
    if (characteristics.empty()) line += " no characteristics";
    for (const GattCharacteristic* c : characteristics) {
      line += " " + short_uuid(c->uuid) + " (";
      for (size_t i = 0; i < c->flags.size(); ++i) line += (i > 0 ? "," : "") + c->flags[i];
      line += ")";
    }
    lines.push_back(std::move(line));
  }
  return lines;
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
