#pragma once
// What the main window needs from the settings page it owns. The page object (this
// mouse model's page, registered as "MS_1_Page") implements it; the main window only
// routes to it. Every call is made on the UI thread.
//
// Order of calls over the life of the main window:
//   attach(window, hooks)          window initialisation: bind the page's controls, open the links
//   start_page()                   after the language file is loaded
//   watch_device_changes(port)     once the window has been painted for the first time
//   on_link_value / on_device_change / on_page_timer / on_menu_command / post_to_worker
//                                  while the program runs
//   tear_down()                    from the main window's destructor, after the page was
//                                  unregistered: close the links, stop the worker

#include <QString>
#include <cstdint>

#include "app/toolkit/message_port.h"
#include "app/toolkit/notification.h"
#include "device/device_change.h"
#include "device/library_links.h"
#include "input_capture/hook_library.h"

namespace norvane {

class WindowBase;

// The device-notification message: its payload is the DeviceChange.
inline constexpr uint32_t UM_DEVICE_CHANGE = 0x0219;

// Messages the main window accepts and ignores.
inline constexpr uint32_t UM_IGNORED_1292 = 1292;
inline constexpr uint32_t UM_IGNORED_1560 = 1560;
inline constexpr uint32_t UM_IGNORED_5121 = 5121;

class MainWindowPage : public NotifyTarget {
 public:
  ~MainWindowPage() override = default;

  // The window the page lives in (its controls, timers and posted messages) and the
  // hook table, whose entries are filled a little later and cleared when the window
  // is destroyed. Binds the page's controls and opens the links; opening posts 1290.
  virtual void attach(WindowBase& window, const HookFunctions& hooks) = 0;
  // Loads the stores, fills the profile list and shows the current profile.
  virtual void start_page() = 0;
  // Starts delivering device notifications to `window` as UM_DEVICE_CHANGE, then looks
  // for a mouse already connected over Bluetooth LE.
  virtual void watch_device_changes(MessagePortPtr window) = 0;

  // One folded message 1553..1558 of a driver library.
  virtual void on_link_value(LibraryLink link, uint32_t value) = 0;
  virtual void on_device_change(const DeviceChange& change) = 0;
  // Every main-window timer except the DPI popup's (52).
  virtual void on_page_timer(int id) = 0;
  // A chosen menu item whose name begins with this model's prefix.
  virtual void on_menu_command(const QString& item_name) = 0;
  // 1 while at least one link to the mouse is up.
  virtual int32_t any_link() const = 0;
  // Hands a thread message to the worker thread (1559 arrives here as 1552).
  virtual void post_to_worker(uint32_t id, uintptr_t wparam, intptr_t lparam) = 0;
  // The window came on screen or left it; what only draws pauses while it is off.
  virtual void on_screen_changed(bool /*on_screen*/) {}
  // Why the mouse's device could not be opened although it is there (EACCES: the user
  // may not open it), 0 when nothing failed that way.
  virtual int mouse_open_error() const { return 0; }

  virtual void tear_down() = 0;
};

}  // namespace norvane
