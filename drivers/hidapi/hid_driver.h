#pragma once
// One vendor driver library over hidapi: the device with the vendor and
// product id it was given, its hot-plug monitor, its feature channel with an
// event reader, and (8 kHz) its report channel. The library's exported entry
// points forward to one HidDriver.
//
// Threads: the program opens and closes on its UI thread and writes on its
// worker thread, possibly at the same moment. Each channel's handle is
// guarded by its own mutex, so a write either completes on an open handle or
// finds none and returns 0. The monitor thread and the reader thread post
// messages under `post_mutex_`, which Close_DevMonitor also takes, so no post
// outlives Close_DevMonitor.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "drivers/driver_api.h"
#include "drivers/hidapi/hid_backend.h"

namespace norvane::hiddriver {

class HidDriver {
 public:
  explicit HidDriver(const HidBackend& backend);
  ~HidDriver();
  HidDriver(const HidDriver&) = delete;
  HidDriver& operator=(const HidDriver&) = delete;

  int set_vidpid(int vendor_id, int product_id);
  int open_monitor(const NvPostTarget* target, uint32_t event_message, uint32_t link_message);
  int close_monitor();
  int open_feature();
  int close_feature();
  int set_feature(const unsigned char* data, int length);
  int get_feature(unsigned char* data, int length);
  int open_report();
  int close_report();
  int write_report(const unsigned char* data, int length);
  int read_report(unsigned char* data, int length);

  // How long the reader waits in one read before it looks at its stop flag.
  static constexpr int kReaderPollMs = 100;

 private:
  bool ensure_init();
  std::string vendor_interface_path();
  std::set<std::string> present_nodes();
  void stop_monitor_locked();
  void close_feature_locked();
  void close_report_locked();
  void run_monitor(void* monitor, std::set<std::string> present);
  void run_reader(hid_device* device);
  void post_link(bool arrived);
  void post_event(const unsigned char* report);

  const HidBackend& hid_;
  std::atomic<int> vendor_id_{0};
  std::atomic<int> product_id_{0};
  std::once_flag init_once_;
  bool init_ok_ = false;

  std::mutex post_mutex_;  // the target below, held while posting
  bool has_target_ = false;
  NvPostTarget target_{};
  uint32_t event_message_ = 0;
  uint32_t link_message_ = 0;

  std::mutex monitor_mutex_;  // opening and closing the monitor
  void* monitor_ = nullptr;
  std::thread monitor_thread_;
  std::atomic<bool> monitor_stop_{false};

  std::mutex feature_mutex_;  // the feature handle and the reader
  hid_device* feature_ = nullptr;
  hid_device* reader_device_ = nullptr;
  std::thread reader_thread_;
  std::atomic<bool> reader_stop_{false};

  std::mutex report_mutex_;  // the 8 kHz report handle
  hid_device* report_ = nullptr;
};

}  // namespace norvane::hiddriver
