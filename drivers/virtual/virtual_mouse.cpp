#include "drivers/virtual/virtual_mouse.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "drivers/mouse_ids.h"
#include "drivers/virtual/control_service.h"

namespace norvane::vmouse {

namespace {

constexpr uint8_t kEventReport = 0x09;
constexpr uint8_t kEventDpiLevel = 0x10;
constexpr uint8_t kEventPollingRate = 0x20;
constexpr uint8_t kEventBattery = 0x40;
constexpr uint8_t kEventAck = 0x50;
constexpr uint8_t kEventLightingMode = 0x70;

constexpr uint8_t kBatteryOnBattery = 0;
constexpr uint8_t kBatteryFull = 2;
constexpr uint8_t kBatteryCharging = 3;

constexpr int kFactoryBatteryLevel = 80;

int64_t steady_now_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

LinkIdentity link_identity(int link) {
  switch (link) {
    case VM_LINK_CABLE: return {mouse_ids::kUsbVendor, mouse_ids::kCableProduct};
    case VM_LINK_24G: return {mouse_ids::kUsbVendor, mouse_ids::kReceiverProduct};
    case VM_LINK_8K: return {mouse_ids::kUsbVendor, mouse_ids::kReceiver8kProduct};
    default: return {mouse_ids::kBleVendor, mouse_ids::kBleProduct};
  }
}

int parse_link_name(std::string_view name) {
  const std::string n = lower(name);
  if (n == "cable" || n == "wired" || n == "usb") return VM_LINK_CABLE;
  if (n == "2.4" || n == "2.4g" || n == "2.4ghz" || n == "24g" || n == "wireless") {
    return VM_LINK_24G;
  }
  if (n == "8k" || n == "8khz") return VM_LINK_8K;
  if (n == "ble" || n == "bt" || n == "bluetooth") return VM_LINK_BLE;
  return -1;
}

const char* link_name(int link) {
  switch (link) {
    case VM_LINK_CABLE: return "cable";
    case VM_LINK_24G: return "2.4";
    case VM_LINK_8K: return "8k";
    case VM_LINK_BLE: return "ble";
    default: return "none";
  }
}

uint32_t parse_link_list(std::string_view text, bool& ok) {
  ok = true;
  uint32_t mask = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find_first_of(", ", pos);
    const std::string_view word =
        text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
    if (!word.empty() && lower(word) != "none") {
      const int link = parse_link_name(word);
      if (link < 0) {
        ok = false;
      } else {
        mask |= VM_LINK_BIT(link);
      }
    }
    if (end == std::string_view::npos) break;
    pos = end + 1;
  }
  return mask;
}

StartupConfig read_startup_config() {
  StartupConfig config;
  if (const char* links = std::getenv("NORVANE_VIRTUAL_MOUSE_LINKS"); links != nullptr && *links) {
    bool ok = false;
    const uint32_t mask = parse_link_list(links, ok);
    if (ok) config.links = mask;
  }
  if (const char* period = std::getenv("NORVANE_VIRTUAL_MOUSE_BATTERY_PERIOD_MS");
      period != nullptr && *period) {
    char* end = nullptr;
    const long value = std::strtol(period, &end, 10);
    if (end != period && *end == '\0' && value >= 0 && value <= 3600000) {
      config.battery_period_ms = static_cast<int>(value);
    }
  }
  if (const char* realtime = std::getenv("NORVANE_VIRTUAL_MOUSE_REALTIME"); realtime != nullptr) {
    config.realtime = std::strcmp(realtime, "0") != 0;
  }
  if (const char* socket = std::getenv("NORVANE_VIRTUAL_MOUSE_SOCKET"); socket != nullptr) {
    config.socket_path = socket;
  }
  return config;
}

VirtualMouse::VirtualMouse(const StartupConfig& config)
    : config_(config), realtime_(config.realtime) {
  now_ = steady_now_ms;
  plugged_ = config.links;
  battery_period_ms_ = config.battery_period_ms;
  next_battery_ms_ = now_() + battery_period_ms_;
  service_ = std::make_unique<ControlService>(*this, config.socket_path);
}

VirtualMouse::~VirtualMouse() {
  // The service thread calls into the mouse: stop it while the mouse is whole.
  service_.reset();
}

VirtualMouse& VirtualMouse::instance() {
  static VirtualMouse mouse(read_startup_config());
  return mouse;
}

// ---------------------------------------------------------------------------
// Driver library side

void VirtualMouse::set_vidpid(int link, int vendor_id, int product_id) {
  if (!library_link(link)) return;
  std::lock_guard lock(mutex_);
  identity_[static_cast<size_t>(link)] = {vendor_id, product_id};
}

void VirtualMouse::open_monitor(int link, const NvPostTarget* target, uint32_t event_message,
                                uint32_t link_message) {
  if (!library_link(link)) return;
  bool newly_open = false;
  {
    std::lock_guard lock(delivery_mutex_);
    Monitor& monitor = monitors_[static_cast<size_t>(link)];
    newly_open = !monitor.open;
    monitor.open = true;
    monitor.target = target != nullptr ? *target : NvPostTarget{};
    monitor.event_message = event_message;
    monitor.link_message = link_message;
  }
  if (newly_open) service_->acquire_monitor();
}

void VirtualMouse::close_monitor(int link) {
  if (!library_link(link)) return;
  bool was_open = false;
  {
    std::lock_guard lock(delivery_mutex_);
    was_open = monitors_[static_cast<size_t>(link)].open;
    monitors_[static_cast<size_t>(link)] = Monitor{};
  }
  if (was_open) service_->release_monitor();
}

int VirtualMouse::open_locked(int link, Outbox& out) {
  const auto i = static_cast<size_t>(link);
  last_open_error_[i] = 0;
  if (!visible_locked(link)) return 0;
  if (refused_open_[i] != 0) {
    last_open_error_[i] = refused_open_[i];
    out.push_back({Outbound::kTrace, link, {}, 0,
                   std::string("virtual mouse: opening the ") + link_name(link) +
                       " device refused: " + std::strerror(refused_open_[i])});
    return 0;
  }
  return 1;
}

int VirtualMouse::open_feature(int link) {
  if (!library_link(link)) return 0;
  Outbox out;
  int opened = 0;
  {
    std::lock_guard lock(mutex_);
    opened = open_locked(link, out);
    if (opened) feature_open_[static_cast<size_t>(link)] = true;
  }
  deliver(out);
  return opened;
}

void VirtualMouse::close_feature(int link) {
  if (!library_link(link)) return;
  std::lock_guard lock(mutex_);
  feature_open_[static_cast<size_t>(link)] = false;
}

int VirtualMouse::open_report(int link) {
  // Only the 8 kHz receiver has a report channel.
  if (link != VM_LINK_8K) return 0;
  Outbox out;
  int opened = 0;
  {
    std::lock_guard lock(mutex_);
    opened = open_locked(link, out);
    if (opened) report_open_8k_ = true;
  }
  deliver(out);
  return opened;
}

int VirtualMouse::open_error(int link) const {
  if (!library_link(link)) return 0;
  std::lock_guard lock(mutex_);
  return last_open_error_[static_cast<size_t>(link)];
}

void VirtualMouse::set_trace_target(int link, const NvTraceTarget* target) {
  if (!library_link(link)) return;
  std::lock_guard lock(delivery_mutex_);
  trace_targets_[static_cast<size_t>(link)] =
      target != nullptr && target->trace != nullptr ? *target : NvTraceTarget{};
}

void VirtualMouse::refuse_open(int link, int error) {
  if (!library_link(link)) return;
  std::lock_guard lock(mutex_);
  refused_open_[static_cast<size_t>(link)] = error > 0 ? error : 0;
}

int VirtualMouse::refused_open(int link) const {
  if (!library_link(link)) return 0;
  std::lock_guard lock(mutex_);
  return refused_open_[static_cast<size_t>(link)];
}

// ---------------------------------------------------------------------------
// The library links as hidraw nodes

int VirtualMouse::hid_transfer(int link, int index, HidKind kind, const uint8_t* data, int length) {
  if (!library_link(link) || data == nullptr || length <= 0) return -1;
  Outbox out;
  int result = 0;
  {
    std::lock_guard lock(mutex_);
    if (!(plugged_ & VM_LINK_BIT(link))) return 0;
    const HidReportDecl* report = declared_report(link, index, kind, data[0]);
    if (report == nullptr || length != report->bytes + 1) {
      // The device stalls a report it does not declare, or one of the wrong length.
      const int reason = report == nullptr ? VM_REJECT_HEADER : VM_REJECT_LENGTH;
      ++counters_.frames_received;
      count_reject_locked(reason);
      log_.add(now_locked(), link, VM_TO_MOUSE, VM_FRAME_REJECTED, reason, data, length);
      return -1;
    }
    // Feature reports arrive at their declared length; the firmware reads a
    // settings report up to its own length byte and takes the rest as padding.
    // Macro parts fill the whole report.
    int taken = length;
    if (kind == HidKind::feature && data[0] != kCmdMacro && length >= 2 && data[1] <= length &&
        std::all_of(data + data[1], data + length, [](uint8_t b) { return b == 0; })) {
      taken = data[1];
    }
    result = receive_locked(link, Channel::Hid, data, taken, out);
    if (result > 0) result = length;
  }
  deliver(out);
  return result;
}

void VirtualMouse::set_hid_listener(vm_hid_input_fn input, vm_hid_plug_fn plug, void* context) {
  {
    std::lock_guard lock(mutex_);
    hid_attached_ = input != nullptr || plug != nullptr;
  }
  std::lock_guard lock(delivery_mutex_);
  hid_input_ = input;
  hid_plug_ = plug;
  hid_context_ = context;
}

void VirtualMouse::close_report(int link) {
  if (link != VM_LINK_8K) return;
  std::lock_guard lock(mutex_);
  report_open_8k_ = false;
}

int VirtualMouse::set_feature(int link, const uint8_t* data, int length) {
  if (!library_link(link)) return 0;
  Outbox out;
  int result = 0;
  {
    std::lock_guard lock(mutex_);
    result = receive_locked(link, Channel::Feature, data, length, out);
  }
  deliver(out);
  return result;
}

int VirtualMouse::write_usb(int link, const uint8_t* data, int length) {
  if (link != VM_LINK_8K) return 0;
  Outbox out;
  int result = 0;
  {
    std::lock_guard lock(mutex_);
    result = receive_locked(link, Channel::Report, data, length, out);
  }
  deliver(out);
  return result;
}

int VirtualMouse::ble_write(const uint8_t* data, int length) {
  Outbox out;
  int result = 0;
  {
    std::lock_guard lock(mutex_);
    result = receive_locked(VM_LINK_BLE, Channel::Ble, data, length, out);
  }
  deliver(out);
  return result > 0 ? 1 : 0;
}

int VirtualMouse::receive_locked(int link, Channel channel, const uint8_t* data, int length,
                                 Outbox& out) {
  if (data == nullptr || length <= 0) return 0;
  bool open = true;
  if (channel == Channel::Feature) open = feature_open_[static_cast<size_t>(link)];
  if (channel == Channel::Report) open = report_open_8k_;
  // On hidraw nodes the double of hidapi keeps the handles.
  const int64_t now = now_locked();
  if (!visible_locked(link) || !open) {
    log_.add(now, link, VM_TO_MOUSE, VM_FRAME_NOT_OPEN, -1, data, length);
    return 0;
  }
  ++counters_.frames_received;
  if (sleeping_) {
    ++counters_.ignored_asleep;
    log_.add(now, link, VM_TO_MOUSE, VM_FRAME_ASLEEP, -1, data, length);
    // A receiver takes the transfer for a mouse it cannot reach; on the cable and over
    // Bluetooth LE the sleeping mouse is the device itself, and the transfer fails.
    return link == VM_LINK_24G || link == VM_LINK_8K ? length : 0;
  }
  if (link == VM_LINK_8K && channel == Channel::Feature) {
    // The 8 kHz receiver takes its reports as 65-byte frames only.
    count_reject_locked(VM_REJECT_COMMAND);
    log_.add(now, link, VM_TO_MOUSE, VM_FRAME_REJECTED, VM_REJECT_COMMAND, data, length);
    return 0;
  }

  const Verdict verdict =
      receivers_[static_cast<size_t>(link)].receive(model_, data, static_cast<size_t>(length));
  if (verdict.abandoned_chunk) count_reject_locked(VM_REJECT_INCOMPLETE);
  if (verdict.outcome == VM_FRAME_REJECTED) count_reject_locked(verdict.reason);
  if (verdict.outcome == VM_FRAME_ACCEPTED) ++counters_.reports_accepted;
  log_.add(now, link, VM_TO_MOUSE, verdict.outcome, verdict.reason, data, length);

  // Over 2.4 GHz the mouse acknowledges every report it accepted.
  if (verdict.outcome == VM_FRAME_ACCEPTED && link == VM_LINK_24G) {
    send_answer_locked(VM_LINK_24G, kEventAck, 0, 0, true, out);
  }
  return length;
}

void VirtualMouse::count_reject_locked(int reason) {
  if (reason < 0 || reason >= VM_REJECT_COUNT) return;
  ++counters_.rejected_total;
  ++counters_.rejected[reason];
}

// ---------------------------------------------------------------------------
// Answers

bool VirtualMouse::visible_locked(int link) const {
  if (link < 0 || link >= VM_LINK_COUNT || !(plugged_ & VM_LINK_BIT(link))) return false;
  if (link == VM_LINK_BLE || hid_attached_) return true;
  const LinkIdentity want = link_identity(link);
  const LinkIdentity& set = identity_[static_cast<size_t>(link)];
  return set.vendor_id == want.vendor_id && set.product_id == want.product_id;
}

int VirtualMouse::answer_link_locked() const {
  // The mouse talks over the cable when it has one, else through a receiver,
  // else over Bluetooth LE.
  for (int link : {VM_LINK_CABLE, VM_LINK_8K, VM_LINK_24G, VM_LINK_BLE}) {
    if (visible_locked(link)) return link;
  }
  return -1;
}

int64_t VirtualMouse::now_locked() const { return now_(); }

void VirtualMouse::send_answer_locked(int link, uint8_t cls, uint8_t value0, uint8_t value1,
                                      bool ack, Outbox& out) {
  uint8_t bytes[4] = {kEventReport, cls, value0, value1};
  const int64_t now = now_locked();
  if (sleeping_) {
    log_.add(now, link, VM_FROM_MOUSE, VM_FRAME_ASLEEP, -1, bytes, 4);
    return;
  }
  if (link < 0) {
    log_.add(now, link, VM_FROM_MOUSE, VM_FRAME_NO_LINK, -1, bytes, 4);
    return;
  }
  if (ack && (drop_all_acks_ || drop_next_acks_ > 0)) {
    if (!drop_all_acks_) --drop_next_acks_;
    ++counters_.acks_dropped;
    log_.add(now, link, VM_FROM_MOUSE, VM_FRAME_DROPPED, -1, bytes, 4);
    return;
  }
  int outcome = VM_FRAME_ACCEPTED;
  if (corrupt_next_ > 0) {
    --corrupt_next_;
    bytes[corrupt_byte_] ^= corrupt_mask_;
    ++counters_.answers_corrupted;
    outcome = VM_FRAME_CORRUPTED;
  }
  if (ack) {
    ++counters_.acks_sent;
  } else {
    ++counters_.events_sent;
  }
  log_.add(now, link, VM_FROM_MOUSE, outcome, -1, bytes, 4);
  Outbound message{Outbound::kEvent, link, {}, 0};
  std::memcpy(message.bytes, bytes, 4);
  out.push_back(message);
}

void VirtualMouse::send_event_locked(uint8_t cls, uint8_t value0, uint8_t value1, Outbox& out) {
  send_answer_locked(answer_link_locked(), cls, value0, value1, false, out);
}

void VirtualMouse::deliver(const Outbox& out) {
  if (out.empty()) return;
  std::lock_guard lock(delivery_mutex_);
  for (const Outbound& message : out) {
    if (message.kind == Outbound::kBleConnection) {
      if (ble_connection_ != nullptr) ble_connection_(ble_context_, message.value);
      continue;
    }
    if (message.kind == Outbound::kEvent && message.link == VM_LINK_BLE) {
      if (ble_notify_ != nullptr) ble_notify_(ble_context_, message.bytes, 4);
      continue;
    }
    if (!library_link(message.link)) continue;
    const auto i = static_cast<size_t>(message.link);
    if (message.kind == Outbound::kTrace) {
      if (trace_targets_[i].trace != nullptr) trace_targets_[i].trace(trace_targets_[i].context, message.text.c_str());
      continue;
    }
    if (message.kind == Outbound::kHidPlug) {
      if (hid_plug_ != nullptr) hid_plug_(hid_context_, message.link, message.value);
      continue;
    }
    if (message.kind == Outbound::kEvent && hid_input_ != nullptr) {
      uint8_t report[65];
      int index = -1;
      const int length = event_input_report(message.link, message.bytes, index, report);
      if (length > 0) hid_input_(hid_context_, message.link, index, report, length);
    }
    const Monitor& monitor = monitors_[i];
    if (!monitor.open || monitor.target.post == nullptr) continue;
    if (message.kind == Outbound::kLinkMessage) {
      monitor.target.post(monitor.target.context, monitor.link_message,
                          static_cast<uintptr_t>(message.value), 0);
    } else {
      const uintptr_t wparam = static_cast<uintptr_t>(message.bytes[0] | message.bytes[1] << 8);
      const intptr_t lparam = static_cast<intptr_t>(message.bytes[2] | message.bytes[3] << 8);
      monitor.target.post(monitor.target.context, monitor.event_message, wparam, lparam);
    }
  }
}

// ---------------------------------------------------------------------------
// Control

void VirtualMouse::plug(int link, bool plugged) {
  if (link < 0 || link >= VM_LINK_COUNT) return;
  Outbox out;
  {
    std::lock_guard lock(mutex_);
    const bool was = (plugged_ & VM_LINK_BIT(link)) != 0;
    if (was == plugged) return;
    if (plugged) {
      plugged_ |= VM_LINK_BIT(link);
    } else {
      // The device is gone: its open handles are dead and a half-sent chunk is lost.
      plugged_ &= ~VM_LINK_BIT(link);
      if (library_link(link)) feature_open_[static_cast<size_t>(link)] = false;
      if (link == VM_LINK_8K) report_open_8k_ = false;
      receivers_[static_cast<size_t>(link)].forget_partial();
    }
    if (link == VM_LINK_BLE) {
      out.push_back({Outbound::kBleConnection, link, {}, plugged ? 1 : 0});
    } else {
      out.push_back({Outbound::kHidPlug, link, {}, plugged ? 1 : 0});
      // Only a library watching for this link's identifiers hears of it.
      const LinkIdentity want = link_identity(link);
      const LinkIdentity& set = identity_[static_cast<size_t>(link)];
      if (set.vendor_id == want.vendor_id && set.product_id == want.product_id) {
        out.push_back({Outbound::kLinkMessage, link, {}, plugged ? 1 : 0});
      }
    }
  }
  deliver(out);
}

bool VirtualMouse::plugged(int link) const {
  if (link < 0 || link >= VM_LINK_COUNT) return false;
  std::lock_guard lock(mutex_);
  return (plugged_ & VM_LINK_BIT(link)) != 0;
}

void VirtualMouse::set_links(uint32_t mask) {
  for (int link = 0; link < VM_LINK_COUNT; ++link) plug(link, (mask & VM_LINK_BIT(link)) != 0);
}

void VirtualMouse::forget_partials_locked() {
  for (LinkReceiver& receiver : receivers_) receiver.forget_partial();
}

void VirtualMouse::fall_asleep() {
  std::lock_guard lock(mutex_);
  sleeping_ = true;
  forget_partials_locked();
}

void VirtualMouse::wake() {
  std::lock_guard lock(mutex_);
  sleeping_ = false;
}

void VirtualMouse::press_dpi_button() {
  Outbox out;
  {
    std::lock_guard lock(mutex_);
    sleeping_ = false;
    VmMouseState& s = model_.settings();
    if (s.dpi_level_mask == 0) return;
    // The next enabled level after the current one, wrapping around.
    const int current = (s.current_level >= 0 && s.current_level < 8) ? s.current_level : -1;
    int next = current;
    for (int step = 1; step <= 8; ++step) {
      const int k = (current + step + 8) % 8;
      if (s.dpi_level_mask & (1u << k)) {
        next = k;
        break;
      }
    }
    s.current_level = static_cast<int16_t>(next);
    send_event_locked(kEventDpiLevel, static_cast<uint8_t>(next + 1), 0, out);
  }
  deliver(out);
}

void VirtualMouse::change_polling_rate(int polling_rate, int polling_rate_hs) {
  Outbox out;
  {
    std::lock_guard lock(mutex_);
    sleeping_ = false;
    VmMouseState& s = model_.settings();
    s.polling_rate = static_cast<int8_t>(polling_rate);
    s.polling_rate_hs = static_cast<int8_t>(polling_rate_hs);
    const uint8_t code =
        static_cast<uint8_t>(((polling_rate_hs + 1) & 0x0F) << 4 | ((polling_rate + 1) & 0x0F));
    send_event_locked(kEventPollingRate, code, 0, out);
  }
  deliver(out);
}

void VirtualMouse::change_lighting_mode(int mode) {
  Outbox out;
  {
    std::lock_guard lock(mutex_);
    sleeping_ = false;
    model_.settings().light_mode = static_cast<uint8_t>(mode & 0x0F);
    send_event_locked(kEventLightingMode, static_cast<uint8_t>((mode & 0x0F) << 4), 0, out);
  }
  deliver(out);
}

void VirtualMouse::send_event(uint8_t event_class, uint8_t value0, uint8_t value1) {
  Outbox out;
  {
    std::lock_guard lock(mutex_);
    send_event_locked(event_class, value0, value1, out);
  }
  deliver(out);
}

void VirtualMouse::set_battery_level(int level) {
  std::lock_guard lock(mutex_);
  battery_level_ = level < 0 ? 0 : (level > 100 ? 100 : level);
}

void VirtualMouse::set_battery_period(int period_ms) {
  std::lock_guard lock(mutex_);
  battery_period_ms_ = period_ms > 0 ? period_ms : 0;
  next_battery_ms_ = now_locked() + battery_period_ms_;
}

void VirtualMouse::tick() {
  Outbox out;
  {
    std::lock_guard lock(mutex_);
    if (battery_period_ms_ <= 0) return;
    const int64_t now = now_locked();
    if (now < next_battery_ms_) return;
    next_battery_ms_ += battery_period_ms_;
    // After a long gap, report once and start a fresh period.
    if (next_battery_ms_ <= now) next_battery_ms_ = now + battery_period_ms_;
    if (sleeping_) return;
    uint8_t status = kBatteryOnBattery;
    if (visible_locked(VM_LINK_CABLE)) status = battery_level_ >= 100 ? kBatteryFull : kBatteryCharging;
    send_event_locked(kEventBattery, status, static_cast<uint8_t>(battery_level_), out);
  }
  deliver(out);
}

void VirtualMouse::set_clock(std::function<int64_t()> now_ms) {
  std::lock_guard lock(mutex_);
  now_ = now_ms ? std::move(now_ms) : std::function<int64_t()>(steady_now_ms);
  next_battery_ms_ = now_() + battery_period_ms_;
}

void VirtualMouse::set_realtime(bool on) {
  realtime_ = on;
  service_->wake();
}

bool VirtualMouse::realtime() const { return realtime_; }

void VirtualMouse::drop_acks(bool on) {
  std::lock_guard lock(mutex_);
  drop_all_acks_ = on;
}

void VirtualMouse::drop_next_acks(int count) {
  std::lock_guard lock(mutex_);
  drop_next_acks_ = count > 0 ? count : 0;
}

void VirtualMouse::corrupt_next_answers(int count, int byte_index, uint8_t xor_mask) {
  std::lock_guard lock(mutex_);
  corrupt_next_ = count > 0 ? count : 0;
  corrupt_byte_ = (byte_index >= 0 && byte_index < 4) ? byte_index : 2;
  corrupt_mask_ = xor_mask;
}

void VirtualMouse::clear_faults() {
  std::lock_guard lock(mutex_);
  refused_open_ = {};
  drop_all_acks_ = false;
  drop_next_acks_ = 0;
  corrupt_next_ = 0;
}

VmMouseState VirtualMouse::state() const {
  std::lock_guard lock(mutex_);
  VmMouseState s = model_.settings();
  for (int k = 0; k < 8; ++k) {
    s.dpi_units[k] = static_cast<uint16_t>(s.dpi_wire[k] + 1);
    s.dpi_cpi[k] = static_cast<uint32_t>(s.dpi_units[k]) * 50u;
  }
  s.plugged_links = plugged_;
  s.sleeping = sleeping_ ? 1 : 0;
  s.battery_level = battery_level_;
  s.battery_period_ms = battery_period_ms_;
  return s;
}

VmCounters VirtualMouse::counters() const {
  std::lock_guard lock(mutex_);
  return counters_;
}

int VirtualMouse::wire_log_count() const {
  std::lock_guard lock(mutex_);
  return log_.count();
}

bool VirtualMouse::wire_log_get(int index, VmWireEntry& out) const {
  std::lock_guard lock(mutex_);
  return log_.get(index, out);
}

void VirtualMouse::wire_log_clear() {
  std::lock_guard lock(mutex_);
  log_.clear();
}

bool VirtualMouse::macro_block(int block, uint8_t* out) const {
  if (out == nullptr) return false;
  std::lock_guard lock(mutex_);
  return model_.macros().read(block, out);
}

int VirtualMouse::macro_decode(int start_block, VmMacroInfo& info, VmMacroEvent* events,
                               int capacity) const {
  std::lock_guard lock(mutex_);
  return model_.macros().decode(start_block, info, events, capacity);
}

void VirtualMouse::reset() {
  std::lock_guard lock(mutex_);
  model_.reset();
  forget_partials_locked();
  sleeping_ = false;
  refused_open_ = {};
  drop_all_acks_ = false;
  drop_next_acks_ = 0;
  corrupt_next_ = 0;
  counters_ = VmCounters{};
  log_.clear();
  battery_level_ = kFactoryBatteryLevel;
  battery_period_ms_ = config_.battery_period_ms;
  next_battery_ms_ = now_locked() + battery_period_ms_;
}

void VirtualMouse::set_ble_listener(vm_ble_notify_fn notify, vm_ble_connection_fn connection,
                                    void* context) {
  std::lock_guard lock(delivery_mutex_);
  ble_notify_ = notify;
  ble_connection_ = connection;
  ble_context_ = context;
}

bool VirtualMouse::start_control_socket(const std::string& path) {
  return service_->start_socket(path);
}

void VirtualMouse::stop_control_socket() { service_->stop_socket(); }

}  // namespace norvane::vmouse
