#include "app/main_window.h"

#include <QCoreApplication>
#include <QCursor>
#include <QIcon>

#include "app/device_access_hint.h"
#include "app/folders.h"
#include "app/menu_route.h"
#include "app/screenshot_tour.h"
#include "app/startup_probe.h"
#include "app/toolkit/msg_wnd.h"
#include "app/toolkit/desktop_notices.h"
#include "app/toolkit/resources.h"
#include "app/toolkit/tray_availability.h"
#include "core/messages.h"
#include "core/startup_marks.h"
#include "device/library_message.h"
#include "settings/dpi_msg.h"

namespace norvane {
namespace {

constexpr char kPageName[] = "MS_1_Page";
constexpr char kIconFile[] = "skins/logo.svg";

}  // namespace

CMainWnd::CMainWnd(std::unique_ptr<MainWindowPage> page) : page_(std::move(page)) {}

CMainWnd::~CMainWnd() {
  if (dpi_popup_ != nullptr) {
    // The popup's window is a child of this one; it must not call back into a window
    // object that is going away.
    CDPIMsg* popup = dpi_popup_;
    dpi_popup_ = nullptr;
    popup->set_on_gone({});
    delete popup;
  }
  tray_availability().watch({});
  remove_virtual_window(QLatin1String(kPageName));
  if (page_) page_->tear_down();  // closes the links and stops the worker
  page_.reset();  // before the hook table it was given goes away
  tray_menu_.close();
  tray_.remove();
}

void CMainWnd::init() {
  if (page_) {
    add_virtual_window(QLatin1String(kPageName), page_.get());
    page_->attach(*this, hooks_.functions());
  }
  startup_mark("page-attached");

  icon_ = QIcon(resources().path(QLatin1String(kIconFile)));
  if (native() != nullptr) native()->setWindowIcon(icon_);

  // Loaded here unless the program did so before the skin (then its texts were shown
  // in the language as the skin loaded, with no second pass over every control).
  if (resources().language().size() == 0) resources().load_language(QStringLiteral("lan.xml"));
  mouse_name_ = resources().text(QStringLiteral("mouse_name_text"));
  startup_mark("language");
  const QString& name = mouse_name_;
  tray_.create(port(), icon_, name);  // false where the desktop has no tray: the program runs on
  tray_availability().watch([this] { on_tray_availability(); });
  startup_mark("tray");

  skin_btn_ = find(QStringLiteral("skin_btn"));
  main_menu_btn_ = find(QStringLiteral("main_menu_btn"));
  min_btn_ = find(QStringLiteral("min_btn"));
  exit_btn_ = find(QStringLiteral("exit_btn"));
  apply_progress_ = find(QStringLiteral("apply_progress"));
  device_tab_switch_ = find(QStringLiteral("device_tab_switch"));
  set_title(name);

  if (page_) {
    page_->start_page();
    startup_mark("page-started");
  }

  // What the first look at the window does not need waits until it has been painted.
  after_first_paint(native(), [this] { start_after_first_paint(); });
  start_screenshot_tour_when_asked(*this, [this] { return device_connected_ != 0 && is_visible(); });
}

void CMainWnd::start_after_first_paint() {
  if (hook_library_path_.empty()) hook_library_path_ = exe_folder_path() + kHookLibraryFile;
  hooks_.load(hook_library_path_);  // without it the program runs on, without recording
  if (page_) page_->watch_device_changes(port());
  startup_mark("after-first-paint");
}

void CMainWnd::on_click(const Notification& n) {
  if (exit_btn_ && n.sender == exit_btn_) {
    hide_to_tray();
  } else if (min_btn_ && n.sender == min_btn_) {
    minimize();
  } else if (main_menu_btn_ && n.sender == main_menu_btn_) {
    open_tray_menu();
  }
}

void CMainWnd::on_close_request() { hide_to_tray(); }

void CMainWnd::on_screen_changed(bool on_screen) {
  if (page_) page_->on_screen_changed(on_screen);
}

void CMainWnd::hide_to_tray() {
  // The program lives on in the tray; where there is none nothing could bring the
  // window back, so closing it ends the program instead.
  if (tray_.is_shown()) {
    hide();
  } else {
    close(0);
  }
}

bool CMainWnd::handle_custom_message(const Message& m) {
  const uint32_t id = m.id;
  const uintptr_t wparam = m.wparam;
  const intptr_t lparam = m.lparam;
  switch (id) {
    case UM_TRAY_ICON:
      if (lparam == kMouseLeftButtonUp) {
        bring_forward();
      } else if (lparam == kMouseRightButtonUp) {
        open_tray_menu();
      }
      return true;
    case UM_MENU_COMMAND:
      if (const MenuCommand* command = payload_of<MenuCommand>(m)) on_menu_command(*command);
      return true;
    case UM_HOOK_INPUT:
    case UM_IGNORED_1292:
    case UM_IGNORED_1560:
    case UM_IGNORED_5121:
      return true;
    case UM_ACTIVATE:
      bring_forward();
      return true;
    case UM_LINK_STATE:
      on_link_state();
      return true;
    case UM_DPI_POPUP:
      show_dpi_popup(wparam, lparam);
      return true;
    case UM_BATTERY_STATE:
      on_battery_state(wparam, static_cast<BatteryShown>(lparam));
      return true;
    case UM_WIRELESS_EVENT:
    case UM_WIRELESS_LINK:
    case UM_WIRED_EVENT:
    case UM_WIRED_LINK:
    case UM_WIRELESS_8K_EVENT:
    case UM_WIRELESS_8K_LINK:
      if (const auto folded = fold_library_message(id, wparam, lparam); folded && page_) {
        page_->on_link_value(folded->link, folded->value);
      }
      return true;
    case UM_REQUEST_APPLY:
      if (page_) page_->post_to_worker(UM_APPLY_THREAD, wparam, lparam);
      return true;
    case UM_DEVICE_CHANGE:
      if (const DeviceChange* change = payload_of<DeviceChange>(m); change && page_) page_->on_device_change(*change);
      return true;
    default:
      return false;
  }
}

void CMainWnd::on_timer(int id) {
  if (id == TIMER_DPI_POPUP) {
    kill_timer(TIMER_DPI_POPUP);
    close_dpi_popup();
    return;
  }
  if (page_) page_->on_page_timer(id);
}

void CMainWnd::bring_forward() {
  // Without a tray the window itself shows that no mouse is there.
  if (device_connected_ == 0 && tray_.is_shown()) {
    show_no_device_warning();
    return;
  }
  bring_to_front();  // shows it, restores it when minimised, makes it the active window
}

void CMainWnd::show_no_device_warning() {
  if (warning_open_) return;  // one warning at a time
  warning_open_ = true;
  CMsgWnd box{QString::fromLatin1(kWarningTitleKey), QString::fromLatin1(kNoDeviceTextKey)};
  if (box.create(this, QString(), WindowStyle::kPopup | WindowStyle::kToolWindow | WindowStyle::kVisible,
                 QSize(800, 800))) {
    box.center();
    box.show_modal();
  }
  warning_open_ = false;
}

void CMainWnd::open_tray_menu() {
  const QPoint cursor = QCursor::pos();
  tray_menu_.open(port(), QStringLiteral("traymenu.xml"), QPoint(cursor.x(), cursor.y() - 50));
}

void CMainWnd::on_menu_command(const MenuCommand& command) {
  const QString& item = command.name;
  switch (route_menu_item(item.toStdU16String())) {
    case MenuRoute::kConfiguration:
      bring_forward();
      break;
    case MenuRoute::kExit:
      close(0);  // destroying the main window ends the program
      break;
    case MenuRoute::kPage:
      if (page_) page_->on_menu_command(item);
      break;
    case MenuRoute::kIgnore:
      break;
  }
}

void CMainWnd::on_link_state() {
  device_connected_ = page_ ? page_->any_link() : 0;
  if (device_connected_ != 0) {
    device_tab_switch_.select_item(kSettingsPage);
    return;
  }
  show_no_mouse_state();
  device_tab_switch_.select_item(kNoMousePage);
  // With a tray the program waits there and opening it shows the no-device warning;
  // without one the window stays up, showing what to check.
  if (tray_.is_shown()) hide();
}

void CMainWnd::show_no_mouse_state() {
  const int error = page_ ? page_->mouse_open_error() : 0;
  const bool denied = is_permission_error(error);
  find(QStringLiteral("no_mouse_title")).set_text(denied ? QStringLiteral("no_access_title_text")
                                                         : QStringLiteral("no_mouse_title_text"));
  find(QStringLiteral("no_mouse_checks")).set_visible(!denied);
  for (const char* name : {"no_access_text", "no_access_commands", "no_access_after"}) {
    find(QLatin1String(name)).set_visible(denied);
  }
  if (!denied) return;
  Control commands = find(QStringLiteral("no_access_commands"));
  commands.set_resource_text(false);
  commands.set_text(udev_rule_commands(QString::fromStdString(exe_folder_path()) + QLatin1String(kUdevRuleFile)));
}

void CMainWnd::on_tray_availability() {
  const bool available = tray_availability().available();
  if (available && !tray_.is_shown()) {
    tray_.create(port(), icon_, tray_.tooltip());
  } else if (!available && tray_.is_shown()) {
    tray_.remove();
  }
  // A window hidden to a tray that went away could not be brought back by anything.
  if (!tray_.is_shown() && !is_visible()) bring_to_front();
}

void CMainWnd::on_battery_state(uintptr_t level, BatteryShown shown) {
  switch (shown) {
    case BatteryShown::level:
      if (level > 100) return;
      if (battery_.on_level(static_cast<int>(level))) show_battery_notice(static_cast<int>(level));
      break;
    case BatteryShown::charging:
      battery_.on_charging();
      break;
    case BatteryShown::nothing:
      battery_.on_unknown();
      break;
  }
  show_tray_tooltip();
}

void CMainWnd::show_tray_tooltip() {
  QString tip = mouse_name_;
  if (battery_.charging()) {
    tip = resources().text(QStringLiteral("tray_charging_text")).arg(mouse_name_);
  } else if (const auto level = battery_.level()) {
    tip = resources().text(QStringLiteral("tray_level_text")).arg(mouse_name_).arg(*level);
  }
  tray_.set_tooltip(tip);
}

void CMainWnd::show_battery_notice(int level) {
  const bool urgent = level <= kBatteryVeryLowMark;
  const QString title = resources().text(QStringLiteral("battery_low_title_text"));
  const QString text =
      resources().text(urgent ? QStringLiteral("battery_very_low_text") : QStringLiteral("battery_low_text")).arg(level);
  if (tray_.show_message(title, text, urgent)) return;
  desktop_notices().show(DesktopNotice{title, text, resources().path(QLatin1String(kIconFile)), urgent});
}

void CMainWnd::show_dpi_popup(uintptr_t wparam, intptr_t lparam) {
  const QString text = dpi_popup_text(wparam, lparam);
  set_timer(TIMER_DPI_POPUP, kDpiPopupLifetimeMs);  // restarts a running timer
  if (dpi_popup_ != nullptr) {
    dpi_popup_->set_text(text);
    return;
  }
  auto popup = std::make_unique<CDPIMsg>();
  popup->set_text(text);
  const unsigned style = WindowStyle::kPopup | WindowStyle::kVisible | WindowStyle::kTopmost |
                         WindowStyle::kToolWindow | WindowStyle::kNoActivate;
  if (!popup->create(this, QString(), style, QSize(800, 800), QPoint(0, 0))) return;
  dpi_popup_ = popup.release();  // it frees itself once its window is gone
  dpi_popup_->set_on_gone([this] { dpi_popup_ = nullptr; });
}

void CMainWnd::close_dpi_popup() {
  if (dpi_popup_ == nullptr) return;
  CDPIMsg* popup = dpi_popup_;
  dpi_popup_ = nullptr;
  popup->set_on_gone({});  // its window goes later; this window may be gone by then
  popup->close(0);
}

void CMainWnd::on_destroy() {
  tray_availability().watch({});
  kill_timer(TIMER_DPI_POPUP);
  close_dpi_popup();
  hooks_.remove_hooks();
  hooks_.unload();
  tray_menu_.close();
  QCoreApplication::exit(0);
}

}  // namespace norvane
