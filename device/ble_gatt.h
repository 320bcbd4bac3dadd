#pragma once
// What the Bluetooth LE link needs from the system's GATT client: read the exported
// devices, services and characteristics, write a characteristic, switch its
// notifications on and off, and watch an object's property changes. The BlueZ
// implementation is ble_gatt_bluez.h; tests may put any other behind it. No Qt.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/ble_gatt_objects.h"

namespace norvane {

enum class GattCallStatus {
  kOk,       // the call was answered with a reply
  kFailed,   // answered with an error, or could not be sent
  kNoReply,  // no answer within the call timeout: the stack is stuck
};

struct GattCallResult {
  GattCallStatus status = GattCallStatus::kFailed;
  std::string error;  // error name and message when not kOk
  bool ok() const { return status == GattCallStatus::kOk; }
};

enum class GattWriteType {
  kRequest,  // the device acknowledges the write
  kCommand,  // write without response
};

// One property change of a watched object, reduced to what the link uses.
struct GattPropertyChange {
  std::optional<std::vector<uint8_t>> value;  // new characteristic value
  std::optional<bool> services_resolved;      // device finished service discovery
  std::optional<bool> connected;              // device connection
};

using GattPropertyHandler = std::function<void(const GattPropertyChange& change)>;

class BleGatt {
 public:
  virtual ~BleGatt() = default;

  // Every call below gives up after the implementation's call timeout.
  // read_objects, write_value, start_notify and stop_notify are safe from any thread.
  virtual GattCallResult read_objects(GattObjects& objects) = 0;
  virtual GattCallResult write_value(const std::string& characteristic_path,
                                     const std::vector<uint8_t>& bytes, GattWriteType type) = 0;
  virtual GattCallResult start_notify(const std::string& characteristic_path) = 0;
  virtual GattCallResult stop_notify(const std::string& characteristic_path) = 0;

  // Calls `handler` for every property change of the object at `path`, on the thread
  // that owns this object, until unwatch(path). A second watch of the same path
  // replaces the first. Both only from the owning thread.
  virtual bool watch(const std::string& path, GattPropertyHandler handler) = 0;
  virtual void unwatch(const std::string& path) = 0;
};

}  // namespace norvane
