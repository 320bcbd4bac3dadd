// The main window with a recording page: the order it sets the page up in, how it
// routes messages, menu items and timers, when it shows itself or the no-device
// warning, the DPI popup's life on fake time, and what it undoes when destroyed.

#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <cerrno>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "app/battery_watch.h"
#include "app/device_access_hint.h"
#include "app/folders.h"
#include "app/toolkit/popup_menu.h"
#include "app/toolkit/resources.h"
#include "app/toolkit/timer_service.h"
#include "settings/dpi_msg.h"
#include "tests/app/fake_page.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/fake_time.h"
#include "tests/support/modal_driver.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_files.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

int open_windows_of_class(const char* window_class) {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == QLatin1String(window_class) && w->isVisible()) ++n;
  }
  return n;
}

// Keeps a fake hook library loaded while the window loads and unloads it, so its call
// log survives the window's unload.
class HookLog {
 public:
  explicit HookLog(const char* library) : handle_(dlopen(library, RTLD_NOW | RTLD_LOCAL)) {}
  ~HookLog() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  std::string calls() const {
    auto fn = reinterpret_cast<const char* (*)()>(dlsym(handle_, "fake_hook_calls"));
    return fn != nullptr ? fn() : "<no log>";
  }

 private:
  void* handle_;
};

class MainWindowRoutingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    resources().set_folder(source_res_folder());
    make_window(FAKE_HOOK_PARTIAL);
  }
  void TearDown() override {
    window.reset();
    flush_events();
    resources().shut_down();
  }

  void make_window(const char* hook_library) {
    window.reset();
    log = PageLog{};
    window = std::make_unique<CMainWnd>(std::make_unique<FakePage>(log));
    window->set_hook_library_path(hook_library);
    ASSERT_TRUE(window->create(nullptr, "", CMainWnd::kStyle, QSize(CMainWnd::kWidth, CMainWnd::kHeight)));
    calls_before_paint = log.calls;
    hook_loaded_before_paint = window->hook_functions().removehook != nullptr;
    // The rest of the start waits for the window's first paint.
    ASSERT_TRUE(run_events_until([this] { return log.calls.contains("watch_device_changes"); }));
    log.notifications.clear();  // the window coming forward gave the first control the focus
  }

  // The page reports its links; the window hears it as message 1290.
  void set_links(int32_t any_link) {
    log.any_link = any_link;
    window->send_message(UM_LINK_STATE);
  }

  // Posts a menu item as the pop-up menus do (the window releases the record).
  void choose_menu_item(const char16_t* name) {
    MenuCommand command;
    command.name = QString::fromUtf16(name);
    window->port()->post(Message{UM_MENU_COMMAND, 0, 0, std::move(command)});
    flush_events();
  }

  FakeTime time;
  ScopedTimerService timers{time};
  FakeTray tray{true};
  ScopedTrayAvailability use_tray{tray};
  RecordingNotices notices;
  ScopedDesktopNotices use_notices{notices};
  PageLog log;
  QStringList calls_before_paint;
  bool hook_loaded_before_paint = false;
  std::unique_ptr<CMainWnd> window;
};

TEST_F(MainWindowRoutingTest, SetsThePageUpInOrderAndHandsItThePageNotifications) {
  // The page is filled before the first paint; device notifications and the
  // input-capture library come once the window is on screen.
  EXPECT_EQ(calls_before_paint, (QStringList{"attach", "start_page"}));
  EXPECT_FALSE(hook_loaded_before_paint);
  EXPECT_EQ(log.calls, (QStringList{"attach", "start_page", "watch_device_changes"}));
  EXPECT_EQ(log.window, window.get());
  EXPECT_EQ(log.hooks, &window->hook_functions());
  EXPECT_EQ(log.device_port, window->port());
  EXPECT_NE(window->hook_functions().removehook, nullptr);
  EXPECT_EQ(window->native()->windowTitle(), resources().text("mouse_name_text"));

  window->find("ms_1_apply_btn").click();
  window->find("min_btn").click();
  EXPECT_EQ(log.notifications, QStringList{"click:ms_1_apply_btn"});  // the title bar is the window's own
  EXPECT_TRUE(window->is_minimized());
}

