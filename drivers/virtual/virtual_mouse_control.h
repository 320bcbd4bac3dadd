#pragma once
// Control interface of the virtual mouse (libvirtual_mouse.so), for tests and
// the demo. There is one mouse per process; the three drop-in driver libraries
// (hiddriver_2.so, hiddriver_1.so, hiddriver_8k.so built from drivers/virtual)
// reach the same mouse. Every function is safe from any thread.
//
// Posts to the program (link messages, event messages) are made with no lock
// of the mouse held, except that a post never overlaps Close_DevMonitor of its
// library: a post callback must not call Open_DevMonitor or Close_DevMonitor.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Links. Cable, 2.4 GHz and 8 kHz are reached through the driver libraries;
// Bluetooth LE writes come in through vm_ble_write and its answers go to the
// BLE listener.
enum {
  VM_LINK_CABLE = 0,
  VM_LINK_24G = 1,
  VM_LINK_8K = 2,
  VM_LINK_BLE = 3,
  VM_LINK_COUNT = 4
};
#define VM_LINK_BIT(link) (1u << (link))

// Why a frame was refused. Index into VmCounters.rejected.
enum {
  VM_REJECT_LENGTH = 0,     // transfer length or a length byte does not match
  VM_REJECT_HEADER = 1,     // fixed header byte wrong (frame byte 0, settings byte 2)
  VM_REJECT_REPORT_SUM = 2, // 16-bit report sum does not match
  VM_REJECT_FRAME_SUM = 3,  // 16-bit 8 kHz frame sum does not match
  VM_REJECT_RATE_CHECK = 4, // polling-rate byte 4 is not the NOT of byte 3
  VM_REJECT_NUMBERING = 5,  // macro part or frame out of order, wrong number or block
  VM_REJECT_COMMAND = 6,    // unknown command, or not accepted on this link
  VM_REJECT_INCOMPLETE = 7, // a started macro chunk was abandoned before its last part
  VM_REJECT_MACRO_UNITS = 8,// macro entry count larger than the entry area
  VM_REJECT_COUNT = 9
};

// Decoded settings of the mouse: what the last accepted report of each kind said.
typedef struct VmMouseState {
  // DPI and sensor report (0x04).
  uint16_t dpi_wire[8];   // per level as on the wire: units of 50 CPI minus 1
  uint16_t dpi_units[8];  // dpi_wire + 1: units of 50 CPI
  uint32_t dpi_cpi[8];    // dpi_units * 50
  uint8_t dpi_level_mask; // bit k set: level k enabled
  int16_t current_level;  // 0-based (wire byte 24 minus 1)
  uint8_t dpi_colors[8][3];  // red, green, blue per level
  uint8_t lift_off;
  uint8_t ripple;
  uint8_t angle_snap;
  uint8_t motion_sync;
  // Lighting and power report (0x05).
  uint8_t light_mode;
  int8_t light_speed;     // 9 minus the wire's low nibble of byte 4
  uint8_t light_brightness;  // low nibble of byte 5 (8 for modes without brightness)
  uint8_t light_color[3];    // red, green, blue
  uint8_t sleep_timer;       // high nibble from byte 4, low nibble from byte 5's high nibble
  uint8_t light_off_timer;
  uint8_t key_debounce;
  // Polling-rate report (0x06): the 0-based options, wire nibble minus 1.
  int8_t polling_rate;     // low nibble
  int8_t polling_rate_hs;  // high nibble
  // Button-mapping report (0x08): three device bytes per button.
  uint8_t buttons[18][3];
  // Reports accepted, by command.
  uint32_t accepted_opener;  // 0x0C
  uint32_t accepted_dpi;     // 0x04
  uint32_t accepted_light;   // 0x05
  uint32_t accepted_rate;    // 0x06
  uint32_t accepted_buttons; // 0x08
  uint32_t accepted_macro_chunks;  // 0x09
  // Link and power.
  uint32_t plugged_links;  // VM_LINK_BIT mask
  int32_t sleeping;
  int32_t battery_level;   // sent by the periodic battery report
  int32_t battery_period_ms;
} VmMouseState;

typedef struct VmCounters {
  uint32_t frames_received;  // every transfer that reached the mouse
  uint32_t reports_accepted; // whole reports applied
  uint32_t rejected_total;
  uint32_t rejected[VM_REJECT_COUNT];
  uint32_t ignored_asleep;   // transfers that arrived while the mouse slept
  uint32_t acks_sent;
  uint32_t acks_dropped;
  uint32_t events_sent;
  uint32_t answers_corrupted;
} VmCounters;

