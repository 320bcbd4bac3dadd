#include "app/main_window.h"

#include <QCoreApplication>
#include <QCursor>
#include <QIcon>

#include "app/messages.h"
#include "app/toolkit/resources.h"

namespace norvane {

CMainWnd::CMainWnd() = default;

CMainWnd::~CMainWnd() {
  tray_menu_.close();
  tray_.remove();
}

void CMainWnd::init() {
  resources().load_language(QStringLiteral("lan.xml"));
  const QString name = resources().text(QStringLiteral("mouse_name_text"));

  const QIcon icon(resources().path(QStringLiteral("skins/app_icon.svg")));
  if (native() != nullptr) native()->setWindowIcon(icon);
  tray_.create(port(), icon, name);  // false where the desktop has no tray: the program runs on

  skin_btn_ = find(QStringLiteral("skin_btn"));
  main_menu_btn_ = find(QStringLiteral("main_menu_btn"));
  min_btn_ = find(QStringLiteral("min_btn"));
  exit_btn_ = find(QStringLiteral("exit_btn"));
  apply_progress_ = find(QStringLiteral("apply_progress"));
  device_tab_switch_ = find(QStringLiteral("device_tab_switch"));
  set_title(name);
  device_tab_switch_.select_item(0);
}

void CMainWnd::on_click(const Notification& n) {
  if (n.sender == exit_btn_) {
    // The program lives on in the tray; without a tray nothing could bring it back.
    if (tray_.is_shown()) {
      hide();
    } else {
      close(0);
    }
  } else if (n.sender == min_btn_) {
    minimize();
  } else if (n.sender == main_menu_btn_) {
    open_tray_menu();
  }
}

bool CMainWnd::handle_custom_message(uint32_t id, uintptr_t wparam, intptr_t lparam) {
  switch (id) {
    case UM_ACTIVATE:
      bring_forward();
      return true;
    case UM_TRAY_ICON:
      if (lparam == kMouseLeftButtonUp) {
        if (!is_visible() || is_minimized()) bring_forward();
      } else if (lparam == kMouseRightButtonUp) {
        open_tray_menu();
      }
      return true;
    case UM_MENU_COMMAND:
      on_menu_command(wparam);
      return true;
    default:
      return false;
  }
}

void CMainWnd::bring_forward() { bring_to_front(); }

void CMainWnd::open_tray_menu() {
  const QPoint cursor = QCursor::pos();
  tray_menu_.open(port(), QStringLiteral("traymenu.xml"), QPoint(cursor.x(), cursor.y() - 50));
}

void CMainWnd::on_menu_command(uintptr_t wparam) {
  std::unique_ptr<MenuCommand> command = adopt_menu_command(wparam);
  if (!command) return;
  const QString item = menu_field(command->name);
  if (item.compare(QLatin1String("configuration"), Qt::CaseInsensitive) == 0) {
    bring_forward();
  } else if (item.compare(QLatin1String("exit"), Qt::CaseInsensitive) == 0) {
    close(0);
  }
}

void CMainWnd::on_destroy() {
  tray_menu_.close();
  QCoreApplication::exit(0);
}

void CMainWnd::on_close_request() {
  // The window manager's close (Alt+F4) behaves like the title bar's exit button.
  if (tray_.is_shown()) {
    hide();
  } else {
    close(0);
  }
}

}  // namespace norvane
