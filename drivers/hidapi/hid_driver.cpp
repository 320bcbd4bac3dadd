#include "drivers/hidapi/hid_driver.h"

#include <pthread.h>

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <span>

#include "drivers/hidapi/hid_device_match.h"

namespace norvane::hiddriver {

namespace {

// The longest input report a reader takes in one read; longer ones are cut.
constexpr size_t kInputReportMax = 1025;
// Bytes of an unknown input report shown in its trace line.
constexpr size_t kTracedBytes = 16;

// Signals go to other threads: a signal arriving in a driver thread would end its
// poll early with an error that looks like a lost device. Faults raised by the
// thread itself stay deliverable.
void block_async_signals() {
  sigset_t set;
  sigfillset(&set);
  for (int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT}) sigdelset(&set, fault);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

bool node_gone(int error) { return error == ENOENT || error == ENODEV || error == ENXIO; }

std::string hex_bytes(const unsigned char* bytes, size_t length, size_t limit) {
  std::string text;
  for (size_t i = 0; i < length && i < limit; ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, i == 0 ? "%02x" : " %02x", bytes[i]);
    text += byte;
  }
  if (length > limit) text += " ...";
  return text;
}

}  // namespace

HidDriver::HidDriver(const HidBackend& backend, std::chrono::milliseconds retry_pause)
    : hid_(backend), retry_pause_(retry_pause) {}

HidDriver::~HidDriver() {
  close_monitor();
  close_feature();
  close_report();
}

bool HidDriver::ensure_init() {
  std::call_once(init_once_, [this] {
    init_ok_ = hid_.init() == 0;
    if (!init_ok_) trace("hid_init failed");
  });
  return init_ok_;
}

int HidDriver::set_vidpid(int vendor_id, int product_id) {
  vendor_id_ = vendor_id & 0xFFFF;
  product_id_ = product_id & 0xFFFF;
  return 1;
}

void HidDriver::set_trace_target(const NvTraceTarget* target) {
  std::lock_guard lock(trace_mutex_);
  has_trace_target_ = target != nullptr && target->trace != nullptr;
  trace_target_ = has_trace_target_ ? *target : NvTraceTarget{};
}

void HidDriver::trace(const char* format, ...) {
  char text[768];
  const int prefix = std::snprintf(text, sizeof text, "hidapi %04x:%04x: ", static_cast<unsigned>(vendor_id_.load()),
                                   static_cast<unsigned>(product_id_.load()));
  va_list args;
  va_start(args, format);
  std::vsnprintf(text + prefix, sizeof text - static_cast<size_t>(prefix), format, args);
  va_end(args);
  std::lock_guard lock(trace_mutex_);
  if (has_trace_target_) trace_target_.trace(trace_target_.context, text);
}

// ---------------------------------------------------------------------------
// The device's nodes and their roles

