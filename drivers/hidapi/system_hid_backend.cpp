#include <fcntl.h>
#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "drivers/hidapi/hid_backend.h"

namespace norvane::hiddriver {

namespace {

struct UdevMonitor {
  udev* context = nullptr;
  udev_monitor* monitor = nullptr;
  int wake_fd = -1;
};

void close_monitor(void* handle) {
  auto* m = static_cast<UdevMonitor*>(handle);
  if (m == nullptr) return;
  if (m->monitor != nullptr) udev_monitor_unref(m->monitor);
  if (m->context != nullptr) udev_unref(m->context);
  if (m->wake_fd >= 0) ::close(m->wake_fd);
  delete m;
}

void* open_monitor() {
  auto* m = new UdevMonitor;
  m->context = udev_new();
  if (m->context != nullptr) m->monitor = udev_monitor_new_from_netlink(m->context, "udev");
  m->wake_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (m->monitor == nullptr || m->wake_fd < 0 ||
      udev_monitor_filter_add_match_subsystem_devtype(m->monitor, "hidraw", nullptr) < 0 ||
      udev_monitor_enable_receiving(m->monitor) < 0) {
    close_monitor(m);
    return nullptr;
  }
  return m;
}

void copy_text(char* out, size_t size, const char* text) {
  if (text == nullptr) return;
  std::strncpy(out, text, size - 1);
  out[size - 1] = '\0';
}

int wait_monitor(void* handle, HotplugEvent* event) {
  auto* m = static_cast<UdevMonitor*>(handle);
  pollfd fds[2] = {{udev_monitor_get_fd(m->monitor), POLLIN, 0}, {m->wake_fd, POLLIN, 0}};
  if (::poll(fds, 2, -1) < 0) return errno == EINTR ? 0 : -1;
  if (fds[1].revents & POLLIN) {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(m->wake_fd, &count, sizeof count);
    return 0;
  }
  if (fds[0].revents & (POLLERR | POLLNVAL)) return -1;
  if (!(fds[0].revents & POLLIN)) return 0;
  udev_device* device = udev_monitor_receive_device(m->monitor);
  if (device == nullptr) return 0;
  const char* action = udev_device_get_action(device);
  *event = HotplugEvent{};
  if (action != nullptr && std::strcmp(action, "add") == 0) event->action = HotplugEvent::kAdd;
  if (action != nullptr && std::strcmp(action, "remove") == 0) event->action = HotplugEvent::kRemove;
  copy_text(event->devnode, sizeof event->devnode, udev_device_get_devnode(device));
  copy_text(event->devpath, sizeof event->devpath, udev_device_get_devpath(device));
  udev_device_unref(device);
  return 1;
}

void wake_monitor(void* handle) {
  auto* m = static_cast<UdevMonitor*>(handle);
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(m->wake_fd, &one, sizeof one);
}

void no_interrupt(hid_device*) {}

// "/dev/hidraw4" -> "/sys/class/hidraw/hidraw4/device/report_descriptor".
int read_report_descriptor(const char* path, unsigned char* buffer, size_t size) {
  const char* slash = std::strrchr(path, '/');
  const std::string node = slash != nullptr ? slash + 1 : path;
  if (node.empty() || node == "." || node == "..") return -1;
  const std::string file = "/sys/class/hidraw/" + node + "/device/report_descriptor";
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  size_t total = 0;
  while (total < size) {
    const ssize_t n = ::read(fd, buffer + total, size - total);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += static_cast<size_t>(n);
  }
  ::close(fd);
  return static_cast<int>(total);
}

int node_open_error(const char* path) {
  const int fd = ::open(path, O_RDWR | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  ::close(fd);
  return 0;
}

}  // namespace

const HidBackend& system_hid_backend() {
  static const HidBackend backend = {
      hid_init,
      hid_enumerate,
      hid_free_enumeration,
      hid_open_path,
      hid_close,
      hid_send_feature_report,
      hid_get_feature_report,
      hid_write,
      hid_read_timeout,
      no_interrupt,
      read_report_descriptor,
      node_open_error,
      open_monitor,
      wait_monitor,
      wake_monitor,
      close_monitor,
  };
  return backend;
}

}  // namespace norvane::hiddriver
