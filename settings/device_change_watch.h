#pragma once
// Delivers the HID device notices of the udev monitor to the main window as
// UM_DEVICE_CHANGE messages (wParam: a DeviceChange owned by the message), so they are
// handled in order with the window's other messages. UI thread only.

#include <QSocketNotifier>
#include <memory>

#include "app/toolkit/message_port.h"
#include "device/hid_device_monitor.h"

namespace norvane {

class DeviceChangeWatch {
 public:
  explicit DeviceChangeWatch(MessagePortPtr window);
  ~DeviceChangeWatch();
  DeviceChangeWatch(const DeviceChangeWatch&) = delete;
  DeviceChangeWatch& operator=(const DeviceChangeWatch&) = delete;

  bool watching() const { return notifier_ != nullptr; }

 private:
  void read_waiting_changes();

  MessagePortPtr window_;
  HidDeviceMonitor monitor_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace norvane