TEST_F(MainWindowRoutingTest, LosingEveryLinkHidesTheWindowAndALinkSelectsThePage) {
  set_links(1);
  EXPECT_TRUE(window->is_visible());
  EXPECT_EQ(window->find("device_tab_switch").selected_item(), 0);

  set_links(0);
  EXPECT_FALSE(window->is_visible());
  EXPECT_EQ(window->device_connected(), 0);
  EXPECT_EQ(window->find("device_tab_switch").selected_item(), kNoMousePage);

  set_links(1);
  EXPECT_FALSE(window->is_visible());  // a link coming back does not open the window by itself
  EXPECT_EQ(window->find("device_tab_switch").selected_item(), 0);
  window->send_message(UM_TRAY_ICON, 0, kMouseLeftButtonUp);
  EXPECT_TRUE(window->is_visible());
}

TEST_F(MainWindowRoutingTest, EveryWayToOpenTheWindowWithoutAMouseShowsOneWarning) {
  set_links(0);
  ModalDriver driver;
  QStringList shown;
  int nested_warnings = 0;
  auto answer = [&](WindowBase& box) {
    shown << box.find("warning").shown_text();
    // More requests while the warning is up: a second start, tray clicks, the menu item.
    const int before = driver.seen().size();
    window->send_message(UM_ACTIVATE);
    window->send_message(UM_TRAY_ICON, 0, kMouseLeftButtonUp);
    choose_menu_item(u"configuration");
    nested_warnings += driver.seen().size() - before;
    EXPECT_TRUE(window->no_device_warning_open());
    box.find("btn_ok").click();
  };
  for (int i = 0; i < 3; ++i) driver.on_next("MsgWnd", answer);

  window->send_message(UM_TRAY_ICON, 0, kMouseLeftButtonUp);
  window->send_message(UM_ACTIVATE);
  choose_menu_item(u"configuration");

  EXPECT_EQ(driver.seen(), (QStringList{"MsgWnd", "MsgWnd", "MsgWnd"}));
  EXPECT_EQ(nested_warnings, 0);
  EXPECT_EQ(shown, QStringList(3, resources().text("no_device_text")));
  EXPECT_FALSE(shown.first().isEmpty());
  EXPECT_FALSE(window->no_device_warning_open());
  EXPECT_FALSE(window->is_visible());
}

TEST_F(MainWindowRoutingTest, MenuItemsGoToThePageOnlyWithTheLowerCaseModelPrefix) {
  set_links(1);
  choose_menu_item(u"ms_1_menu_copy");
  choose_menu_item(u"MS_1_menu_copy");
  choose_menu_item(u"Ms_1_menu_copy");
  choose_menu_item(u"ms");  // agrees with "ms_1" over its own length
  choose_menu_item(u"mouse");
  EXPECT_EQ(log.menu_commands, (QStringList{"ms_1_menu_copy", "ms"}));

  window->hide();
  choose_menu_item(u"CONFIGURATION");
  EXPECT_TRUE(window->is_visible());
  choose_menu_item(u"Exit");
  EXPECT_TRUE(run_events_until([&] { return !window->is_created(); }));
}

TEST_F(MainWindowRoutingTest, TrayMenuOffersConfigurationAndExit) {
  set_links(1);
  window->hide();
  window->send_message(UM_TRAY_ICON, 0, kMouseRightButtonUp);
  QMenu* menu = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == "traymenu" && w->isVisible()) menu = qobject_cast<QMenu*>(w);
  }
  ASSERT_NE(menu, nullptr);
  QStringList items;
  for (QAction* a : menu->actions()) {
    if (!a->isSeparator()) items << a->objectName() + "=" + a->text();
  }
  EXPECT_EQ(items, (QStringList{"configuration=" + resources().text("configuration_text"),
                                "exit=" + resources().text("exit_text")}));
  menu->actions().first()->trigger();
  flush_events();
  EXPECT_TRUE(window->is_visible());
}

