// A double of hidapi, sysfs and the libudev monitor in front of the virtual mouse,
// for test builds of the hidapi driver libraries: the mouse's plugged library links
// are listed as hidraw nodes ("/dev/hidraw<n>") with the interface numbers and
// report descriptors the mouse gives, transfers go to the mouse as hidraw passes
// them (it checks their report IDs and lengths against its descriptors), the
// mouse's input reports reach every open handle of their node, and plugging and
// unplugging a link shows up as hot-plug events of its nodes.
//
// One double per process, shared by the three libraries; it defines their
// driver_backend().

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "drivers/hidapi/hid_backend.h"
#include "drivers/virtual/virtual_mouse.h"
#include "drivers/virtual/virtual_mouse_control.h"

namespace norvane::hiddriver {

namespace {

// Only keeps a driver that never wakes its reader from hanging the test run.
constexpr auto kStuckLimit = std::chrono::seconds(10);
constexpr int kNodesPerLink = 4;

struct Node {
  int link = -1;
  int index = -1;
};

struct Handle {
  Node node;
  bool closed = false;
  bool interrupted = false;
  bool gone = false;  // its link was unplugged: reads fail as on a removed device
  std::deque<std::vector<uint8_t>> input;
};

struct Monitor {
  std::deque<HotplugEvent> events;
  bool woken = false;
};

// "/dev/hidraw<n>" with n = link * 4 + index + 1.
std::string node_path(int link, int index) { return "/dev/hidraw" + std::to_string(link * kNodesPerLink + index + 1); }

bool parse_path(const char* path, Node& node) {
  int n = 0;
  char rest = 0;
  if (path == nullptr || std::sscanf(path, "/dev/hidraw%d%c", &n, &rest) != 1 || n < 1) return false;
  node.link = (n - 1) / kNodesPerLink;
  node.index = (n - 1) % kNodesPerLink;
  return node.link <= VM_LINK_8K && node.index < vm_hid_interface_count(node.link);
}

class VirtualHid {
 public:
  static VirtualHid& instance() {
    static VirtualHid hid;
    return hid;
  }

  hid_device_info* enumerate(unsigned short vendor_id, unsigned short product_id) {
    hid_device_info* head = nullptr;
    hid_device_info** tail = &head;
    for (int link = VM_LINK_CABLE; link <= VM_LINK_8K; ++link) {
      const vmouse::LinkIdentity id = vmouse::link_identity(link);
      if (id.vendor_id != vendor_id || id.product_id != product_id || !vm_plugged(link)) continue;
      for (int index = 0; index < vm_hid_interface_count(link); ++index) {
        auto* info = new hid_device_info{};
        info->path = strdup(node_path(link, index).c_str());
        info->vendor_id = vendor_id;
        info->product_id = product_id;
        info->interface_number = vm_hid_interface_number(link, index);
        *tail = info;
        tail = &info->next;
      }
    }
    return head;
  }

  hid_device* open(const char* path) {
    Node node;
    if (!parse_path(path, node) || !vm_plugged(node.link) || vm_open_refused(node.link) != 0) return nullptr;
    std::lock_guard lock(mutex_);
    handles_.push_back(std::make_unique<Handle>());
    handles_.back()->node = node;
    return reinterpret_cast<hid_device*>(handles_.back().get());
  }

  void close(hid_device* device) {
    std::lock_guard lock(mutex_);
    auto* h = reinterpret_cast<Handle*>(device);
    h->closed = true;
    h->input.clear();
    changed_.notify_all();
  }

  int transfer(hid_device* device, int kind, const unsigned char* data, size_t length) {
    Node node;
    {
      std::lock_guard lock(mutex_);
      const auto* h = reinterpret_cast<Handle*>(device);
      if (h->closed || h->gone) return -1;
      node = h->node;
    }
    // No lock held: the mouse may answer at once through on_input.
    return vm_hid_transfer(node.link, node.index, kind, data, static_cast<int>(length));
  }

  int read(hid_device* device, unsigned char* data, size_t length, int ms) {
    std::unique_lock lock(mutex_);
    auto* h = reinterpret_cast<Handle*>(device);
    if (ms != 0) {
      changed_.wait_for(lock, kStuckLimit,
                        [&] { return !h->input.empty() || h->interrupted || h->closed || h->gone; });
    }
    h->interrupted = false;
    if (h->input.empty()) return h->gone ? -1 : 0;
    const std::vector<uint8_t> report = std::move(h->input.front());
    h->input.pop_front();
    const size_t n = std::min(length, report.size());
    std::memcpy(data, report.data(), n);
    return static_cast<int>(n);
  }

  void interrupt(hid_device* device) {
    std::lock_guard lock(mutex_);
    reinterpret_cast<Handle*>(device)->interrupted = true;
    changed_.notify_all();
  }

  int open_error(const char* path) {
    Node node;
    if (!parse_path(path, node) || !vm_plugged(node.link)) return ENOENT;
    return vm_open_refused(node.link);
  }

