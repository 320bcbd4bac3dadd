#include "drivers/hidapi/hid_driver.h"

#include "drivers/hidapi/hid_device_match.h"

namespace norvane::hiddriver {

namespace {

constexpr unsigned char kEventReportId = 0x09;
constexpr size_t kEventBytes = 4;
constexpr size_t kInputReportMax = 65;

}  // namespace

HidDriver::HidDriver(const HidBackend& backend) : hid_(backend) {}

HidDriver::~HidDriver() {
  close_monitor();
  close_feature();
  close_report();
}

bool HidDriver::ensure_init() {
  std::call_once(init_once_, [this] { init_ok_ = hid_.init() == 0; });
  return init_ok_;
}

int HidDriver::set_vidpid(int vendor_id, int product_id) {
  vendor_id_ = vendor_id & 0xFFFF;
  product_id_ = product_id & 0xFFFF;
  return 1;
}

std::string HidDriver::vendor_interface_path() {
  if (!ensure_init()) return {};
  const auto vendor = static_cast<uint16_t>(vendor_id_.load());
  const auto product = static_cast<uint16_t>(product_id_.load());
  // Without identifiers hidapi would list every device; there is nothing to find.
  if (vendor == 0 && product == 0) return {};
  hid_device_info* list = hid_.enumerate(vendor, product);
  std::string path = choose_vendor_interface(list, vendor, product);
  hid_.free_enumeration(list);
  return path;
}

std::set<std::string> HidDriver::present_nodes() {
  std::set<std::string> nodes;
  const auto vendor = static_cast<uint16_t>(vendor_id_.load());
  const auto product = static_cast<uint16_t>(product_id_.load());
  if (!ensure_init() || (vendor == 0 && product == 0)) return nodes;
  hid_device_info* list = hid_.enumerate(vendor, product);
  for (const hid_device_info* info = list; info != nullptr; info = info->next) {
    if (info->vendor_id == vendor && info->product_id == product && info->path != nullptr) {
      nodes.insert(info->path);
    }
  }
  hid_.free_enumeration(list);
  return nodes;
}

// ---------------------------------------------------------------------------
// Monitor

int HidDriver::open_monitor(const NvPostTarget* target, uint32_t event_message,
                            uint32_t link_message) {
  std::lock_guard lock(monitor_mutex_);
  stop_monitor_locked();
  {
    std::lock_guard post_lock(post_mutex_);
    has_target_ = target != nullptr && target->post != nullptr;
    target_ = has_target_ ? *target : NvPostTarget{};
    event_message_ = event_message;
    link_message_ = link_message;
  }
  void* monitor = hid_.monitor_open();
  if (monitor == nullptr) return 0;
  // Taken after the monitor is listening, so no arrival falls in between;
  // a device already there is not announced again.
  std::set<std::string> present = present_nodes();
  monitor_ = monitor;
  monitor_stop_ = false;
  monitor_thread_ = std::thread(&HidDriver::run_monitor, this, monitor, std::move(present));
  return 1;
}

int HidDriver::close_monitor() {
  std::lock_guard lock(monitor_mutex_);
  stop_monitor_locked();
  std::lock_guard post_lock(post_mutex_);
  has_target_ = false;
  target_ = NvPostTarget{};
  return 1;
}

void HidDriver::stop_monitor_locked() {
  if (monitor_ == nullptr) return;
  monitor_stop_ = true;
  hid_.monitor_wake(monitor_);
  if (monitor_thread_.joinable()) monitor_thread_.join();
  hid_.monitor_close(monitor_);
  monitor_ = nullptr;
}

void HidDriver::run_monitor(void* monitor, std::set<std::string> present) {
  // The device counts as present while any of its hidraw nodes exists; the
  // program hears one arrival and one removal per device, not per interface.
  bool device_present = !present.empty();
  while (!monitor_stop_) {
    HotplugEvent event;
    const int result = hid_.monitor_wait(monitor, &event);
    if (result < 0) break;
    if (result == 0 || monitor_stop_) continue;
    uint16_t vendor = 0;
    uint16_t product = 0;
    if (!hid_ids_from_devpath(event.devpath, vendor, product) || vendor != vendor_id_ ||
        product != product_id_) {
      continue;
    }
    if (event.action == HotplugEvent::kAdd) {
      present.insert(event.devnode);
      if (!device_present) {
        device_present = true;
        post_link(true);
      }
    } else if (event.action == HotplugEvent::kRemove) {
      present.erase(event.devnode);
      if (device_present && present.empty()) {
        device_present = false;
        post_link(false);
      }
    }
  }
}

void HidDriver::post_link(bool arrived) {
  std::lock_guard lock(post_mutex_);
  if (!has_target_) return;
  target_.post(target_.context, link_message_, arrived ? 1 : 0, 0);
}

void HidDriver::post_event(const unsigned char* report) {
  std::lock_guard lock(post_mutex_);
  if (!has_target_) return;
  const auto wparam = static_cast<uintptr_t>(report[0] | report[1] << 8);
  const auto lparam = static_cast<intptr_t>(report[2] | report[3] << 8);
  target_.post(target_.context, event_message_, wparam, lparam);
}

// ---------------------------------------------------------------------------
// Feature channel and event reader

int HidDriver::open_feature() {
  const std::string path = vendor_interface_path();
  std::lock_guard lock(feature_mutex_);
  // The program reopens after every arrival without closing first: start fresh.
  close_feature_locked();
  if (path.empty()) return 0;
  feature_ = hid_.open_path(path.c_str());
  if (feature_ == nullptr) return 0;
  // The reader has a handle of its own: hidraw gives every open handle a copy
  // of each input report, and no hidapi handle is shared between threads.
  reader_device_ = hid_.open_path(path.c_str());
  if (reader_device_ != nullptr) {
    reader_stop_ = false;
    reader_thread_ = std::thread(&HidDriver::run_reader, this, reader_device_);
  }
  return 1;
}

int HidDriver::close_feature() {
  std::lock_guard lock(feature_mutex_);
  close_feature_locked();
  return 1;
}

void HidDriver::close_feature_locked() {
  if (reader_device_ != nullptr) {
    reader_stop_ = true;
    hid_.interrupt_read(reader_device_);
    if (reader_thread_.joinable()) reader_thread_.join();
    hid_.close(reader_device_);
    reader_device_ = nullptr;
  }
  if (feature_ != nullptr) {
    hid_.close(feature_);
    feature_ = nullptr;
  }
}

void HidDriver::run_reader(hid_device* device) {
  unsigned char report[kInputReportMax];
  while (!reader_stop_) {
    const int length = hid_.read_timeout(device, report, sizeof report, kReaderPollMs);
    if (length < 0) break;  // the device is gone
    if (static_cast<size_t>(length) >= kEventBytes && report[0] == kEventReportId) {
      post_event(report);
    }
  }
}

int HidDriver::set_feature(const unsigned char* data, int length) {
  if (data == nullptr || length <= 0) return 0;
  std::lock_guard lock(feature_mutex_);
  if (feature_ == nullptr) return 0;
  const int written = hid_.send_feature_report(feature_, data, static_cast<size_t>(length));
  return written > 0 ? written : 0;
}

int HidDriver::get_feature(unsigned char* data, int length) {
  if (data == nullptr || length <= 0) return 0;
  std::lock_guard lock(feature_mutex_);
  if (feature_ == nullptr) return 0;
  const int read = hid_.get_feature_report(feature_, data, static_cast<size_t>(length));
  return read > 0 ? read : 0;
}

// ---------------------------------------------------------------------------
// Report channel (8 kHz)

int HidDriver::open_report() {
  const std::string path = vendor_interface_path();
  std::lock_guard lock(report_mutex_);
  close_report_locked();
  if (path.empty()) return 0;
  report_ = hid_.open_path(path.c_str());
  return report_ != nullptr ? 1 : 0;
}

int HidDriver::close_report() {
  std::lock_guard lock(report_mutex_);
  close_report_locked();
  return 1;
}

void HidDriver::close_report_locked() {
  if (report_ == nullptr) return;
  hid_.close(report_);
  report_ = nullptr;
}

int HidDriver::write_report(const unsigned char* data, int length) {
  if (data == nullptr || length <= 0) return 0;
  std::lock_guard lock(report_mutex_);
  if (report_ == nullptr) return 0;
  const int written = hid_.write(report_, data, static_cast<size_t>(length));
  return written > 0 ? written : 0;
}

int HidDriver::read_report(unsigned char* data, int length) {
  if (data == nullptr || length <= 0) return 0;
  std::lock_guard lock(report_mutex_);
  if (report_ == nullptr) return 0;
  // Never blocks: a waiting read would hold up writes on the same channel.
  const int read = hid_.read_timeout(report_, data, static_cast<size_t>(length), 0);
  return read > 0 ? read : 0;
}

}  // namespace norvane::hiddriver
