// The pure parts of the Bluetooth LE link: identifiers, service and characteristic
// choice, the device table and matching, notification decoding.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/ble_device_table.h"
#include "device/ble_gatt_objects.h"
#include "device/ble_identifiers.h"
#include "device/ble_notification.h"
#include "device/ble_presence.h"

#include <hidapi.h>

namespace norvane {
namespace {

constexpr VendorProduct kMouse{0x045E, 0x0009};

TEST(BlePresence, OnlyTheMouseOnTheBluetoothBusCounts) {
  hid_device_info bluetooth{};
  bluetooth.vendor_id = 0x045E;
  bluetooth.product_id = 0x0009;
  hid_device_info usb = bluetooth;
  usb.next = &bluetooth;
  hid_device_info other{};
  other.vendor_id = 0x045E;
  other.product_id = 0x0010;
  const HidBusOf bus_of = [&](const hid_device_info& device) -> uint16_t {
    return &device == &bluetooth || &device == &other ? 0x0005 : 0x0003;
  };
  EXPECT_TRUE(lists_ble_mouse(&usb, bus_of));
  usb.next = &other;  // the USB device and another Bluetooth product
  EXPECT_FALSE(lists_ble_mouse(&usb, bus_of));
  EXPECT_FALSE(lists_ble_mouse(nullptr, bus_of));
}

TEST(BleIdentifiers, ModaliasGivesVendorAndProductWhateverPrefixCase) {
  EXPECT_EQ(parse_modalias("usb:v045Ep0009d0001"), kMouse);
  EXPECT_EQ(parse_modalias("bluetooth:v045ep0009d0110"), kMouse);
  EXPECT_EQ(parse_modalias("USB:V045EP0009"), kMouse);
  EXPECT_EQ(parse_modalias("bluetooth:v000Fp1200d1436"), (VendorProduct{0x000F, 0x1200}));

  for (const char* bad : {"", "usb:", "pci:v045Ep0009d0001", "usb:v045p0009", "usb:v045Ep009",
                          "usb:v045Gp0009", "usb:045E0009", "usbv045Ep0009"}) {
    EXPECT_FALSE(parse_modalias(bad).has_value()) << bad;
  }
}

TEST(BleIdentifiers, FragmentsNameTheTargetOnlyWhenBothAreReadable) {
  EXPECT_EQ(target_from_fragments("VID&02045E", "PID&0009"), kMouse);
  EXPECT_EQ(target_from_fragments("vid&045e", "pid&0009"), kMouse);
  EXPECT_FALSE(target_from_fragments("", "PID&0009").has_value());
  EXPECT_FALSE(target_from_fragments("VID&02045E", "").has_value());
  EXPECT_FALSE(target_from_fragments("VID&2045E", "PID&0009").has_value());
  EXPECT_FALSE(target_from_fragments("VID&02045E", "PID&00G9").has_value());
  EXPECT_FALSE(target_from_fragments("PID&0009", "VID&02045E").has_value());
}

TEST(BleIdentifiers, SixteenBitUuidOnlyFromTheBluetoothBaseUuid) {
  EXPECT_EQ(uuid16_from_string("0000fee3-0000-1000-8000-00805f9b34fb"), 0xFEE3);
  EXPECT_EQ(uuid16_from_string("0000FEE4-0000-1000-8000-00805F9B34FB"), 0xFEE4);
  EXPECT_FALSE(uuid16_from_string("0001fee3-0000-1000-8000-00805f9b34fb").has_value());
  EXPECT_FALSE(uuid16_from_string("0000fee3-0000-1000-8000-00805f9b34fc").has_value());
  EXPECT_FALSE(uuid16_from_string("fee3").has_value());
  EXPECT_FALSE(uuid16_from_string("0000fez3-0000-1000-8000-00805f9b34fb").has_value());
}

TEST(BleIdentifiers, HandleComesFromTheLastPathElement) {
  EXPECT_EQ(handle_from_object_path("/org/bluez/hci0/dev_AA/service000a", "service"), 0x000A);
  EXPECT_EQ(handle_from_object_path("/org/bluez/hci0/dev_AA/service001F/char0021", "char"), 0x0021);
  EXPECT_FALSE(handle_from_object_path("/org/bluez/hci0/dev_AA/service001f/char0021", "service"));
  EXPECT_FALSE(handle_from_object_path("/org/bluez/hci0/dev_AA/service", "service"));
  EXPECT_FALSE(handle_from_object_path("/org/bluez/hci0/dev_AA/service1000a", "service"));
  EXPECT_FALSE(handle_from_object_path("/org/bluez/hci0/dev_AA/servicexyz", "service"));
}

GattObjects mouse_objects() {
  GattObjects objects;
  const std::string dev = "/org/bluez/hci0/dev_A";
  objects.devices.push_back({dev, "AA:BB:CC:DD:EE:01", "usb:v045Ep0009d0001", true, true});
  // Listed out of handle order, with a secondary service lowest of all and another
  // device's service.
  objects.services.push_back({dev + "/service0030", dev, "0000fee0-0000-1000-8000-00805f9b34fb", true});
  objects.services.push_back({dev + "/service0008", dev, "0000fee0-0000-1000-8000-00805f9b34fb", false});
  objects.services.push_back({dev + "/service000c", dev, "0000fee0-0000-1000-8000-00805f9b34fb", true});
  objects.services.push_back({"/org/bluez/hci0/dev_B/service0001", "/org/bluez/hci0/dev_B",
                              "0000fee0-0000-1000-8000-00805f9b34fb", true});
  const std::string svc = dev + "/service000c";
  objects.characteristics.push_back({svc + "/char0012", svc, "0000fee3-0000-1000-8000-00805f9b34fb", {"write"}});
  objects.characteristics.push_back({svc + "/char000d", svc, "0000fee3-0000-1000-8000-00805f9b34fb",
                                     {"write-without-response"}});
  objects.characteristics.push_back({svc + "/char000f", svc, "0000fee4-0000-1000-8000-00805f9b34fb", {"read"}});
  objects.characteristics.push_back({dev + "/service0030/char0031", dev + "/service0030",
                                     "0000fee3-0000-1000-8000-00805f9b34fb", {"write"}});
  return objects;
}

TEST(BleGattObjects, PrimaryServicesComeInHandleOrderNotListOrder) {
  const GattObjects objects = mouse_objects();
  auto paths = [](const std::vector<const GattService*>& services) {
    std::vector<std::string> out;
    for (const GattService* service : services) out.push_back(service->path);
    return out;
  };
  EXPECT_EQ(paths(primary_services(objects, "/org/bluez/hci0/dev_A")),
            (std::vector<std::string>{"/org/bluez/hci0/dev_A/service000c", "/org/bluez/hci0/dev_A/service0030"}));
  EXPECT_TRUE(primary_services(objects, "/org/bluez/hci0/dev_C").empty());

  // A service path without a readable handle ranks after every handle.
  GattObjects odd = objects;
  odd.services.insert(odd.services.begin(), {"/org/bluez/hci0/dev_A/extra", "/org/bluez/hci0/dev_A", "", true});
  EXPECT_EQ(paths(primary_services(odd, "/org/bluez/hci0/dev_A")).back(), "/org/bluez/hci0/dev_A/extra");
}

TEST(BleGattObjects, TheServiceTakenIsTheFirstHoldingBothCharacteristicsAsNeeded) {
  const std::string dev = "/org/bluez/hci0/dev_A";
  GattObjects objects = mouse_objects();
  // 000c has the writes but its 0xFEE4 cannot notify; 0030 has no 0xFEE4 at all.
  EXPECT_EQ(service_with(objects, dev, 0xFEE3, 0xFEE4), nullptr);

  objects.characteristics.push_back({dev + "/service0030/char0033", dev + "/service0030",
                                     "0000fee4-0000-1000-8000-00805f9b34fb", {"notify"}});
  const GattService* taken = service_with(objects, dev, 0xFEE3, 0xFEE4);
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(taken->path, dev + "/service0030");

  // Once the lower service holds both too, it wins.
  objects.characteristics.push_back({dev + "/service000c/char0010", dev + "/service000c",
                                     "0000fee4-0000-1000-8000-00805f9b34fb", {"indicate"}});
  EXPECT_EQ(service_with(objects, dev, 0xFEE3, 0xFEE4)->path, dev + "/service000c");
  // A secondary service never counts, nor another device's.
  EXPECT_EQ(service_with(objects, "/org/bluez/hci0/dev_B", 0xFEE3, 0xFEE4), nullptr);

  EXPECT_EQ(describe_services(objects, dev),
            (std::vector<std::string>{
                dev + "/service000c fee0: fee3 (write-without-response) fee4 (read) fee4 (indicate) fee3 (write)",
                dev + "/service0030 fee0: fee3 (write) fee4 (notify)"}));
}

TEST(BleGattObjects, CharacteristicsOfAServiceByUuidInHandleOrderWithTheirProperties) {
  const GattObjects objects = mouse_objects();
  const auto writes = characteristics_with_uuid(objects, "/org/bluez/hci0/dev_A/service000c", 0xFEE3);
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0]->path, "/org/bluez/hci0/dev_A/service000c/char000d");
  EXPECT_EQ(writes[1]->path, "/org/bluez/hci0/dev_A/service000c/char0012");
  EXPECT_TRUE(is_writable(*writes[0]));
  EXPECT_TRUE(is_writable(*writes[1]));

