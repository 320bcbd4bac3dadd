#pragma once
// The links to the mouse: which of the four is up, whether the mouse answers behind
// each receiver (battery reports mark it online, a watchdog marks it gone), the
// arrival wait and removals, the Bluetooth LE connection, and the worker thread that
// runs every apply. What it finds goes to a LinkSink as typed calls; the changes the
// user makes on the mouse are decoded and handed on, for the page to follow.
//
// Threads: every operation runs on the UI thread, the thread that constructed the
// controller. Link messages from the driver libraries reach it through the main
// window's queue; the Bluetooth LE transport hands its notifications over to the UI
// thread before calling on_device_event (an event arriving on any other thread is
// dropped with a trace line). The worker thread only reads LinkState.
//
// Wiring (the page owns one controller):
//   - the main window's messages 1553..1558: fold_library_message, then on_link_value;
//   - message 1559: request_apply (forwarded to the worker as 1552);
//   - the link timers 528, 532..536: on_link_timer;
//   - udev notifications of HID devices: on_device_change;
//   - Bluetooth LE notifications, on the UI thread: on_device_event(EventSource::ble, ...);
//   - start-up: open_links, then (after the profile store is loaded) set_ble_connected
//     with links.ble_present; shut-down: close_links (also run by the destructor).

#include <array>
#include <cstdint>
#include <functional>
#include <thread>

#include "core/link_state.h"
#include "device/apply_worker.h"
#include "device/ble_link_port.h"
#include "device/ble_presence.h"
#include "device/device_change.h"
#include "device/driver_link_ports.h"
#include "device/library_links.h"
#include "device/link_sink.h"
#include "protocol/device_events.h"

namespace norvane {

inline constexpr int kWatchdogMs = 6000;
inline constexpr int kBleRegisterDelayMs = 2000;

// Everything the controller works through. All of it must outlive the controller;
// the page runs close_links before it tears down its view.
struct LinkControllerParts {
  LinkState& links;
  DriverLinkPorts& drivers;
  BleLinkPort& ble;
  BlePresenceProbe& ble_probe;
  LinkSink& sink;
  LinkTimers& timers;
};

class LinkController {
 public:
  // `post_target` is what the driver libraries post their messages to; it is kept
  // inside the controller for as long as the monitors run. `apply` is the apply
  // routine, run on the worker thread.
  LinkController(const LinkControllerParts& parts, NvPostTarget post_target, std::function<void()> apply);
  ~LinkController();
  LinkController(const LinkController&) = delete;
  LinkController& operator=(const LinkController&) = delete;

  // Starts the worker, loads and opens the three libraries, sets any_link from them
  // and reports it. Runs once.
  void open_links();
  // One folded library message of `link`.
  void on_link_value(LibraryLink link, uint32_t value);
  // One event from the mouse: code = report bytes 0..1, value = bytes 2..3.
  void on_device_event(EventSource source, uint16_t code, uint16_t value);
  void set_ble_connected(bool connected);
  // Looks for the mouse connected over Bluetooth LE (a listing of the system's HID
  // devices) and connects to it when it is there. Called once device notifications
  // are delivered, so an arrival in between is not missed either way.
  void find_ble_mouse();
  void on_device_change(const DeviceChange& change);
  // True when `id` is one of the link timers (528, 532..536); it has then been handled.
  bool on_link_timer(int id);
  // Message 1559: hands the request to the worker as thread message 1552.
  void request_apply(uintptr_t wparam, intptr_t lparam);
  // True once close_links has begun. The apply routine, on the worker thread, may
  // check it between reports to end early at shut-down.
  bool apply_stop_requested() const { return worker_.stop_requested(); }
  const ApplyWorker& worker() const { return worker_; }
  // Stops and joins the worker, then closes and releases the libraries. Idempotent.
  void close_links();

  // The errno with which the last open of `link`'s device failed although a node
  // of it exists (EACCES: the user may not open it), 0 otherwise. Such a link is
  // never present.
  int open_error(LibraryLink link) const { return open_errors_[static_cast<size_t>(link)]; }

 private:
  // One receiver's online bookkeeping.
  struct Receiver {
    std::atomic<int32_t>& online;
    const std::atomic<int32_t>& other_online;
    LinkIcon icon;
    int watchdog_timer;
  };

  void open_library_link(LibraryLink link);
  // Opens the link's device as start-up and arrival do; true when it is open.
  bool open_device(LibraryLink link);
  void on_link_arrived(LibraryLink link);
  void finish_arrival(LibraryLink link);
  void on_link_gone(LibraryLink link);
  bool another_link_up(LibraryLink except) const;
  void set_any_link(int32_t value);

  Receiver receiver(LibraryLink link);
  void mark_offline(LibraryLink receiver_link);
  void mark_online(LibraryLink receiver_link);
  void awake();
  void watchdog_expired(LibraryLink receiver_link);
  // Tells the sink the mouse is reachable again, once per event or arrival.
  void reached_back();

  void on_battery_event(EventSource source, const BatteryReport& report);
  void on_receiver_battery_event(LibraryLink receiver_link, const BatteryReport& report);
  void on_ble_battery_event(const BatteryReport& report);

  std::atomic<int32_t>& state_of(LibraryLink link);
  const std::atomic<int32_t>& state_of(LibraryLink link) const;

  LinkState& links_;
  DriverLinkPorts& drivers_;
  BleLinkPort& ble_;
  BlePresenceProbe& ble_probe_;
  LinkSink& sink_;
  LinkTimers& timers_;
  NvPostTarget post_target_;
  ApplyWorker worker_;
  std::array<bool, 3> arrival_pending_{};
  std::array<int, 3> open_errors_{};
  bool open_ = false;
  bool closed_ = false;
  // Set while an event or arrival is handled once the sink has heard it made the mouse
  // reachable again, so the event itself is not reported a second time.
  bool reached_back_ = false;
  std::thread::id ui_thread_;
};

}  // namespace norvane