  void* monitor_open() {
    std::lock_guard lock(mutex_);
    monitors_.push_back(std::make_unique<Monitor>());
    return monitors_.back().get();
  }

  int monitor_wait(void* monitor, HotplugEvent* event) {
    auto* m = static_cast<Monitor*>(monitor);
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, kStuckLimit, [&] { return !m->events.empty() || m->woken; });
    if (m->woken) {
      m->woken = false;
      return 0;
    }
    if (m->events.empty()) return 0;
    *event = m->events.front();
    m->events.pop_front();
    return 1;
  }

  void monitor_wake(void* monitor) {
    std::lock_guard lock(mutex_);
    static_cast<Monitor*>(monitor)->woken = true;
    changed_.notify_all();
  }

  void monitor_close(void* monitor) {
    std::lock_guard lock(mutex_);
    std::erase_if(monitors_, [&](const auto& m) { return m.get() == monitor; });
  }

 private:
  VirtualHid() { vm_set_hid_listener(&VirtualHid::on_input, &VirtualHid::on_plug, this); }

  static void on_input(void* context, int link, int index, const uint8_t* report, int length) {
    auto* self = static_cast<VirtualHid*>(context);
    std::lock_guard lock(self->mutex_);
    for (const auto& h : self->handles_) {
      if (!h->closed && h->node.link == link && h->node.index == index) h->input.emplace_back(report, report + length);
    }
    self->changed_.notify_all();
  }

  static void on_plug(void* context, int link, int plugged) {
    auto* self = static_cast<VirtualHid*>(context);
    const vmouse::LinkIdentity id = vmouse::link_identity(link);
    std::lock_guard lock(self->mutex_);
    if (!plugged) {
      for (const auto& h : self->handles_) {
        if (h->node.link == link) h->gone = true;
      }
    }
    for (int index = 0; index < vm_hid_interface_count(link); ++index) {
      HotplugEvent event;
      event.action = plugged ? HotplugEvent::kAdd : HotplugEvent::kRemove;
      const std::string devnode = node_path(link, index);
      std::snprintf(event.devnode, sizeof event.devnode, "%s", devnode.c_str());
      std::snprintf(event.devpath, sizeof event.devpath, "/devices/virtual/vmouse/0003:%04X:%04X.%04X/hidraw/%s",
                    static_cast<unsigned>(id.vendor_id), static_cast<unsigned>(id.product_id),
                    static_cast<unsigned>(link * kNodesPerLink + index + 1), devnode.c_str() + 5);
      for (auto& monitor : self->monitors_) monitor->events.push_back(event);
    }
    self->changed_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::unique_ptr<Handle>> handles_;  // kept after closing: a late use is not a crash
  std::vector<std::unique_ptr<Monitor>> monitors_;
};

VirtualHid& hid() { return VirtualHid::instance(); }

int init() { return 0; }
hid_device_info* enumerate(unsigned short vendor_id, unsigned short product_id) {
  return hid().enumerate(vendor_id, product_id);
}
void free_enumeration(hid_device_info* list) {
  while (list != nullptr) {
    hid_device_info* next = list->next;
    free(list->path);
    delete list;
    list = next;
  }
}
hid_device* open_path(const char* path) { return hid().open(path); }
void close(hid_device* device) { hid().close(device); }
int send_feature_report(hid_device* device, const unsigned char* data, size_t length) {
  return hid().transfer(device, VM_HID_FEATURE, data, length);
}
// The mouse has no feature report to read back.
int get_feature_report(hid_device*, unsigned char*, size_t) { return -1; }
int write(hid_device* device, const unsigned char* data, size_t length) {
  return hid().transfer(device, VM_HID_OUTPUT, data, length);
}
int read_timeout(hid_device* device, unsigned char* data, size_t length, int ms) {
  return hid().read(device, data, length, ms);
}
void interrupt_read(hid_device* device) { hid().interrupt(device); }
int report_descriptor(const char* path, unsigned char* buffer, size_t size) {
  Node node;
  if (!parse_path(path, node)) return -1;
  return vm_hid_report_descriptor(node.link, node.index, buffer, static_cast<int>(size));
}
int open_error(const char* path) { return hid().open_error(path); }
void* monitor_open() { return hid().monitor_open(); }
int monitor_wait(void* monitor, HotplugEvent* event) { return hid().monitor_wait(monitor, event); }
void monitor_wake(void* monitor) { hid().monitor_wake(monitor); }
void monitor_close(void* monitor) { hid().monitor_close(monitor); }

}  // namespace

const HidBackend& driver_backend() {
  static const HidBackend backend = {
      init,          enumerate,         free_enumeration, open_path,    close,        send_feature_report,
      get_feature_report, write,        read_timeout,     interrupt_read, report_descriptor, open_error,
      monitor_open,  monitor_wait,      monitor_wake,     monitor_close,
  };
  return backend;
}

}  // namespace norvane::hiddriver