// Wire log: every frame to the mouse and every answer from it.
enum {
  VM_TO_MOUSE = 0,
  VM_FROM_MOUSE = 1
};
enum {
  VM_FRAME_ACCEPTED = 0,   // a whole report applied (or a whole answer sent)
  VM_FRAME_PART = 1,       // a valid part of a macro chunk, held until the chunk is complete
  VM_FRAME_REJECTED = 2,
  VM_FRAME_ASLEEP = 3,     // not received: the mouse sleeps
  VM_FRAME_NOT_OPEN = 4,   // the program wrote to a device it had not opened
  VM_FRAME_DROPPED = 5,    // answer dropped by a fault mode
  VM_FRAME_CORRUPTED = 6,  // answer sent corrupted by a fault mode
  VM_FRAME_NO_LINK = 7     // answer with no plugged link to carry it
};
#define VM_WIRE_BYTES 128
typedef struct VmWireEntry {
  uint64_t sequence;
  int64_t time_ms;
  int32_t link;
  int32_t direction;
  int32_t outcome;
  int32_t reject_reason;  // VM_REJECT_* when outcome is VM_FRAME_REJECTED, else -1
  int32_t length;         // full length of the transfer
  uint8_t bytes[VM_WIRE_BYTES];  // its first VM_WIRE_BYTES bytes
} VmWireEntry;

// Macro memory.
enum { VM_MACRO_KIND_MOVE = 0, VM_MACRO_KIND_PRESS = 1, VM_MACRO_KIND_RELEASE = 2 };
typedef struct VmMacroEvent {
  uint8_t code;    // key code, or 246 for a movement
  uint8_t kind;    // VM_MACRO_KIND_*
  uint16_t delay;  // milliseconds as the entries carry it
  int32_t x;       // movements only
  int32_t y;
} VmMacroEvent;

enum {
  VM_MACRO_OK = 0,
  VM_MACRO_NO_BLOCK = 1,   // the start block, or a block a link points to, holds no chunk
  VM_MACRO_BAD_ENTRY = 2,  // an entry runs past the entry area or follows a link
  VM_MACRO_LOOP = 3,       // links come back to a block already read
  VM_MACRO_TRUNCATED = 4   // more events than the caller's array holds
};
typedef struct VmMacroInfo {
  int32_t status;       // VM_MACRO_*
  int32_t event_count;  // events decoded (may exceed the capacity: see VM_MACRO_TRUNCATED)
  int32_t blocks_read;
  uint8_t mode;         // header of the first chunk
  uint8_t header_extra[3];
  uint8_t repeat;
} VmMacroInfo;

#define VM_MACRO_BLOCKS 256
#define VM_MACRO_CHUNK_BYTES 111

// --- Links -----------------------------------------------------------------
// Plugging posts the link message with wParam 1 to the library's monitor,
// unplugging posts wParam 0 (cable, 2.4 GHz, 8 kHz); for Bluetooth LE the
// listener's connection callback is called instead.
void vm_plug(int link);
void vm_unplug(int link);
int vm_plugged(int link);
// Plugs and unplugs each link to match the VM_LINK_BIT mask.
void vm_set_links(uint32_t mask);

// --- Mouse actions ----------------------------------------------------------
// Asleep, the mouse receives nothing and answers nothing: a transfer on the cable or
// over Bluetooth LE fails, a receiver takes its transfer but no acknowledgement comes.
void vm_sleep(void);
void vm_wake(void);
// The DPI button: wakes the mouse, moves to the next enabled level and sends
// the 0x10 event with the new 1-based level.
void vm_press_dpi_button(void);
// A polling-rate change made on the mouse: 0-based options; sends the 0x20 event.
void vm_change_polling_rate(int polling_rate, int polling_rate_hs);
// A lighting-mode change made on the mouse; sends the 0x70 event.
void vm_change_lighting_mode(int mode);
// Sends the battery report 0x09, 0x40, status, level now (any values).
void vm_send_battery(int status, int level);
// Sends any event report 0x09, event_class, value0, value1.
void vm_send_event(uint8_t event_class, uint8_t value0, uint8_t value1);
// Level of the periodic battery report (status: 3 charging on the cable, 2
// full on the cable, 0 on battery).
void vm_set_battery_level(int level);
// Period of the battery report in milliseconds; 0 stops it. The report is due
// every period of the mouse's clock and goes out on the next vm_tick.
void vm_set_battery_period(int period_ms);
// Sends what is due at the current time of the mouse's clock.
void vm_tick(void);

// --- Time -------------------------------------------------------------------
// Clock of the wire log and the battery period; NULL restores the monotonic clock.
typedef int64_t (*vm_now_fn)(void* context);
void vm_set_clock(vm_now_fn now_ms, void* context);
// When on (the default), a service thread started by the first Open_DevMonitor
// calls vm_tick a few times a second. Tests turn it off and tick themselves.
void vm_set_realtime(int on);

