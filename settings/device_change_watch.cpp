#include "settings/device_change_watch.h"

#include "settings/page_interface.h"

namespace norvane {

DeviceChangeWatch::DeviceChangeWatch(MessagePortPtr window) : window_(std::move(window)) {
  if (monitor_.fd() < 0) return;  // no udev: Bluetooth LE is then only seen at start-up
  notifier_ = std::make_unique<QSocketNotifier>(monitor_.fd(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { read_waiting_changes(); });
}

DeviceChangeWatch::~DeviceChangeWatch() = default;

void DeviceChangeWatch::read_waiting_changes() {
  while (std::optional<DeviceChange> change = monitor_.read_change()) {
    window_->post(Message{UM_DEVICE_CHANGE, 0, 0, std::move(*change)});
  }
}

}  // namespace norvane