  const auto events = characteristics_with_uuid(objects, "/org/bluez/hci0/dev_A/service000c", 0xFEE4);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_FALSE(is_notifiable(*events[0]));
  EXPECT_FALSE(is_writable(*events[0]));
  EXPECT_TRUE(is_notifiable(GattCharacteristic{"", "", "", {"indicate"}}));
}

std::vector<GattDevice> connected_devices(size_t count) {
  std::vector<GattDevice> devices;
  for (size_t i = 0; i < count; ++i) {
    char address[18];
    std::snprintf(address, sizeof address, "AA:BB:CC:DD:%02X:%02X", static_cast<unsigned>(i >> 8),
                  static_cast<unsigned>(i & 0xFF));
    devices.push_back({"/dev" + std::to_string(i), address, "", true, true});
  }
  return devices;
}

TEST(BleDeviceTable, ListingStopsAtTheTableCapacity) {
  BleDeviceTable table;
  std::vector<GattDevice> devices = connected_devices(kBleDeviceTableCapacity + 5);
  EXPECT_EQ(table.refill(devices), kBleDeviceTableCapacity);
  EXPECT_EQ(table.count(), kBleDeviceTableCapacity);
  EXPECT_TRUE(table.contains(devices[kBleDeviceTableCapacity - 1].address));
  EXPECT_FALSE(table.contains(devices[kBleDeviceTableCapacity].address));

  // Disconnected devices are not listed; a refill replaces the old entries.
  devices.resize(3);
  devices[1].connected = false;
  EXPECT_EQ(table.refill(devices), 2u);
  EXPECT_FALSE(table.contains(devices[1].address));
  EXPECT_FALSE(table.contains(connected_devices(10)[9].address));
}

