#pragma once
// One vendor driver library over hidapi: the device with the vendor and
// product id it was given, its hot-plug monitor, its feature channel, (8 kHz)
// its report channel, and readers that turn the device's event reports into
// event messages. The library's exported entry points forward to one HidDriver.
//
// The device has several hidraw nodes (one per top-level interface); each role
// gets its node from the nodes' report descriptors (hid_roles.h): the feature
// channel the node declaring the program's feature reports, the report channel
// the node with a 64-byte output report, a reader every node that may carry
// events. Every open reads the descriptors anew and traces the choice when it
// changed. Reports are put into the buffer hidraw expects (report ID in front,
// padded to the report's declared length) before they are written.
//
// Threads: the program opens and closes on its UI thread and writes on its
// worker thread, possibly at the same moment. Opening and closing are
// serialised by `open_close_mutex_`; each channel's handle is guarded by its own
// mutex, so a write either completes on an open handle or finds none and
// returns 0. The monitor thread and the reader threads post messages under
// `post_mutex_`, which Close_DevMonitor also takes, so no post outlives
// Close_DevMonitor. Trace lines may come from any of these threads.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "drivers/driver_api.h"
#include "drivers/hidapi/hid_backend.h"
#include "drivers/hidapi/hid_roles.h"

namespace norvane::hiddriver {

class HidDriver {
 public:
  // How long a reader waits before it reads again after a failed read.
  static constexpr std::chrono::milliseconds kDefaultRetryPause{100};

  explicit HidDriver(const HidBackend& backend, std::chrono::milliseconds retry_pause = kDefaultRetryPause);
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
  int open_error() const { return open_error_.load(); }
  void set_trace_target(const NvTraceTarget* target);

  // How long a reader waits in one read before it looks at its stop flag.
  static constexpr int kReaderPollMs = 100;
  // Consecutive failed reads after which a reader on a node still there gives up.
  static constexpr int kReaderMaxFailures = 50;
  // Input reports of unknown shape traced per reader, so a first contact with a
  // new device shows their format without flooding the trace.
  static constexpr int kUnknownReportsTraced = 8;

 private:
  struct Scan {
    std::vector<HidNode> nodes;
    NodeRoles roles;
  };
  struct Channel {
    hid_device* device = nullptr;
    ReportDescriptor descriptor;
    std::string path;
  };
  struct Reader {
    std::string path;
    hid_device* device = nullptr;
    std::thread thread;
    int unknown_traced = 0;
  };

  bool ensure_init();
  Scan scan();
  std::set<std::string> present_nodes();
  // Opens `node` for `channel`'s role; on failure records why in open_error_.
  hid_device* open_node(const HidNode& node, const char* role);
  void start_readers(const Scan& scan);
  void stop_readers();
  void stop_readers_when_closed();
  void stop_monitor_locked();
  void close_feature_locked();
  void close_report_locked();
  void run_monitor(void* monitor, std::set<std::string> present);
  void run_reader(Reader* reader);
  bool pause_before_retry();
  void handle_input(Reader& reader, const unsigned char* report, size_t length);
  int write_framed(Channel& channel, ReportKind kind, const unsigned char* data, int length);
  void post_link(bool arrived);
  void post_event(const uint8_t* event);
  void trace(const char* format, ...) __attribute__((format(printf, 2, 3)));

  const HidBackend& hid_;
  const std::chrono::milliseconds retry_pause_;
  std::atomic<int> vendor_id_{0};
  std::atomic<int> product_id_{0};
  std::once_flag init_once_;
  bool init_ok_ = false;
  std::atomic<int> open_error_{0};

  std::mutex trace_mutex_;  // the trace target and the last choice traced
  NvTraceTarget trace_target_{};
  bool has_trace_target_ = false;
  std::string last_choice_traced_;

  std::mutex post_mutex_;  // the target below, held while posting
  bool has_target_ = false;
  NvPostTarget target_{};
  uint32_t event_message_ = 0;
  uint32_t link_message_ = 0;

  std::mutex monitor_mutex_;  // opening and closing the monitor
  void* monitor_ = nullptr;
  std::thread monitor_thread_;
  std::atomic<bool> monitor_stop_{false};

  std::mutex open_close_mutex_;  // every open and close of a channel and the readers

  std::mutex feature_mutex_;  // the feature channel
  Channel feature_;

  std::mutex report_mutex_;  // the 8 kHz report channel
  Channel report_;

  std::vector<std::unique_ptr<Reader>> readers_;  // under open_close_mutex_
  std::mutex reader_stop_mutex_;
  std::condition_variable reader_stop_changed_;
  bool readers_stop_ = false;  // under reader_stop_mutex_
};

}  // namespace norvane::hiddriver
