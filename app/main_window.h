#pragma once
// CMainWnd: the program's main window (window class "Norvane", skin "main.xml").
//
// This first version loads the skin, the language file and the tray icon and handles
// what the shell itself needs: the title bar buttons, a second start asking to come
// forward (UM_ACTIVATE), the tray icon (UM_TRAY_ICON) and its menu (UM_MENU_COMMAND).
// The settings page, the device links and the DPI popup join it later.

#include "app/toolkit/popup_menu.h"
#include "app/toolkit/tray_icon.h"
#include "app/toolkit/window_base.h"

namespace norvane {

class CMainWnd : public WindowBase {
 public:
  CMainWnd();
  ~CMainWnd() override;

  QString window_class_name() const override { return QStringLiteral("Norvane"); }
  QString skin_file() const override { return QStringLiteral("main.xml"); }

  // The main window's size and creation style.
  static constexpr int kWidth = 800;
  static constexpr int kHeight = 572;
  static constexpr unsigned kStyle = WindowStyle::kPopup | WindowStyle::kVisible | WindowStyle::kMinimizeBox;

  bool has_tray_icon() const { return tray_.is_shown(); }

 protected:
  void init() override;
  void on_click(const Notification& n) override;
  bool handle_custom_message(uint32_t id, uintptr_t wparam, intptr_t lparam) override;
  void on_destroy() override;
  void on_close_request() override;

 private:
  void bring_forward();
  void open_tray_menu();
  void on_menu_command(uintptr_t wparam);

  TrayIcon tray_;
  PopupMenu tray_menu_;
  Control skin_btn_, main_menu_btn_, min_btn_, exit_btn_, apply_progress_, device_tab_switch_;
};

}  // namespace norvane
