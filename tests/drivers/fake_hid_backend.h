#pragma once
// A double of hidapi and the libudev monitor for the hidapi driver: devices
// that can be listed, opened and written, input reports pushed to open
// handles, and hot-plug events queued for the monitor. Handles are kept after
// closing so a use after close is counted instead of crashing.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

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
                     uint16_t usage_page);
  void remove_interface(const std::string& path);
  void hotplug(norvane::hiddriver::HotplugEvent::Action action, const std::string& devnode,
               const std::string& devpath);
  // An input report to every open handle of `path`.
  void input(const std::string& path, const Bytes& report);
  // Makes every waiting read on `path` fail, as when the device is pulled out.
  void fail_reads(const std::string& path);

  std::vector<Transfer> features_sent();
  std::vector<Transfer> writes();
  int open_handles();
  // Transfers on a closed handle, and closes during a transfer.
  int use_after_close();

 private:
  struct Interface {
    std::string path;
    uint16_t vendor_id, product_id, usage_page;
  };
  struct Handle {
    std::string path;
    bool closed = false;
    bool interrupted = false;
    bool failed = false;
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
  static void* monitor_open();
  static int monitor_wait(void* monitor, norvane::hiddriver::HotplugEvent* event);
  static void monitor_wake(void* monitor);
  static void monitor_close(void* monitor);

  Handle* handle(hid_device* device);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Interface> interfaces_;
  std::vector<std::unique_ptr<Handle>> handles_;
  std::vector<std::unique_ptr<Monitor>> monitors_;
  std::vector<Transfer> features_;
  std::vector<Transfer> writes_;
  int use_after_close_ = 0;
};