TEST_F(MainWindowRoutingTest, ApplyRequestsLibraryMessagesDeviceChangesAndTimersReachThePage) {
  window->post_message(UM_REQUEST_APPLY, 5, 7);
  window->post_message(UM_WIRELESS_EVENT, 0x1009, 0x10003);
  window->post_message(UM_WIRED_LINK, 1, 0);
  window->post_message(UM_WIRELESS_8K_LINK, 0, 0);
  window->port()->post(Message{UM_DEVICE_CHANGE, 0, 0, DeviceChange{DeviceChangeKind::arrival, std::nullopt, "hidraw7"}});
  window->post_message(UM_DEVICE_CHANGE, 0x1234, 0);  // no payload: nothing to hand on
  for (uint32_t ignored : {UM_HOOK_INPUT, UM_IGNORED_1292, UM_IGNORED_1560, UM_IGNORED_5121}) {
    EXPECT_TRUE(window->send_message(ignored, 1, 2)) << ignored;
  }
  EXPECT_FALSE(window->send_message(4000, 0, 0));
  flush_events();

  ASSERT_EQ(log.worker.size(), 1u);
  EXPECT_EQ(log.worker[0].id, UM_APPLY_THREAD);
  EXPECT_EQ(log.worker[0].wparam, 5u);
  EXPECT_EQ(log.worker[0].lparam, 7);
  const std::vector<std::pair<LibraryLink, uint32_t>> expected = {
      {LibraryLink::wireless, 0x10090003u}, {LibraryLink::wired, 0x7F000001u}, {LibraryLink::wireless_8k, 0x7F000002u}};
  EXPECT_EQ(log.link_values, expected);
  EXPECT_EQ(log.device_changes, std::vector<DeviceChangeKind>{DeviceChangeKind::arrival});

  window->set_timer(TIMER_DELAYED_APPLY, 200);
  window->set_timer(TIMER_WIRELESS_WATCHDOG, 6000);
  time.advance(6000);
  EXPECT_EQ(std::count(log.timers.begin(), log.timers.end(), TIMER_DELAYED_APPLY), 30);
  EXPECT_EQ(std::count(log.timers.begin(), log.timers.end(), TIMER_WIRELESS_WATCHDOG), 1);
}

TEST_F(MainWindowRoutingTest, DpiMessagesKeepOnePopupUntilTwoSecondsAfterTheLast) {
  set_links(1);
  window->send_message(UM_DPI_POPUP, 0, 32);
  const CDPIMsg* popup = window->dpi_popup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->find("dpi_label").shown_text(), "DPI :1600");

  time.advance(1500);
  window->send_message(UM_DPI_POPUP, 1, 64);
  EXPECT_EQ(window->dpi_popup(), popup);
  EXPECT_EQ(open_windows_of_class("DPIWnd"), 1);
  EXPECT_EQ(popup->find("dpi_label").shown_text(), "DPI :3200");

  time.advance(1999);
  EXPECT_NE(window->dpi_popup(), nullptr);
  time.advance(1);
  EXPECT_EQ(window->dpi_popup(), nullptr);
  flush_events();
  EXPECT_EQ(open_windows_of_class("DPIWnd"), 0);
  EXPECT_TRUE(log.timers.empty());  // timer 52 is the window's own

  window->send_message(UM_DPI_POPUP, 7, 64);  // a source outside 0..2: no value
  ASSERT_NE(window->dpi_popup(), nullptr);
  EXPECT_EQ(window->dpi_popup()->find("dpi_label").shown_text(), "DPI :");
}

