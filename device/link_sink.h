#pragma once
// What the link side reports and what it schedules. The settings page implements
// both: the sink turns link changes and the mouse's events into the profile and the
// controls, the timers are the main window's numbered timers. Every call is made on
// the UI thread.

#include <cstdint>

#include "protocol/device_events.h"

namespace norvane {

// The four links' icons.
enum class LinkIcon : uint8_t { wired, wireless, wireless_8k, ble };

// How the link side learned that the mouse can take reports.
enum class MouseReach : uint8_t {
  back,   // it woke, a receiver hears it again, the cable came or Bluetooth LE connected
  heard,  // it sent an event while it was already reachable
};

class LinkSink {
 public:
  virtual ~LinkSink() = default;

  virtual void show_link(LinkIcon icon, bool shown) = 0;
  // The "asleep" label: shown while no link reaches an awake mouse.
  virtual void show_sleeping(bool shown) = 0;
  // Which links are up changed: sections that depend on the link (polling rate, key
  // debounce, lighting) are laid out again.
  virtual void links_changed() = 0;
  // `any_link` went up or down (the window shows or hides itself on it).
  virtual void any_link_changed() = 0;

  // Battery: a level 0..100 (the charging sweep stops; a level outside that range
  // only stops the sweep), charging (the sweep runs; `from_start` starts it at 0), the
  // sweep stopped with the bar left as it is, or nothing known (label emptied).
  virtual void show_battery_level(int level) = 0;
  virtual void show_charging(bool from_start) = 0;
  virtual void stop_charging_sweep() = 0;
  virtual void clear_battery() = 0;

  // A change the user made on the mouse (DPI level, polling rate, lighting mode, or
  // a setting it saved itself), for the profile to follow.
  virtual void mouse_changed(const DeviceEvent& event) = 0;

  // The mouse can be reached: changes still waiting for it may go now. Called once per
  // event from the mouse (after what the event changed) and once per arrival.
  virtual void mouse_reachable(MouseReach how) = 0;
};

// The main window's numbered timers: starting a running timer restarts it.
class LinkTimers {
 public:
  virtual ~LinkTimers() = default;
  virtual void start_timer(int id, int interval_ms) = 0;
  virtual void kill_timer(int id) = 0;
};

}  // namespace norvane
