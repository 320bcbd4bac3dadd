#pragma once
// CMainWnd: the program's only top-level window (window class "Norvane", skin
// "main.xml") and the hub everything asynchronous passes through: the driver
// libraries' messages, device notifications, timers, the tray icon and its menu, the
// settings page's apply requests, a second start asking to come forward, and the DPI
// popup. It owns the settings page, the tray icon and the input hook library.
//
// Without a link to the mouse it shows the no-mouse state in place of the settings
// (what to check; the commands that grant access when the mouse is there but may not
// be opened). Where the desktop has a tray it then hides itself, and every attempt to
// open it shows a warning instead, one at a time; where there is no tray (checked
// again whenever that changes) nothing could bring it back, so it stays on screen.
//
// The tray's tooltip carries the battery level or "charging", and a falling battery
// is announced at 15 % and 5 % (battery_watch.h), through the tray or, without one,
// the desktop's notification service.

#include <QIcon>
#include <QString>
#include <memory>
#include <string>

#include "app/battery_watch.h"
#include "app/toolkit/popup_menu.h"
#include "app/toolkit/tray_icon.h"
#include "app/toolkit/window_base.h"
#include "input_capture/hook_library.h"
#include "settings/page_interface.h"

namespace norvane {

class CDPIMsg;

inline constexpr int kDpiPopupLifetimeMs = 2000;
inline constexpr char kNoDeviceTextKey[] = "no_device_text";
// Pages of "device_tab_switch".
inline constexpr int kSettingsPage = 0;
inline constexpr int kNoMousePage = 1;

class CMainWnd : public WindowBase {
 public:
  // `page` may be null: the window then runs without a device (and hides itself on the
  // first link-state message).
  explicit CMainWnd(std::unique_ptr<MainWindowPage> page = nullptr);
  ~CMainWnd() override;

  QString window_class_name() const override { return QStringLiteral("Norvane"); }
  QString skin_file() const override { return QStringLiteral("main.xml"); }

  // The main window's size and creation style.
  static constexpr int kWidth = 800;
  static constexpr int kHeight = 572;
  static constexpr unsigned kStyle = WindowStyle::kPopup | WindowStyle::kVisible | WindowStyle::kMinimizeBox;

  // Where the input hook library is loaded from; set before create(). Default: Hook.so
  // in the executable's folder.
  void set_hook_library_path(std::string path) { hook_library_path_ = std::move(path); }

  bool has_tray_icon() const { return tray_.is_shown(); }
  const QString& tray_tooltip() const { return tray_.tooltip(); }
  // The page's any_link, as of the last link-state message.
  int32_t device_connected() const { return device_connected_; }
  const CDPIMsg* dpi_popup() const { return dpi_popup_; }
  bool no_device_warning_open() const { return warning_open_; }
  const HookFunctions& hook_functions() const { return hooks_.functions(); }

 protected:
  void init() override;
  void on_click(const Notification& n) override;
  bool handle_custom_message(const Message& m) override;
  void on_timer(int id) override;
  void on_destroy() override;
  void on_close_request() override;
  void on_screen_changed(bool on_screen) override;

 private:
  // The input-capture library, device notifications and the look for a Bluetooth LE
  // mouse: started once the window has been painted for the first time.
  void start_after_first_paint();
  void bring_forward();
  void show_no_device_warning();
  void open_tray_menu();
  void on_menu_command(const MenuCommand& command);
  void on_link_state();
  void show_dpi_popup(uintptr_t wparam, intptr_t lparam);
  void close_dpi_popup();
  void hide_to_tray();
  void show_no_mouse_state();
  void on_tray_availability();
  void on_battery_state(uintptr_t level, BatteryShown shown);
  void show_battery_notice(int level);
  void show_tray_tooltip();

  std::unique_ptr<MainWindowPage> page_;
  TrayIcon tray_;
  PopupMenu tray_menu_;
  HookLibrary hooks_;
  std::string hook_library_path_;
  QIcon icon_;
  QString mouse_name_;
  BatteryWatch battery_;
  Control skin_btn_, main_menu_btn_, min_btn_, exit_btn_, apply_progress_, device_tab_switch_;
  int32_t device_connected_ = 0;
  CDPIMsg* dpi_popup_ = nullptr;  // frees itself; forgotten when it is gone
  bool warning_open_ = false;
};

}  // namespace norvane
