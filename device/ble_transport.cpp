#include "device/ble_transport.h"

#include <algorithm>
#include <utility>

#include "core/trace.h"
#include "device/ble_notification.h"

namespace norvane {
namespace {

void trace_call_failure(const char* call, const std::string& path, const GattCallResult& result) {
  trace("BlueZ %s %s failed: %s\r\n", call, path.c_str(), result.error.c_str());
}

}  // namespace

BleTransport::BleTransport(BleGatt& gatt, BleEventSink sink) : gatt_(gatt), sink_(std::move(sink)) {}

BleTransport::~BleTransport() {
  // No bus call here: BlueZ ends a client's notification sessions when the client
  // leaves the bus, and shutting down must not wait on a stuck stack.
  stop_waiting_for_services();
  if (registration_) gatt_.unwatch(*registration_);
}

void BleTransport::set_fragments(const std::string& vid_fragment, const std::string& pid_fragment) {
  std::lock_guard<std::mutex> lock(fragments_mutex_);
  vid_fragment_ = vid_fragment;
  pid_fragment_ = pid_fragment;
}

std::string BleTransport::vid_fragment() const {
  std::lock_guard<std::mutex> lock(fragments_mutex_);
  return vid_fragment_;
}

std::string BleTransport::pid_fragment() const {
  std::lock_guard<std::mutex> lock(fragments_mutex_);
  return pid_fragment_;
}

std::optional<VendorProduct> BleTransport::target() const {
  std::lock_guard<std::mutex> lock(fragments_mutex_);
  return target_from_fragments(vid_fragment_, pid_fragment_);
}

size_t BleTransport::list_ble_devices() {
  GattObjects objects;
  if (!read_objects_into_table(objects)) return 0;
  return table_.count();
}

size_t BleTransport::device_count() const { return table_.count(); }

bool BleTransport::read_objects_into_table(GattObjects& objects) {
  const GattCallResult read = gatt_.read_objects(objects);
  if (!read.ok()) {
    table_.clear();
    trace_call_failure("GetManagedObjects", "/", read);
    return false;
  }
  const size_t count = table_.refill(objects.devices);
  trace("m_iBleNum = %d\r\n", static_cast<int>(count));
  return true;
}

std::vector<const GattDevice*> BleTransport::matching_devices(const GattObjects& objects,
                                                              const VendorProduct& target) const {
  std::vector<const GattDevice*> devices;
  for (const GattDevice& device : objects.devices) {
    if (is_target_device(device, target, table_)) devices.push_back(&device);
  }
  // The bus lists objects in no particular order; take them by path so repeated
  // runs visit the devices alike.
  std::sort(devices.begin(), devices.end(),
            [](const GattDevice* a, const GattDevice* b) { return a->path < b->path; });
  return devices;
}

const GattService* BleTransport::usable_service(const GattObjects& objects, const GattDevice& device,
                                                bool trace_choice) const {
  const GattService* service = service_with(objects, device.path, kBleReportUuid, kBleEventUuid);
  if (service == nullptr) {
    trace("BluetoothGATTGetServices - Buffer Size %d\r\n", 0);
    trace("no service of %s holds a writable 0xfee3 and a notifiable 0xfee4\r\n", device.path.c_str());
  } else if (trace_choice) {
    trace("service taken: %s\r\n", service->path.c_str());
  }
  if (service == nullptr || trace_choice) {
    for (const std::string& line : describe_services(objects, device.path)) trace("offered: %s\r\n", line.c_str());
  }
  return service;
}

int BleTransport::ble_register_notifications() {
  GattObjects objects;
  if (!read_objects_into_table(objects)) return 0;

  const std::optional<VendorProduct> wanted = target();
  if (!wanted) return 0;

  for (const GattDevice* device : matching_devices(objects, *wanted)) {
    if (!device->services_resolved) {
      wait_for_services(device->path);
      continue;
    }
    const GattService* service = usable_service(objects, *device, true);
    if (service == nullptr) continue;
    for (const GattCharacteristic* characteristic :
         characteristics_with_uuid(objects, service->path, kBleEventUuid)) {
      if (!is_notifiable(*characteristic)) continue;
      trace("%s\r\n", device->path.c_str());
      // A stack that does not answer will not answer the next call either.
      if (hold_registration(*characteristic, *service) == GattCallStatus::kNoReply) return 0;
    }
  }
  return 0;
}

GattCallStatus BleTransport::hold_registration(const GattCharacteristic& characteristic,
                                               const GattService& service) {
  release_registration();

  const std::string path = characteristic.path;
  // Watch before switching notifications on, so the first notification is not lost.
  if (!gatt_.watch(path, [this, path](const GattPropertyChange& change) {
        on_value_changed(path, change);
      })) {
    trace("BluetoothGATTRegisterEvent - Actual Data %x\r\n",
          static_cast<unsigned>(GattCallStatus::kFailed));
    return GattCallStatus::kFailed;
  }
  const GattCallResult started = gatt_.start_notify(path);
  if (!started.ok()) {
    gatt_.unwatch(path);
    trace_call_failure("StartNotify", path, started);
    trace("BluetoothGATTRegisterEvent - Actual Data %x\r\n", static_cast<unsigned>(started.status));
    return started.status;
  }
  trace("Setting Notification for ServiceHandle %d\n",
        static_cast<int>(handle_from_object_path(service.path, "service").value_or(0)));
  registration_ = path;
  return GattCallStatus::kOk;
}

bool BleTransport::release_registration() {
  if (!registration_) return false;
  const std::string path = std::move(*registration_);
  registration_.reset();
  gatt_.unwatch(path);
  const GattCallResult stopped = gatt_.stop_notify(path);
  if (!stopped.ok()) {
    trace_call_failure("StopNotify", path, stopped);
    return false;
  }
  return true;
}

bool BleTransport::unregister_notifications() {
  stop_waiting_for_services();
  return release_registration();
}

void BleTransport::wait_for_services(const std::string& device_path) {
  trace("waiting for the services of %s\r\n", device_path.c_str());
  if (services_wait_ == device_path) return;
  stop_waiting_for_services();
  if (gatt_.watch(device_path, [this](const GattPropertyChange& change) {
        if (change.services_resolved.value_or(false)) on_services_resolved();
      })) {
    services_wait_ = device_path;
  }
}

void BleTransport::stop_waiting_for_services() {
  if (services_wait_.empty()) return;
  gatt_.unwatch(services_wait_);
  services_wait_.clear();
}

void BleTransport::on_services_resolved() {
  stop_waiting_for_services();
  if (!registration_) ble_register_notifications();
}

void BleTransport::on_value_changed(const std::string& characteristic_path,
                                    const GattPropertyChange& change) {
  // A change queued before the registration was released must not get through.
  if (!registration_ || *registration_ != characteristic_path || !change.value) return;
  const std::vector<uint8_t>& bytes = *change.value;
  if (bytes.empty()) {
    trace("datasize 0\n");
    return;
  }
  const std::optional<BleDeviceEvent> event = device_event_from_notification(bytes);
  if (!event) {
    trace("BLE notification of %d bytes dropped\r\n", static_cast<int>(bytes.size()));
    return;
  }
  if (sink_) sink_(event->code, event->value);
}

int BleTransport::ble_write(std::span<const uint8_t> report) {
  if (report.size() > static_cast<size_t>(kBleMaxReportBytes)) {
    trace("BLE report of %d bytes not sent\r\n", static_cast<int>(report.size()));
    return 0;
  }
  return ble_write(report.data(), static_cast<int>(report.size()));
}

int BleTransport::ble_write(const uint8_t* report, int length) {
  const std::optional<VendorProduct> wanted = target();
  if (!wanted) return 0;
  if (report == nullptr || length <= 0 || length > kBleMaxReportBytes) {
    trace("BLE report of %d bytes not sent\r\n", length);
    return 0;
  }

  GattObjects objects;
  const GattCallResult read = gatt_.read_objects(objects);
  if (!read.ok()) {
    trace_call_failure("GetManagedObjects", "/", read);
    return 0;
  }

  const std::vector<uint8_t> bytes(report, report + length);
  for (const GattDevice* device : matching_devices(objects, *wanted)) {
    if (!device->services_resolved) {
      trace("services of %s not resolved yet\r\n", device->path.c_str());
      continue;
    }
    const GattService* service = usable_service(objects, *device, false);
    if (service == nullptr) continue;
    for (const GattCharacteristic* characteristic :
         characteristics_with_uuid(objects, service->path, kBleReportUuid)) {
      if (!is_writable(*characteristic)) continue;
      trace("%s\r\n", device->path.c_str());
      // A request when the characteristic takes one, so BlueZ's answer says whether
      // the mouse got the report.
      const GattWriteType type =
          has_flag(*characteristic, "write") ? GattWriteType::kRequest : GattWriteType::kCommand;
      const GattCallResult written = gatt_.write_value(characteristic->path, bytes, type);
      if (written.ok()) {
        trace("Write Success!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\r\n");
        return 1;
      }
      trace("Write fail!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\r\n");
      trace_call_failure("WriteValue", characteristic->path, written);
      if (written.status == GattCallStatus::kNoReply) return 0;
    }
  }
  return 0;
}

}  // namespace norvane