HidDriver::Scan HidDriver::scan() {
  Scan result;
  const auto vendor = static_cast<uint16_t>(vendor_id_.load());
  const auto product = static_cast<uint16_t>(product_id_.load());
  // Without identifiers hidapi would list every device; there is nothing to find.
  if (!ensure_init() || (vendor == 0 && product == 0)) return result;
  hid_device_info* list = hid_.enumerate(vendor, product);
  std::set<std::string> seen;
  for (const hid_device_info* info = list; info != nullptr; info = info->next) {
    if (info->vendor_id != vendor || info->product_id != product || info->path == nullptr) continue;
    // hidapi 0.13 lists a node once per top-level collection; it is one node.
    if (!seen.insert(info->path).second) continue;
    HidNode node;
    node.path = info->path;
    node.interface_number = info->interface_number;
    unsigned char bytes[kMaxReportDescriptorBytes];
    const int length = hid_.report_descriptor(info->path, bytes, sizeof bytes);
    if (length < 0) {
      node.descriptor_error = "descriptor unreadable";
    } else {
      DescriptorParse parsed = parse_report_descriptor(std::span<const uint8_t>(bytes, static_cast<size_t>(length)));
      node.descriptor = std::move(parsed.descriptor);
      node.descriptor_error = std::move(parsed.error);
    }
    result.nodes.push_back(std::move(node));
  }
  hid_.free_enumeration(list);
  result.roles = choose_roles(result.nodes);

  // The choice is traced when it differs from the last one traced: each arrival
  // reopens the device, and the 8 kHz link opens both channels.
  std::string choice;
  for (const HidNode& node : result.nodes) choice += "node " + describe_node(node) + "\n";
  choice += "roles: " + describe_roles(result.nodes, result.roles);
  bool changed = false;
  {
    std::lock_guard lock(trace_mutex_);
    changed = choice != last_choice_traced_;
    if (changed) last_choice_traced_ = choice;
  }
  if (changed && !result.nodes.empty()) {
    size_t start = 0;
    while (start < choice.size()) {
      size_t end = choice.find('\n', start);
      if (end == std::string::npos) end = choice.size();
      trace("%s", choice.substr(start, end - start).c_str());
      start = end + 1;
    }
  }
  return result;
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

hid_device* HidDriver::open_node(const HidNode& node, const char* role) {
  hid_device* device = hid_.open_path(node.path.c_str());
  if (device != nullptr) return device;
  int error = hid_.open_error(node.path.c_str());
  // It opens now: the first attempt failed for a reason that has passed.
  if (error == 0) error = EIO;
  trace("cannot open %s for the %s: %s", node.path.c_str(), role, std::strerror(error));
  // A node that vanished meanwhile is the device leaving, not a failure to open it.
  if (!node_gone(error)) open_error_ = error;
  return nullptr;
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
  if (monitor == nullptr) {
    trace("the hot-plug monitor could not be opened");
    return 0;
  }
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
  block_async_signals();
  // The device counts as present while any of its hidraw nodes exists; the
  // program hears one arrival and one removal per device, not per interface.
  bool device_present = !present.empty();
  while (!monitor_stop_) {
    HotplugEvent event;
    const int result = hid_.monitor_wait(monitor, &event);
    if (result < 0) {
      trace("the hot-plug monitor failed; arrivals and removals are no longer seen");
      break;
    }
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

void HidDriver::post_event(const uint8_t* event) {
  std::lock_guard lock(post_mutex_);
  if (!has_target_) return;
  const auto wparam = static_cast<uintptr_t>(event[0] | event[1] << 8);
  const auto lparam = static_cast<intptr_t>(event[2] | event[3] << 8);
  target_.post(target_.context, event_message_, wparam, lparam);
}

// ---------------------------------------------------------------------------
// Channels

int HidDriver::open_feature() {
  std::lock_guard open_lock(open_close_mutex_);
  {
    // The program reopens after every arrival without closing first: start fresh.
    std::lock_guard lock(feature_mutex_);
    close_feature_locked();
  }
  open_error_ = 0;
  const Scan found = scan();
  if (!found.roles.feature) {
    if (!found.nodes.empty()) trace("no node declares the feature reports; the feature channel stays closed");
    stop_readers_when_closed();
    return 0;
  }
  const HidNode& node = found.nodes[*found.roles.feature];
  hid_device* device = open_node(node, "feature channel");
  if (device == nullptr) {
    stop_readers_when_closed();
    return 0;
  }
  {
    std::lock_guard lock(feature_mutex_);
    feature_ = Channel{device, *node.descriptor, node.path};
  }
  // Events are read while a channel of the device is open.
  start_readers(found);
  return 1;
}

int HidDriver::close_feature() {
  std::lock_guard open_lock(open_close_mutex_);
  {
    std::lock_guard lock(feature_mutex_);
    close_feature_locked();
  }
  stop_readers_when_closed();
  return 1;
}

void HidDriver::close_feature_locked() {
  if (feature_.device == nullptr) return;
  hid_.close(feature_.device);
  feature_ = Channel{};
}

int HidDriver::open_report() {
  std::lock_guard open_lock(open_close_mutex_);
  {
    std::lock_guard lock(report_mutex_);
    close_report_locked();
  }
  open_error_ = 0;
  const Scan found = scan();
  if (!found.roles.report) {
    if (!found.nodes.empty()) trace("no node declares a 64-byte output report; the report channel stays closed");
    stop_readers_when_closed();
    return 0;
  }
  const HidNode& node = found.nodes[*found.roles.report];
  hid_device* device = open_node(node, "report channel");
  if (device == nullptr) {
    stop_readers_when_closed();
    return 0;
  }
  {
    std::lock_guard lock(report_mutex_);
    report_ = Channel{device, *node.descriptor, node.path};
  }
  start_readers(found);
  return 1;
}

int HidDriver::close_report() {
  std::lock_guard open_lock(open_close_mutex_);
  {
    std::lock_guard lock(report_mutex_);
    close_report_locked();
  }
  stop_readers_when_closed();
  return 1;
}

void HidDriver::close_report_locked() {
  if (report_.device == nullptr) return;
  hid_.close(report_.device);
  report_ = Channel{};
}

int HidDriver::write_framed(Channel& channel, ReportKind kind, const unsigned char* data, int length) {
  const FramedReport framed =
      frame_report(channel.descriptor, kind, std::span<const uint8_t>(data, static_cast<size_t>(length)));
  if (!framed.ok()) {
    trace("%s not sent on %s: %s", report_kind_name(kind), channel.path.c_str(), framed.error.c_str());
    return 0;
  }
  const int written = kind == ReportKind::feature
                          ? hid_.send_feature_report(channel.device, framed.bytes.data(), framed.bytes.size())
                          : hid_.write(channel.device, framed.bytes.data(), framed.bytes.size());
  if (written < 0) {
    trace("%s report 0x%02x of %zu bytes failed on %s", report_kind_name(kind), framed.bytes[0], framed.bytes.size(),
          channel.path.c_str());
    return 0;
  }
  return written;
}

int HidDriver::set_feature(const unsigned char* data, int length) {
  if (data == nullptr || length <= 0) return 0;
  std::lock_guard lock(feature_mutex_);
  if (feature_.device == nullptr) return 0;
  return write_framed(feature_, ReportKind::feature, data, length);
}

int HidDriver::get_feature(unsigned char* data, int length) {
  if (data == nullptr || length <= 0) return 0;
  std::lock_guard lock(feature_mutex_);
  if (feature_.device == nullptr) return 0;
  const int read = hid_.get_feature_report(feature_.device, data, static_cast<size_t>(length));
  return read > 0 ? read : 0;
}

int HidDriver::write_report(const unsigned char* data, int length) {
  if (data == nullptr || length <= 0) return 0;
  std::lock_guard lock(report_mutex_);
  if (report_.device == nullptr) return 0;
  return write_framed(report_, ReportKind::output, data, length);
}

int HidDriver::read_report(unsigned char* data, int length) {
  if (data == nullptr || length <= 0) return 0;
  std::lock_guard lock(report_mutex_);
  if (report_.device == nullptr) return 0;
  // Never blocks: a waiting read would hold up writes on the same channel.
  const int read = hid_.read_timeout(report_.device, data, static_cast<size_t>(length), 0);
  return read > 0 ? read : 0;
}

// ---------------------------------------------------------------------------
// Readers

void HidDriver::start_readers(const Scan& found) {
  // Readers already on exactly these nodes keep reading.
  std::set<std::string> wanted;
  for (size_t index : found.roles.readers) wanted.insert(found.nodes[index].path);
  std::set<std::string> running;
  for (const auto& reader : readers_) running.insert(reader->path);
  if (wanted == running) return;
  stop_readers();
  {
    std::lock_guard lock(reader_stop_mutex_);
    readers_stop_ = false;
  }
  for (size_t index : found.roles.readers) {
    const HidNode& node = found.nodes[index];
    // Each reader has a handle of its own: hidraw gives every open handle a copy
    // of each input report, and no hidapi handle is shared between threads.
    hid_device* device = open_node(node, "event reader");
    if (device == nullptr) continue;
    auto reader = std::make_unique<Reader>();
    reader->path = node.path;
    reader->device = device;
    reader->thread = std::thread(&HidDriver::run_reader, this, reader.get());
    readers_.push_back(std::move(reader));
  }
}

void HidDriver::stop_readers() {
  if (readers_.empty()) return;
  {
    std::lock_guard lock(reader_stop_mutex_);
    readers_stop_ = true;
  }
  reader_stop_changed_.notify_all();
  for (const auto& reader : readers_) hid_.interrupt_read(reader->device);
  for (const auto& reader : readers_) {
    if (reader->thread.joinable()) reader->thread.join();
    hid_.close(reader->device);
  }
  readers_.clear();
}

void HidDriver::stop_readers_when_closed() {
  bool any_open = false;
  {
    std::lock_guard lock(feature_mutex_);
    any_open = feature_.device != nullptr;
  }
  {
    std::lock_guard lock(report_mutex_);
    any_open = any_open || report_.device != nullptr;
  }
  if (!any_open) stop_readers();
}

bool HidDriver::pause_before_retry() {
  std::unique_lock lock(reader_stop_mutex_);
  reader_stop_changed_.wait_for(lock, retry_pause_, [this] { return readers_stop_; });
  return !readers_stop_;
}

void HidDriver::run_reader(Reader* reader) {
  block_async_signals();
  unsigned char report[kInputReportMax];
  int failures = 0;
  for (;;) {
    {
      std::lock_guard lock(reader_stop_mutex_);
      if (readers_stop_) return;
    }
    const int length = hid_.read_timeout(reader->device, report, sizeof report, kReaderPollMs);
    if (length >= 0) {
      failures = 0;
      if (length > 0) handle_input(*reader, report, static_cast<size_t>(length));
      continue;
    }
    // A failed read ends the reader only when the device is gone; otherwise it
    // reads again after a pause, for a while.
    const int error = hid_.open_error(reader->path.c_str());
    if (node_gone(error)) return;
    if (++failures >= kReaderMaxFailures) {
      trace("reader on %s stops after %d failed reads", reader->path.c_str(), failures);
      return;
    }
    if (!pause_before_retry()) return;
  }
}

void HidDriver::handle_input(Reader& reader, const unsigned char* report, size_t length) {
  const InputReading reading = read_input_report(std::span<const uint8_t>(report, length));
  if (reading.shape == InputReading::bare_event || reading.shape == InputReading::framed_event) {
    post_event(reading.event.data());
    return;
  }
  if (reader.unknown_traced >= kUnknownReportsTraced) return;
  ++reader.unknown_traced;
  const char* what = reading.shape == InputReading::bad_sum ? "framed input report with a wrong sum"
                                                           : "input report of unknown shape";
  trace("%s on %s, %zu bytes: %s%s", what, reader.path.c_str(), length, hex_bytes(report, length, kTracedBytes).c_str(),
        reader.unknown_traced == kUnknownReportsTraced ? " (no more are traced from this node)" : "");
}

}  // namespace norvane::hiddriver
