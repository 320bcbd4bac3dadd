// The C control interface: each function forwards to the process's mouse.

#include <algorithm>
#include <cstring>
#include <string>

#include "drivers/virtual/control_commands.h"
#include "drivers/virtual/virtual_mouse.h"
#include "drivers/virtual/virtual_mouse_control.h"

using norvane::vmouse::VirtualMouse;

namespace {
VirtualMouse& mouse() { return VirtualMouse::instance(); }
}  // namespace

extern "C" {

void vm_plug(int link) { mouse().plug(link, true); }
void vm_unplug(int link) { mouse().plug(link, false); }
int vm_plugged(int link) { return mouse().plugged(link) ? 1 : 0; }
void vm_set_links(uint32_t mask) { mouse().set_links(mask); }

void vm_sleep(void) { mouse().fall_asleep(); }
void vm_wake(void) { mouse().wake(); }
void vm_press_dpi_button(void) { mouse().press_dpi_button(); }
void vm_change_polling_rate(int polling_rate, int polling_rate_hs) {
  mouse().change_polling_rate(polling_rate, polling_rate_hs);
}
void vm_change_lighting_mode(int mode) { mouse().change_lighting_mode(mode); }
void vm_send_battery(int status, int level) {
  mouse().send_event(0x40, static_cast<uint8_t>(status), static_cast<uint8_t>(level));
}
void vm_send_event(uint8_t event_class, uint8_t value0, uint8_t value1) {
  mouse().send_event(event_class, value0, value1);
}
void vm_set_battery_level(int level) { mouse().set_battery_level(level); }
void vm_set_battery_period(int period_ms) { mouse().set_battery_period(period_ms); }
void vm_tick(void) { mouse().tick(); }

void vm_set_clock(vm_now_fn now_ms, void* context) {
  if (now_ms == nullptr) {
    mouse().set_clock(nullptr);
  } else {
    mouse().set_clock([now_ms, context] { return now_ms(context); });
  }
}
void vm_set_realtime(int on) { mouse().set_realtime(on != 0); }

void vm_fault_drop_acks(int on) { mouse().drop_acks(on != 0); }
void vm_fault_drop_next_acks(int count) { mouse().drop_next_acks(count); }
void vm_fault_corrupt_next_answers(int count, int byte_index, uint8_t xor_mask) {
  mouse().corrupt_next_answers(count, byte_index, xor_mask);
}
void vm_fault_clear(void) { mouse().clear_faults(); }
void vm_fault_refuse_open(int link, int error) { mouse().refuse_open(link, error); }
int vm_open_refused(int link) { return mouse().refused_open(link); }

int vm_hid_interface_count(int link) { return static_cast<int>(norvane::vmouse::hid_layout(link).size()); }
int vm_hid_interface_number(int link, int index) {
  const auto layout = norvane::vmouse::hid_layout(link);
  if (index < 0 || static_cast<size_t>(index) >= layout.size()) return -1;
  return layout[static_cast<size_t>(index)].number;
}
int vm_hid_report_descriptor(int link, int index, uint8_t* out, int capacity) {
  const auto layout = norvane::vmouse::hid_layout(link);
  if (out == nullptr || index < 0 || static_cast<size_t>(index) >= layout.size()) return -1;
  const auto descriptor = layout[static_cast<size_t>(index)].descriptor;
  if (descriptor.size() > static_cast<size_t>(capacity)) return -1;
  std::memcpy(out, descriptor.data(), descriptor.size());
  return static_cast<int>(descriptor.size());
}
int vm_hid_transfer(int link, int index, int kind, const uint8_t* data, int length) {
  if (kind != VM_HID_FEATURE && kind != VM_HID_OUTPUT) return -1;
  return mouse().hid_transfer(link, index,
                              kind == VM_HID_FEATURE ? norvane::vmouse::HidKind::feature
                                                     : norvane::vmouse::HidKind::output,
                              data, length);
}
void vm_set_hid_listener(vm_hid_input_fn input, vm_hid_plug_fn plug, void* context) {
  mouse().set_hid_listener(input, plug, context);
}

void vm_get_state(VmMouseState* out) {
  if (out != nullptr) *out = mouse().state();
}
void vm_get_counters(VmCounters* out) {
  if (out != nullptr) *out = mouse().counters();
}
int vm_wire_log_count(void) { return mouse().wire_log_count(); }
int vm_wire_log_get(int index, VmWireEntry* out) {
  return out != nullptr && mouse().wire_log_get(index, *out) ? 1 : 0;
}
void vm_wire_log_clear(void) { mouse().wire_log_clear(); }
int vm_macro_block(int block, uint8_t out[VM_MACRO_CHUNK_BYTES]) {
  return mouse().macro_block(block, out) ? 1 : 0;
}
int vm_macro_decode(int start_block, VmMacroInfo* info, VmMacroEvent* events, int capacity) {
  VmMacroInfo local{};
  const int status = mouse().macro_decode(start_block, local, events, capacity);
  if (info != nullptr) *info = local;
  return status;
}
void vm_reset(void) { mouse().reset(); }

int vm_ble_write(const uint8_t* buffer, int length) { return mouse().ble_write(buffer, length); }
void vm_set_ble_listener(vm_ble_notify_fn notify, vm_ble_connection_fn connection,
                         void* context) {
  mouse().set_ble_listener(notify, connection, context);
}

int vm_execute_command(const char* line, char* reply, int reply_size) {
  std::string text;
  const bool ok = norvane::vmouse::run_control_command(mouse(), line != nullptr ? line : "", text);
  if (reply != nullptr && reply_size > 0) {
    const size_t n = std::min(text.size(), static_cast<size_t>(reply_size - 1));
    std::memcpy(reply, text.data(), n);
    reply[n] = '\0';
  }
  return ok ? 1 : 0;
}
int vm_control_socket_start(const char* path) {
  return path != nullptr && mouse().start_control_socket(path) ? 1 : 0;
}
void vm_control_socket_stop(void) { mouse().stop_control_socket(); }

}  // extern "C"
