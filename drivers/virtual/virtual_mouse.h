#pragma once
// The virtual mouse: the firmware model behind its four links, with the
// driver-library side (what hiddriver_*.so forward to), the same links seen as
// hidraw nodes (for a double of hidapi: report descriptors, transfers checked
// against them, events as input reports), the answers it sends (2.4 GHz
// acknowledgements, events, battery reports), fault modes, sleep and the wire
// log. One instance serves a process (instance()); tests may also build their
// own.
//
// Locking: `mutex_` guards the mouse; `delivery_mutex_` guards the program's
// post targets and the BLE listener and is held while posting, so no post
// overlaps Close_DevMonitor. Posts are collected under `mutex_` and made after
// it is released; `mutex_` is never taken while `delivery_mutex_` is held.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "drivers/driver_api.h"
#include "drivers/virtual/firmware_model.h"
#include "drivers/virtual/hid_layout.h"
#include "drivers/virtual/link_receiver.h"
#include "drivers/virtual/virtual_mouse_control.h"
#include "drivers/virtual/wire_log.h"

namespace norvane::vmouse {

class ControlService;

// The identifiers the mouse answers to on the library links.
struct LinkIdentity {
  int vendor_id;
  int product_id;
};
LinkIdentity link_identity(int link);

// Settings taken from the environment when the process's mouse is created.
struct StartupConfig {
  uint32_t links = VM_LINK_BIT(VM_LINK_CABLE);
  int battery_period_ms = 2000;
  bool realtime = true;
  std::string socket_path;
};
// NORVANE_VIRTUAL_MOUSE_LINKS, _BATTERY_PERIOD_MS, _REALTIME and _SOCKET.
StartupConfig read_startup_config();
// "cable,2.4", "8k ble", "none", ... Unknown words make `ok` false.
uint32_t parse_link_list(std::string_view text, bool& ok);
// Link by name ("cable", "2.4", "8k", "ble" and their aliases), or -1.
int parse_link_name(std::string_view name);
const char* link_name(int link);

class VirtualMouse {
 public:
  explicit VirtualMouse(const StartupConfig& config);
  ~VirtualMouse();
  VirtualMouse(const VirtualMouse&) = delete;
  VirtualMouse& operator=(const VirtualMouse&) = delete;

  // The process's mouse, configured from the environment on first use.
  static VirtualMouse& instance();

  // --- Driver library side (link: cable, 2.4 GHz or 8 kHz) ---
  void set_vidpid(int link, int vendor_id, int product_id);
  void open_monitor(int link, const NvPostTarget* target, uint32_t event_message,
                    uint32_t link_message);
  void close_monitor(int link);
  int open_feature(int link);
  void close_feature(int link);
  int open_report(int link);
  void close_report(int link);
  // Results as the transports give them: the length written, or 0 when the
  // device is not open (or the 8 kHz receiver is sent a feature report).
  int set_feature(int link, const uint8_t* data, int length);
  int write_usb(int link, const uint8_t* data, int length);
  int ble_write(const uint8_t* data, int length);
  // Why the link's last open returned 0 (see Get_OpenError): the errno of the
  // refused-open fault, else 0.
  int open_error(int link) const;
  void set_trace_target(int link, const NvTraceTarget* target);

  // --- The library links as hidraw nodes ---
  // A feature or output transfer on interface `index`, as hidraw passes it: byte 0
  // the report ID, then the report's data bytes in full. -1 when the interface
  // declares no such report or the length differs (the device stalls); 0 when the
  // link is not plugged; else the length.
  int hid_transfer(int link, int index, HidKind kind, const uint8_t* data, int length);
  void set_hid_listener(vm_hid_input_fn input, vm_hid_plug_fn plug, void* context);

  // --- Control ---
  void plug(int link, bool plugged);
  bool plugged(int link) const;
  void set_links(uint32_t mask);
  void fall_asleep();
  void wake();
  void press_dpi_button();
  void change_polling_rate(int polling_rate, int polling_rate_hs);
  void change_lighting_mode(int mode);
  void send_event(uint8_t event_class, uint8_t value0, uint8_t value1);
  void set_battery_level(int level);
  void set_battery_period(int period_ms);
  void tick();
  // The clock must not call into the mouse.
  void set_clock(std::function<int64_t()> now_ms);
  void set_realtime(bool on);
  bool realtime() const;

