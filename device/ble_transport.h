#pragma once
// The Bluetooth LE link to the mouse. It finds the mouse among the connected
// Bluetooth devices, writes reports to characteristic 0xFEE3 and turns the
// notifications of characteristic 0xFEE4 into device events (code = bytes 0-1,
// value = bytes 2-3, little-endian), both of the first primary service (by handle)
// that holds the two.
//
// It is the BleLinkPort the link controller drives; its sink is where the page
// passes events on to on_device_event with the Bluetooth LE source.
//
// Threads: the transport belongs to the thread that owns its BleGatt, the UI thread.
// set_fragments, list_ble_devices, registration and unregistration run there, and
// the sink is called there. ble_write may run on any thread (the worker thread): the
// fragments and the device table it reads are behind locks.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/ble_device_table.h"
#include "device/ble_gatt.h"
#include "device/ble_gatt_objects.h"
#include "device/ble_identifiers.h"
#include "device/ble_link_port.h"

namespace norvane {

inline constexpr uint16_t kBleReportUuid = 0xFEE3;  // program -> mouse, writable
inline constexpr uint16_t kBleEventUuid = 0xFEE4;   // mouse -> program, notifiable

// Longest report the link hands on.
inline constexpr int kBleMaxReportBytes = 996;

// Receives each device event the mouse notifies, on the transport's thread.
using BleEventSink = std::function<void(uint16_t code, uint16_t value)>;

class BleTransport : public BleLinkPort {
 public:
  // `gatt` must outlive the transport.
  BleTransport(BleGatt& gatt, BleEventSink sink);
  ~BleTransport() override;
  BleTransport(const BleTransport&) = delete;
  BleTransport& operator=(const BleTransport&) = delete;

  // The mouse's hardware-id fragments ("VID&02045E", "PID&0009") when the link comes
  // up, empty strings when it goes down. While either is empty (or unreadable)
  // writing and registration do nothing.
  void set_fragments(const std::string& vid_fragment, const std::string& pid_fragment) override;
  std::string vid_fragment() const;
  std::string pid_fragment() const;

  // Refills the device table with the addresses of the connected Bluetooth devices
  // (at most kBleDeviceTableCapacity) and returns the count. A bus failure leaves
  // the table empty.
  size_t list_ble_devices();
  size_t device_count() const;

  // Refills the device table, then switches on the notifications of every notifiable
  // 0xFEE4 characteristic of every matching device and keeps the last one as the
  // held registration; a new registration releases the one held before. A matching
  // device whose services are not resolved yet is waited for: registration runs
  // again when BlueZ reports them resolved. Always returns 0.
  int ble_register_notifications();
  void register_notifications() override { ble_register_notifications(); }

  // Writes `length` bytes unchanged to the first writable 0xFEE3 characteristic of a
  // matching device, using the device table of the last registration. Returns 1 when
  // BlueZ accepted the write, 0 when nothing matched, the write failed or BlueZ did
  // not answer in time.
  int ble_write(const uint8_t* report, int length);
  int ble_write(std::span<const uint8_t> report);

  // Stops waiting for services and releases the held registration: no more events
  // reach the sink. Returns true when a registration was held and BlueZ confirmed
  // switching its notifications off.
  bool unregister_notifications() override;

  bool has_registration() const override { return registration_.has_value(); }

 private:
  std::optional<VendorProduct> target() const;
  std::vector<const GattDevice*> matching_devices(const GattObjects& objects,
                                                  const VendorProduct& target) const;
  // Reads the bus's objects and refills the device table from them. A bus failure
  // empties the table, is traced and returns false.
  bool read_objects_into_table(GattObjects& objects);
  // The device's service holding the mouse's characteristics (service_with). The
  // choice and the services offered are traced when `trace_choice`, and always
  // when none fits.
  const GattService* usable_service(const GattObjects& objects, const GattDevice& device, bool trace_choice) const;
  GattCallStatus hold_registration(const GattCharacteristic& characteristic,
                                   const GattService& service);
  bool release_registration();
  void wait_for_services(const std::string& device_path);
  void stop_waiting_for_services();
  void on_services_resolved();
  void on_value_changed(const std::string& characteristic_path, const GattPropertyChange& change);

  BleGatt& gatt_;
  BleEventSink sink_;

  mutable std::mutex fragments_mutex_;
  std::string vid_fragment_;
  std::string pid_fragment_;

  BleDeviceTable table_;

  // Owning thread only.
  std::optional<std::string> registration_;  // characteristic path
  std::string services_wait_;                // device path, empty when not waiting
};

}  // namespace norvane
