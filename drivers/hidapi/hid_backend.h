#pragma once
// The operating-system calls of the hidapi driver libraries, as a table of
// function pointers: hidapi for the device itself, the node's report
// descriptor and access from sysfs and devfs, a libudev monitor of hidraw
// nodes for arrival and removal. Tests put a double in its place.

#include <hidapi/hidapi.h>

#include <cstddef>

namespace norvane::hiddriver {

struct HotplugEvent {
  enum Action { kOther, kAdd, kRemove };
  Action action = kOther;
  char devnode[64] = {};   // e.g. "/dev/hidraw3", the path hidapi opens
  char devpath[512] = {};  // sysfs path of the hidraw node
};

struct HidBackend {
  // hidapi
  int (*init)();
  hid_device_info* (*enumerate)(unsigned short vendor_id, unsigned short product_id);
  void (*free_enumeration)(hid_device_info* list);
  hid_device* (*open_path)(const char* path);
  void (*close)(hid_device* device);
  int (*send_feature_report)(hid_device* device, const unsigned char* data, size_t length);
  int (*get_feature_report)(hid_device* device, unsigned char* data, size_t length);
  int (*write)(hid_device* device, const unsigned char* data, size_t length);
  int (*read_timeout)(hid_device* device, unsigned char* data, size_t length, int milliseconds);
  // Makes a read_timeout waiting on `device` return early. hidapi has no such
  // call; its reads end within their timeout instead.
  void (*interrupt_read)(hid_device* device);

  // The report descriptor of the node at `path` (hidraw: sysfs
  // class/hidraw/<node>/device/report_descriptor, readable by everyone): the
  // number of bytes copied into `buffer`, or -1 when it cannot be read.
  int (*report_descriptor)(const char* path, unsigned char* buffer, size_t size);
  // Whether the node at `path` opens for reading and writing now: 0 when it
  // does, else the errno of the attempt (ENOENT once the node is gone).
  int (*open_error)(const char* path);

  // Hot-plug monitor of hidraw nodes.
  void* (*monitor_open)();
  // Waits for the next event: 1 = `event` filled, 0 = woken (or nothing
  // usable arrived), -1 = the monitor failed.
  int (*monitor_wait)(void* monitor, HotplugEvent* event);
  // Makes a monitor_wait return 0.
  void (*monitor_wake)(void* monitor);
  void (*monitor_close)(void* monitor);
};

// Largest report descriptor the kernel keeps (HID_MAX_DESCRIPTOR_SIZE).
inline constexpr size_t kMaxReportDescriptorBytes = 4096;

// hidapi (hidraw back end), sysfs and libudev.
const HidBackend& system_hid_backend();

// The table the library's exported entry points use: system_hid_backend() in
// the shipped libraries, a double in the test builds of them.
const HidBackend& driver_backend();

}  // namespace norvane::hiddriver