  // Opening the link's device fails with `error` (0: opens again).
  void refuse_open(int link, int error);
  int refused_open(int link) const;

  void drop_acks(bool on);
  void drop_next_acks(int count);
  void corrupt_next_answers(int count, int byte_index, uint8_t xor_mask);
  void clear_faults();

  VmMouseState state() const;
  VmCounters counters() const;
  int wire_log_count() const;
  bool wire_log_get(int index, VmWireEntry& out) const;
  void wire_log_clear();
  bool macro_block(int block, uint8_t* out) const;
  int macro_decode(int start_block, VmMacroInfo& info, VmMacroEvent* events, int capacity) const;
  void reset();

  void set_ble_listener(vm_ble_notify_fn notify, vm_ble_connection_fn connection, void* context);

  bool start_control_socket(const std::string& path);
  void stop_control_socket();

 private:
  enum class Channel { Feature, Report, Ble, Hid };
  // Something to hand to the program once `mutex_` is released.
  struct Outbound {
    enum Kind { kLinkMessage, kEvent, kBleConnection, kHidPlug, kTrace } kind;
    int link;
    uint8_t bytes[4];
    int value;
    std::string text = {};
  };
  struct Monitor {
    bool open = false;
    NvPostTarget target{};
    uint32_t event_message = 0;
    uint32_t link_message = 0;
  };
  using Outbox = std::vector<Outbound>;

  static bool library_link(int link) { return link >= VM_LINK_CABLE && link <= VM_LINK_8K; }
  bool visible_locked(int link) const;
  int answer_link_locked() const;
  int64_t now_locked() const;
  int receive_locked(int link, Channel channel, const uint8_t* data, int length, Outbox& out);
  // Records the outcome of an open of a library link; 0 when the fault refuses it.
  int open_locked(int link, Outbox& out);
  void count_reject_locked(int reason);
  void send_answer_locked(int link, uint8_t cls, uint8_t value0, uint8_t value1, bool ack,
                          Outbox& out);
  void send_event_locked(uint8_t cls, uint8_t value0, uint8_t value1, Outbox& out);
  void forget_partials_locked();
  void deliver(const Outbox& out);

  const StartupConfig config_;

  mutable std::mutex mutex_;
  FirmwareModel model_;
  std::array<LinkReceiver, VM_LINK_COUNT> receivers_{
      LinkReceiver(VM_LINK_CABLE), LinkReceiver(VM_LINK_24G), LinkReceiver(VM_LINK_8K),
      LinkReceiver(VM_LINK_BLE)};
  uint32_t plugged_ = 0;
  std::array<LinkIdentity, 3> identity_{};  // set by Set_VIDPID per library link
  std::array<bool, 3> feature_open_{};
  std::array<int, 3> refused_open_{};     // errno an open of the link fails with
  std::array<int, 3> last_open_error_{};  // what Get_OpenError answers
  bool hid_attached_ = false;             // a double of hidapi serves the nodes
  bool report_open_8k_ = false;
  bool sleeping_ = false;
  int battery_level_ = 80;
  int battery_period_ms_ = 0;
  int64_t next_battery_ms_ = 0;
  bool drop_all_acks_ = false;
  int drop_next_acks_ = 0;
  int corrupt_next_ = 0;
  int corrupt_byte_ = 2;
  uint8_t corrupt_mask_ = 0xFF;
  VmCounters counters_{};
  WireLog log_;
  std::function<int64_t()> now_;

  mutable std::recursive_mutex delivery_mutex_;
  std::array<Monitor, 3> monitors_{};
  std::array<NvTraceTarget, 3> trace_targets_{};
  vm_hid_input_fn hid_input_ = nullptr;
  vm_hid_plug_fn hid_plug_ = nullptr;
  void* hid_context_ = nullptr;
  vm_ble_notify_fn ble_notify_ = nullptr;
  vm_ble_connection_fn ble_connection_ = nullptr;
  void* ble_context_ = nullptr;

  std::atomic<bool> realtime_;
  // Last member: stopped and destroyed first, while the mouse is still whole.
  std::unique_ptr<ControlService> service_;
};

}  // namespace norvane::vmouse
