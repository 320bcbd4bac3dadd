#pragma once
// A double of hidapi, sysfs and the libudev monitor for the hidapi driver:
// nodes that can be listed with their interface number and report descriptor,
// opened (or refused), written and read, input reports pushed to open handles,
// and hot-plug events queued for the monitor. Like the kernel it checks what
// it is sent against the node's descriptor: a transfer whose report ID or
// length the node does not declare fails and is counted. Handles are kept
// after closing so a use after close is counted instead of crashing.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "built_descriptor.h"
#include "drivers/hidapi/hid_backend.h"

class FakeHid {
 public:
  using Bytes = std::vector<uint8_t>;
  struct Transfer {
    std::string path;
    Bytes bytes;
  };

  // The backend table; one FakeHid serves it at a time.
  static norvane::hiddriver::HidBackend backend();
  FakeHid();
  ~FakeHid();

  void add_interface(const std::string& path, uint16_t vendor_id, uint16_t product_id,
                     int interface_number, BuiltDescriptor descriptor);
  void remove_interface(const std::string& path);
  // Opening `path` fails with `error` (0 lets it open again).
  void refuse_open(const std::string& path, int error);
  // Its report descriptor cannot be read.
  void hide_descriptor(const std::string& path);
  void hotplug(norvane::hiddriver::HotplugEvent::Action action, const std::string& devnode,
               const std::string& devpath);
  // An input report to every open handle of `path`.
  void input(const std::string& path, const Bytes& report);
  // Makes every read on `path` fail from now on, as when the device is pulled out.
  void fail_reads(const std::string& path);
  // Makes the next read on each open handle of `path` fail once.
  void fail_next_read(const std::string& path);

  std::vector<Transfer> features_sent();
  std::vector<Transfer> writes();
  int open_handles();
  int open_handles(const std::string& path);
  // Transfers on a closed handle, and closes during a transfer.
  int use_after_close();
  // Transfers refused because the node declares no such report or length.
  int malformed_transfers();

 private:
  struct Interface {
    std::string path;
    uint16_t vendor_id, product_id;
    int interface_number;
    BuiltDescriptor descriptor;
    int open_error = 0;
    bool descriptor_hidden = false;
  };
  struct Handle {
    std::string path;
    bool closed = false;
    bool interrupted = false;
    bool failed = false;
    bool fail_once = false;
    int in_flight = 0;
    std::deque<Bytes> input;
  };
  struct Monitor {
    std::deque<norvane::hiddriver::HotplugEvent> events;
    bool woken = false;
  };

  static FakeHid* current_;
  static int init();
  static hid_device_info* enumerate(unsigned short vendor_id, unsigned short product_id);
  static void free_enumeration(hid_device_info* list);
  static hid_device* open_path(const char* path);
  static void close(hid_device* device);
  static int send_feature_report(hid_device* device, const unsigned char* data, size_t length);
  static int get_feature_report(hid_device* device, unsigned char* data, size_t length);
  static int write(hid_device* device, const unsigned char* data, size_t length);
  static int read_timeout(hid_device* device, unsigned char* data, size_t length, int ms);
  static void interrupt_read(hid_device* device);
  static int report_descriptor(const char* path, unsigned char* buffer, size_t size);
  static int open_error(const char* path);
  static void* monitor_open();
  static int monitor_wait(void* monitor, norvane::hiddriver::HotplugEvent* event);
  static void monitor_wake(void* monitor);
  static void monitor_close(void* monitor);

  Handle* handle(hid_device* device);
  const Interface* interface(const std::string& path) const;
  // True when `data` is a report of `kind` the handle's node declares, in full.
  bool declared(const Handle& h, norvane::hiddriver::ReportKind kind, const unsigned char* data,
                size_t length) const;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Interface> interfaces_;
  std::vector<std::unique_ptr<Handle>> handles_;
  std::vector<std::unique_ptr<Monitor>> monitors_;
  std::vector<Transfer> features_;
  std::vector<Transfer> writes_;
  int use_after_close_ = 0;
  int malformed_ = 0;
};
