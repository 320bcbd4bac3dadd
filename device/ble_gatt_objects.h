#pragma once
// The part of BlueZ's object tree the Bluetooth LE link looks at: remote devices,
// their GATT services and characteristics, as plain values read in one go from the
// bus. Also the choices made on it: the device's service holding the mouse's
// characteristics and the characteristics of a given 16-bit UUID. No Qt.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace norvane {

struct GattDevice {
  std::string path;      // object path, e.g. /org/bluez/hci0/dev_AA_BB_CC_DD_EE_FF
  std::string address;   // "AA:BB:CC:DD:EE:FF"
  std::string modalias;  // "usb:v045Ep0009d0001", empty when BlueZ has none
  bool connected = false;
  bool services_resolved = false;
};

struct GattService {
  std::string path;         // .../serviceXXXX, XXXX = attribute handle in hex
  std::string device_path;  // the device it belongs to
  std::string uuid;         // 128-bit UUID string
  bool primary = false;
};

struct GattCharacteristic {
  std::string path;          // .../serviceXXXX/charYYYY
  std::string service_path;  // the service it belongs to
  std::string uuid;
  std::vector<std::string> flags;  // "read", "write", "write-without-response", "notify", ...
};

struct GattObjects {
  std::vector<GattDevice> devices;
  std::vector<GattService> services;
  std::vector<GattCharacteristic> characteristics;
};

// The device's primary services by attribute handle, lowest first, whatever order the
// bus listed them in; services whose path carries no handle come after all others.
std::vector<const GattService*> primary_services(const GattObjects& objects, std::string_view device_path);

// The first of the device's primary services (by handle) that holds a writable
// `write_uuid` and a notifiable `notify_uuid` characteristic; nullptr when none does.
// BlueZ keeps back services its own plugins claim and lists the rest in no fixed
// order, so the lowest handle alone does not find the mouse's service.
const GattService* service_with(const GattObjects& objects, std::string_view device_path, uint16_t write_uuid,
                                uint16_t notify_uuid);

// One line per primary service of the device, by handle: its path, 16-bit or full
// UUID, and its characteristics' UUIDs with their flags, e.g.
// "/org/bluez/hci0/dev_X/service000c fee0: fee3 (write) fee4 (notify)".
std::vector<std::string> describe_services(const GattObjects& objects, std::string_view device_path);

// The characteristics of `service_path` whose 16-bit UUID is `uuid16`, lowest handle first.
std::vector<const GattCharacteristic*> characteristics_with_uuid(const GattObjects& objects,
                                                                 std::string_view service_path,
                                                                 uint16_t uuid16);

bool has_flag(const GattCharacteristic& characteristic, std::string_view flag);

// Writable with or without a response from the device.
bool is_writable(const GattCharacteristic& characteristic);

// Sends notifications or indications.
bool is_notifiable(const GattCharacteristic& characteristic);

}  // namespace norvane
