#include "device/hid_device_monitor.h"

#include <libudev.h>

#include <string>

#include "core/trace.h"

namespace norvane {

DeviceChange device_change_from_udev(std::string_view action, std::string_view hid_id, std::string_view devpath) {
  DeviceChange change;
  if (action == "add") {
    change.kind = DeviceChangeKind::arrival;
  } else if (action == "remove") {
    change.kind = DeviceChangeKind::removal;
  } else {
    change.kind = DeviceChangeKind::nodes_changed;
  }
  change.hid = parse_udev_hid_id(hid_id);
  change.name = std::string(devpath);
  return change;
}

HidDeviceMonitor::HidDeviceMonitor() {
  udev_ = udev_new();
  if (!udev_) {
    trace("udev unavailable: device notices are off\n");
    return;
  }
  monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  if (!monitor_ || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hid", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor_) < 0) {
    trace("udev monitor for HID devices could not start\n");
    if (monitor_) udev_monitor_unref(monitor_);
    monitor_ = nullptr;
  }
}

HidDeviceMonitor::~HidDeviceMonitor() {
  if (monitor_) udev_monitor_unref(monitor_);
  if (udev_) udev_unref(udev_);
}

int HidDeviceMonitor::fd() const { return monitor_ ? udev_monitor_get_fd(monitor_) : -1; }

std::optional<DeviceChange> HidDeviceMonitor::read_change() {
  if (!monitor_) return std::nullopt;
  // The monitor's socket is non-blocking: no notice waiting gives null at once.
  udev_device* device = udev_monitor_receive_device(monitor_);
  if (!device) return std::nullopt;
  auto text = [](const char* s) { return std::string_view(s ? s : ""); };
  DeviceChange change = device_change_from_udev(text(udev_device_get_action(device)),
                                                text(udev_device_get_property_value(device, "HID_ID")),
                                                text(udev_device_get_devpath(device)));
  udev_device_unref(device);
  return change;
}

}  // namespace norvane