TEST_F(MainWindowRoutingTest, DestroyingTheWindowRemovesOnlyTheHooksThatExistAndClosesThePopup) {
  HookLog partial(FAKE_HOOK_PARTIAL);
  set_links(1);
  window->send_message(UM_DPI_POPUP, 0, 32);
  window->close(0);
  flush_events();
  EXPECT_FALSE(window->is_created());
  EXPECT_EQ(window->dpi_popup(), nullptr);
  EXPECT_EQ(open_windows_of_class("DPIWnd"), 0);
  EXPECT_EQ(partial.calls(), "removehook;");
  EXPECT_EQ(window->hook_functions().removehook, nullptr);  // unloaded
  EXPECT_FALSE(log.calls.contains("tear_down"));
  window.reset();
  EXPECT_EQ(log.calls.last(), "tear_down");

  HookLog full(FAKE_HOOK_FULL);
  make_window(FAKE_HOOK_FULL);
  window->close(0);
  flush_events();
  EXPECT_EQ(full.calls(), "removemousehook;removehook;");
}

TEST_F(MainWindowRoutingTest, RunsWithoutTheHookLibraryAndWithAPopupOpenAtTheEnd) {
  make_window("/nonexistent/Hook.so");
  EXPECT_EQ(window->hook_functions().installhook, nullptr);
  set_links(1);
  window->send_message(UM_DPI_POPUP, 0, 32);
  window.reset();  // the popup goes with the window, without calling back into it
  flush_events();
  EXPECT_EQ(open_windows_of_class("DPIWnd"), 0);
}

}  // namespace

// ---- desktops without a tray, access to the mouse, the battery

TEST_F(MainWindowRoutingTest, WithoutATrayTheWindowStaysUpWithTheNoMouseStateAndAMouseBringsTheSettings) {
  tray.set_available(false);
  EXPECT_FALSE(window->has_tray_icon()) << "the icon goes with the tray";
  set_links(0);
  EXPECT_TRUE(window->is_visible());
  EXPECT_EQ(window->find("device_tab_switch").selected_item(), kNoMousePage);
  EXPECT_TRUE(window->find("no_mouse_checks").is_visible());
  EXPECT_FALSE(window->find("no_access_commands").is_visible());

  ModalDriver driver;
  window->send_message(UM_ACTIVATE);
  EXPECT_TRUE(driver.seen().isEmpty()) << "the window itself says there is no mouse";
  EXPECT_TRUE(window->is_visible());

  set_links(1);
  EXPECT_EQ(window->find("device_tab_switch").selected_item(), kSettingsPage);
  EXPECT_TRUE(window->is_visible());
}

TEST_F(MainWindowRoutingTest, AWindowHiddenToATrayThatGoesAwayComesBack) {
  set_links(1);
  window->find("exit_btn").click();
  EXPECT_FALSE(window->is_visible());

  tray.set_available(false);
  EXPECT_TRUE(window->is_visible());
  EXPECT_FALSE(window->has_tray_icon());

  tray.set_available(true);
  EXPECT_TRUE(window->has_tray_icon()) << "a tray that appears gets the icon";
  set_links(0);
  EXPECT_FALSE(window->is_visible()) << "with a tray the program waits there";
}

TEST_F(MainWindowRoutingTest, AMouseThisUserMayNotOpenShowsTheCommandsThatInstallTheRule) {
  tray.set_available(false);
  log.open_error = EACCES;
  set_links(0);
  EXPECT_FALSE(window->find("no_mouse_checks").is_visible());
  EXPECT_TRUE(window->find("no_access_text").is_visible());
  EXPECT_EQ(window->find("no_mouse_title").shown_text(), resources().text("no_access_title_text"));
  ASSERT_TRUE(window->find("no_access_commands").is_visible());
  const QString commands = window->find("no_access_commands").shown_text();
  const QString rule = QString::fromStdString(exe_folder_path()) + "70-norvane-mouse.rules";
  EXPECT_TRUE(commands.startsWith("sudo cp '" + rule + "' /etc/udev/rules.d/\n")) << commands.toStdString();
  EXPECT_TRUE(commands.endsWith("sudo udevadm control --reload && sudo udevadm trigger")) << commands.toStdString();

  log.open_error = ENOENT;  // gone, not forbidden: the usual checks again
  set_links(0);
  EXPECT_TRUE(window->find("no_mouse_checks").is_visible());
  EXPECT_FALSE(window->find("no_access_commands").is_visible());
}

