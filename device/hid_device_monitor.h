#pragma once
// Watches HID devices coming and going (libudev, subsystem "hid") and turns each
// notice into a DeviceChange for the link controller. The owner polls fd() on its
// event loop (a socket notifier on the UI thread) and calls read_change() when it is
// readable, so every change reaches the controller on the UI thread.

#include <optional>
#include <string_view>

#include "device/device_change.h"

struct udev;
struct udev_monitor;

namespace norvane {

// One udev notice as a DeviceChange: "add" is an arrival, "remove" a removal, any
// other action a change of the device tree. `hid_id` is the HID_ID property (may be
// empty), `devpath` names the device in the trace.
DeviceChange device_change_from_udev(std::string_view action, std::string_view hid_id, std::string_view devpath);

class HidDeviceMonitor {
 public:
  // Starts listening. When udev is unavailable the monitor stays closed (fd() -1).
  HidDeviceMonitor();
  ~HidDeviceMonitor();
  HidDeviceMonitor(const HidDeviceMonitor&) = delete;
  HidDeviceMonitor& operator=(const HidDeviceMonitor&) = delete;

  // The descriptor that becomes readable when a notice waits; -1 when closed.
  int fd() const;
  // Takes one waiting notice without blocking; nullopt when none waits.
  std::optional<DeviceChange> read_change();

 private:
  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
};

}  // namespace norvane