TEST(BleDeviceTable, MouseMatchesOnlyWhenConnectedListedAndOfTheTargetIds) {
  const GattDevice mouse{"/org/bluez/hci0/dev_A", "aa:bb:cc:dd:ee:01", "usb:v045Ep0009d0001", true, true};
  BleDeviceTable table;
  EXPECT_FALSE(is_target_device(mouse, kMouse, table));  // empty table matches nothing

  table.refill({mouse});
  EXPECT_TRUE(table.contains("AA:BB:CC:DD:EE:01"));
  EXPECT_TRUE(is_target_device(mouse, kMouse, table));
  EXPECT_FALSE(is_target_device(mouse, VendorProduct{0x045E, 0x0010}, table));

  GattDevice other = mouse;
  other.address = "AA:BB:CC:DD:EE:02";
  EXPECT_FALSE(is_target_device(other, kMouse, table));
  other = mouse;
  other.connected = false;
  EXPECT_FALSE(is_target_device(other, kMouse, table));
  other = mouse;
  other.modalias = "";
  EXPECT_FALSE(is_target_device(other, kMouse, table));

  // A device without an address cannot be told apart: it never matches.
  GattDevice anonymous = mouse;
  anonymous.address = "";
  table.refill({anonymous});
  EXPECT_EQ(table.count(), 1u);
  EXPECT_FALSE(is_target_device(anonymous, kMouse, table));
}

TEST(BleNotification, FirstFourBytesAreCodeAndValueLittleEndian) {
  const uint8_t battery[] = {0x09, 0x40, 0x00, 0x39};
  EXPECT_EQ(device_event_from_notification(battery), (BleDeviceEvent{0x4009, 0x3900}));
  const uint8_t longer[] = {0x09, 0x10, 0x02, 0x00, 0xFF, 0xFF};
  EXPECT_EQ(device_event_from_notification(longer), (BleDeviceEvent{0x1009, 0x0002}));
  const uint8_t short_one[] = {0x09, 0x40, 0x00};
  EXPECT_FALSE(device_event_from_notification(short_one).has_value());
  EXPECT_FALSE(device_event_from_notification({}).has_value());
}

}  // namespace
}  // namespace norvane
