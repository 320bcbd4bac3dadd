#pragma once
// Whether the desktop offers a notification area (tray) for the program's icon. Many
// desktops have none (GNOME by default), and the answer can change while the program
// runs: a panel restarts, a tray extension is switched on or off. A window that hides
// itself "to the tray" must ask first, and again when the answer changes.
//
// The real answer is the desktop's (Qt's system tray check). It is watched without
// polling: the X11 tray selection (reported by Qt's xcb platform) and the
// StatusNotifier watcher on the session bus. Tests install their own answer.

#include <functional>

namespace norvane {

class TrayAvailability {
 public:
  virtual ~TrayAvailability() = default;
  virtual bool available() = 0;
  // `changed` runs on the UI thread whenever the answer may have changed. One watcher
  // at a time; {} stops watching.
  virtual void watch(std::function<void()> changed) = 0;
};

// The answer in use: the desktop's unless a test installed another.
TrayAvailability& tray_availability();

// Installs `availability` (nullptr = the desktop's again) and returns the previous one.
TrayAvailability* set_tray_availability(TrayAvailability* availability);

class ScopedTrayAvailability {
 public:
  explicit ScopedTrayAvailability(TrayAvailability& availability)
      : previous_(set_tray_availability(&availability)) {}
  ~ScopedTrayAvailability() { set_tray_availability(previous_); }
  ScopedTrayAvailability(const ScopedTrayAvailability&) = delete;
  ScopedTrayAvailability& operator=(const ScopedTrayAvailability&) = delete;

 private:
  TrayAvailability* previous_;
};

}  // namespace norvane
