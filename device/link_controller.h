#pragma once
// The link side of the settings page: which of the four links to the mouse is up,
// whether the mouse answers behind each receiver, the events the mouse sends on its
// own (DPI level, polling rate, battery, acknowledgement, lighting mode), the battery
// display, and the worker thread that runs every apply.
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
//   - main-window timers 528..536: on_page_timer (529 and 530 go back to the page
//     through LinkPageHooks::on_settings_timer);
//   - udev notifications of HID devices: on_device_change;
//   - Bluetooth LE notifications, on the UI thread: on_device_event(EventSource::ble, ...);
//   - start-up: open_links, then (after the profile store is loaded) set_ble_connected
//     with links.ble_present; shut-down: close_links (also run by the destructor).

#include <array>
#include <cstdint>
#include <functional>
#include <thread>

#include "core/link_state.h"
#include "core/profile_state.h"
#include "device/apply_worker.h"
#include "device/battery_display.h"
#include "device/ble_link_port.h"
#include "device/ble_presence.h"
#include "device/device_change.h"
#include "device/driver_link_ports.h"
#include "device/library_links.h"
#include "device/link_page_hooks.h"
#include "device/link_view.h"

namespace norvane {

// Where a device event came from. The cable and the 2.4 GHz receiver share one source.
enum class EventSource : uint8_t { library, library_8k, ble };

// Device event codes: low byte 0x09, high byte the event class.
inline constexpr uint16_t kDeviceEventTag = 0x09;
inline constexpr uint16_t kEventDpiLevel = 0x1000;
inline constexpr uint16_t kEventPollingRate = 0x2000;
inline constexpr uint16_t kEventBattery = 0x4000;
inline constexpr uint16_t kEventAcknowledge = 0x5000;
inline constexpr uint16_t kEventLightingMode = 0x7000;
inline constexpr uint16_t kEventSettingsChanged = 0x8000;

inline constexpr int kWatchdogMs = 6000;
inline constexpr int kBleRegisterDelayMs = 2000;
inline constexpr int kLightModes = 12;  // entries of the lighting-mode list

// Everything the controller works through. All of it must outlive the controller;
// the page runs close_links before it tears down its view.
struct LinkControllerParts {
  LinkState& links;
  ProfileState& profiles;
  DriverLinkPorts& drivers;
  BleLinkPort& ble;
  BlePresenceProbe& ble_probe;
  LinkView& view;
  LinkPageHooks& hooks;
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

  // Starts the worker, loads and opens the three libraries, probes Bluetooth LE,
  // sets any_link and posts 1290. Runs once.
  void open_links();
  // One folded library message of `link`.
  void on_link_value(LibraryLink link, uint32_t value);
  // One event from the mouse: code = report bytes 0..1, value = bytes 2..3.
  void on_device_event(EventSource source, uint16_t code, uint16_t value);
  void set_ble_connected(bool connected);
  void on_device_change(const DeviceChange& change);
  void refresh_link_sections();
  // True when `id` is one of the timers routed to the page (528..536).
  bool on_page_timer(int id);
  // Message 1559: hands the request to the worker as thread message 1552.
  void request_apply(uintptr_t wparam, intptr_t lparam);
  // True once close_links has begun. The apply routine, on the worker thread, may
  // check it between reports to end early at shut-down.
  bool apply_stop_requested() const { return worker_.stop_requested(); }
  // Stops and joins the worker, then closes and releases the libraries. Idempotent.
  void close_links();

  const BatteryDisplay& battery() const { return battery_; }

 private:
  // One receiver's online bookkeeping.
  struct Receiver {
    std::atomic<int32_t>& online;
    const std::atomic<int32_t>& other_online;
    const char* icon;
    int watchdog_timer;
  };

  void open_library_link(LibraryLink link);
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

  void on_dpi_level_event(uint16_t value);
  void on_polling_rate_event(EventSource source, uint16_t value);
  void on_lighting_mode_event(uint16_t value);
  void on_battery_event(EventSource source, uint8_t status, uint8_t level);
  void on_receiver_battery_event(LibraryLink receiver_link, uint8_t status, uint8_t level);
  void on_ble_battery_event(uint8_t status, uint8_t level);
  void save_device_change();

  std::atomic<int32_t>& state_of(LibraryLink link);
  const std::atomic<int32_t>& state_of(LibraryLink link) const;

  LinkState& links_;
  ProfileState& profiles_;
  DriverLinkPorts& drivers_;
  BleLinkPort& ble_;
  BlePresenceProbe& ble_probe_;
  LinkView& view_;
  LinkPageHooks& hooks_;
  NvPostTarget post_target_;
  ApplyWorker worker_;
  BatteryDisplay battery_;
  std::array<bool, 3> arrival_pending_{};
  bool open_ = false;
  bool closed_ = false;
  std::thread::id ui_thread_;
};

}  // namespace norvane
