#pragma once
// The operating-system calls of the hidapi driver libraries, as a table of
// function pointers: hidapi for the device itself, a libudev monitor of
// hidraw nodes for arrival and removal. Tests put a double in its place.

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

  // Hot-plug monitor of hidraw nodes.
  void* (*monitor_open)();
  // Waits for the next event: 1 = `event` filled, 0 = woken (or nothing
  // usable arrived), -1 = the monitor failed.
  int (*monitor_wait)(void* monitor, HotplugEvent* event);
  // Makes a monitor_wait return 0.
  void (*monitor_wake)(void* monitor);
  void (*monitor_close)(void* monitor);
};

// hidapi (hidraw back end) and libudev.
const HidBackend& system_hid_backend();

}  // namespace norvane::hiddriver