// --- Fault modes --------------------------------------------------------------
void vm_fault_drop_acks(int on);            // drop every 2.4 GHz acknowledgement
void vm_fault_drop_next_acks(int count);    // drop the next `count`, then answer again
// Corrupts the next `count` answers (acknowledgements or events): byte
// `byte_index` (0..3) is XORed with `xor_mask`.
void vm_fault_corrupt_next_answers(int count, int byte_index, uint8_t xor_mask);
void vm_fault_clear(void);
// Opening the link's device (cable, 2.4 GHz, 8 kHz) fails with errno `error`, as
// a node the user may not open (EACCES); 0 lets it open again.
void vm_fault_refuse_open(int link, int error);
int vm_open_refused(int link);

// --- Inspection ---------------------------------------------------------------
void vm_get_state(VmMouseState* out);
void vm_get_counters(VmCounters* out);
int vm_wire_log_count(void);
// Copies entry `index` (0 = oldest kept); returns 1, or 0 when out of range.
// The log keeps the most recent 4,096 entries.
int vm_wire_log_get(int index, VmWireEntry* out);
void vm_wire_log_clear(void);
// Copies the accepted chunk stored in `block` (111 bytes); returns 1, or 0
// when the block holds none.
int vm_macro_block(int block, uint8_t out[VM_MACRO_CHUNK_BYTES]);
// Follows the macro from `start_block` through its link entries, writes up to
// `capacity` events and returns the status (also in info->status).
int vm_macro_decode(int start_block, VmMacroInfo* info, VmMacroEvent* events, int capacity);

// Factory settings, empty macro memory, no faults, awake, clear log and
// counters. Plugged links, monitors and the clock stay as they are.
void vm_reset(void);

// --- Bluetooth LE ---------------------------------------------------------------
// A report written to the mouse's write characteristic, whole and unframed.
// Returns 1 when the BLE link is plugged (the write was delivered), else 0.
int vm_ble_write(const uint8_t* buffer, int length);
typedef void (*vm_ble_notify_fn)(void* context, const uint8_t* report, int length);
typedef void (*vm_ble_connection_fn)(void* context, int connected);
// Where the mouse's answers over Bluetooth LE go (notifications of its event
// characteristic) and who hears connects and disconnects. NULLs remove it.
void vm_set_ble_listener(vm_ble_notify_fn notify, vm_ble_connection_fn connection,
                         void* context);

// --- The library links as hidraw nodes ----------------------------------------------
// For a double of hidapi in front of the mouse. Each plugged library link shows
// its USB interfaces (see drivers/virtual/hid_layout.h); transfers are checked
// against the reports their descriptors declare. While a listener is set the
// mouse counts as found on every plugged link, and its events go out as input
// reports to the listener besides the driver libraries' event messages.
enum { VM_HID_INPUT = 0, VM_HID_OUTPUT = 1, VM_HID_FEATURE = 2 };
int vm_hid_interface_count(int link);
// The USB interface number of interface `index`, or -1.
int vm_hid_interface_number(int link, int index);
// Copies the report descriptor of interface `index`; returns its length, or -1
// when there is no such interface or `capacity` is too small.
int vm_hid_report_descriptor(int link, int index, uint8_t* out, int capacity);
// A VM_HID_FEATURE or VM_HID_OUTPUT transfer as hidraw passes it: byte 0 the
// report ID, then all the report's data bytes. Returns the length, 0 when the
// link is not plugged, -1 when the interface declares no such report or the
// length is wrong (the device stalls; logged as rejected).
int vm_hid_transfer(int link, int index, int kind, const uint8_t* data, int length);
typedef void (*vm_hid_input_fn)(void* context, int link, int index, const uint8_t* report, int length);
typedef void (*vm_hid_plug_fn)(void* context, int link, int plugged);
// Who receives the input reports and hears library links plugged and unplugged;
// NULLs remove it.
void vm_set_hid_listener(vm_hid_input_fn input, vm_hid_plug_fn plug, void* context);

// --- Demo control ------------------------------------------------------------------
// Runs one control line ("plug 2.4", "dpi", "battery 0 57", ...; "help" lists
// them) and writes the reply, NUL-terminated. Returns 1 on success, 0 on error.
int vm_execute_command(const char* line, char* reply, int reply_size);
// Serves control lines on an AF_UNIX stream socket at `path`. Returns 1 when
// listening. Started automatically with the first Open_DevMonitor when the
// environment variable NORVANE_VIRTUAL_MOUSE_SOCKET names a path.
int vm_control_socket_start(const char* path);
void vm_control_socket_stop(void);

#ifdef __cplusplus
}
#endif