TEST(DeviceAccessHint, QuotesAnyPathForTheShell) {
  EXPECT_EQ(udev_rule_commands("/opt/it's here/70-norvane-mouse.rules").section('\n', 0, 0),
            "sudo cp '/opt/it'\\''s here/70-norvane-mouse.rules' /etc/udev/rules.d/");
  EXPECT_TRUE(is_permission_error(EACCES));
  EXPECT_TRUE(is_permission_error(EPERM));
  EXPECT_FALSE(is_permission_error(ENOENT));
  EXPECT_FALSE(is_permission_error(0));
}

TEST_F(MainWindowRoutingTest, TheTrayTooltipCarriesTheBatteryAndEachLowMarkIsAnnouncedOncePerDischarge) {
  tray.set_available(false);  // notices then go to the desktop's notification service
  auto battery = [&](BatteryShown shown, int level = 0) {
    window->send_message(UM_BATTERY_STATE, static_cast<uintptr_t>(level), static_cast<intptr_t>(shown));
  };
  const QString name = resources().text("mouse_name_text");
  EXPECT_EQ(window->tray_tooltip(), name);
  battery(BatteryShown::level, 57);
  EXPECT_EQ(window->tray_tooltip(), name + " — 57 %");
  battery(BatteryShown::charging);
  EXPECT_EQ(window->tray_tooltip(), name + " — charging");
  battery(BatteryShown::nothing);
  EXPECT_EQ(window->tray_tooltip(), name);

  for (int level : {20, 16, 15, 14, 15, 16, 15, 9, 6, 5, 4, 5, 3}) battery(BatteryShown::level, level);
  ASSERT_EQ(notices.shown.size(), 2u);
  EXPECT_TRUE(notices.shown[0].text.startsWith("15 %"));
  EXPECT_FALSE(notices.shown[0].urgent);
  EXPECT_TRUE(notices.shown[1].text.contains("5 %"));
  EXPECT_TRUE(notices.shown[1].urgent);
  EXPECT_FALSE(notices.shown[1].title.isEmpty());

  battery(BatteryShown::nothing);  // the link comes and goes: the same discharge
  battery(BatteryShown::level, 3);
  EXPECT_EQ(notices.shown.size(), 2u);

  battery(BatteryShown::charging);  // a new discharge announces again
  battery(BatteryShown::level, 15);
  EXPECT_EQ(notices.shown.size(), 3u);
}

TEST(BatteryWatch, AFirstVeryLowLevelGivesOneNoticeAndAChargedBatteryRearms) {
  BatteryWatch watch;
  EXPECT_EQ(watch.on_level(4), kBatteryVeryLowMark);
  EXPECT_EQ(watch.on_level(12), std::nullopt);
  EXPECT_EQ(watch.on_level(24), std::nullopt) << "wavering below the rearm level";
  EXPECT_EQ(watch.on_level(15), std::nullopt);
  EXPECT_EQ(watch.on_level(80), std::nullopt);  // charged while the program did not see it
  EXPECT_EQ(watch.on_level(15), kBatteryLowMark);
  EXPECT_EQ(watch.on_level(5), kBatteryVeryLowMark);
}

TEST_F(MainWindowRoutingTest, ThePageHearsWhenTheWindowComesOnScreenAndLeavesIt) {
  set_links(1);
  log.on_screen.clear();
  window->hide();
  window->bring_to_front();
  window->minimize();
  EXPECT_EQ(log.on_screen, (std::vector<bool>{false, true, false}));
}
