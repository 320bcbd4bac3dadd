// The page's life: construction, binding to the main window, start-up with the stores,
// the main window's routing into the link side, and tear-down.

#include "settings/ms1_page.h"

#include <mutex>
#include <utility>

#include "app/toolkit/popup_menu.h"
#include "app/toolkit/msg_wnd.h"
#include "app/toolkit/resources.h"
#include "app/toolkit/window_base.h"
#include "core/messages.h"
#include "core/trace.h"
#include "settings/device_change_watch.h"
#include "settings/link_presenter.h"
#include "settings/page_controls.h"
#include "settings/page_devices.h"
#include "settings/page_view_adapter.h"
#include "storage/macro_store.h"
#include "storage/profile_store.h"

namespace norvane {

using namespace page_controls;

namespace {

constexpr char kStoreSubfolder[] = "ms_1/";
constexpr char kAddProfileTextKey[] = "add_profile_text";

}  // namespace

CMS_1_Page::CMS_1_Page(PageEnvironment environment)
    : environment_(std::move(environment)),
      store_folder_(environment_.data_folder + kStoreSubfolder),
      store_writer_(std::make_unique<StoreWriter>(environment_.store_ops)) {
  store_writer_->set_outcome_handler([this](const StoreSaveOutcome& outcome) { on_store_saved(outcome); });
}

CMS_1_Page::~CMS_1_Page() { tear_down(); }

void CMS_1_Page::attach(WindowBase& window, const HookFunctions& hooks) {
  if (window_ != nullptr || torn_down_) return;
  window_ = &window;
  hook_functions_ = &hooks;
  view_ = std::make_unique<PageViewAdapter>(window);
  presenter_ = std::make_unique<LinkPresenter>(*view_, profiles_, links_, *this);
  Clock& clock = environment_.clock ? *environment_.clock : system_clock();
  devices_ = std::make_unique<PageDevices>(PageDeviceParts{
      environment_.exe_folder, store_folder_, clock, profiles_, links_, *view_, *presenter_, window.port(),
      [this](const std::vector<MacroOverlap>& o) { show_macro_overlaps(o); },
      [this](ApplyOutcome outcome, int pending) { presenter_->apply_finished(outcome, pending); }, *store_writer_});
  devices_->controller().open_links();
}

void CMS_1_Page::start_page() {
  if (view_ == nullptr || started_ || torn_down_) return;
  started_ = true;
  profiles_.send_all = true;

  const std::u16string add_profile_text = language_text(kAddProfileTextKey).toStdU16String();
  // Both loads trace what they found and repaired; a damaged store is no reason to
  // stop (the defaults take its place). A store they could not write is reported
  // like any failed save.
  const StoreOptions options{environment_.store_ops};
  for (const LoadResult& loaded : {load_profile_store(profiles_, store_folder_, add_profile_text, options),
                                   load_macro_store(macro_library_, store_folder_, options)}) {
    if (loaded.saved && !loaded.save.ok()) on_store_saved(StoreSaveOutcome{store_folder_, {}, loaded.save});
  }

  fill_profile_list();
  {
    std::lock_guard<std::mutex> lock(profiles_.mutex);
    if (profiles_.current_profile) *profiles_.last_applied = *profiles_.current_profile;
  }
  devices_->controller().set_ble_connected(links_.ble_present != 0);
  refresh_page();
}

void CMS_1_Page::watch_device_changes(MessagePortPtr window) {
  if (device_watch_ || torn_down_ || !window) return;
  device_watch_ = std::make_unique<DeviceChangeWatch>(std::move(window));
  if (devices_) devices_->controller().find_ble_mouse();
}

void CMS_1_Page::on_link_value(LibraryLink link, uint32_t value) {
  if (devices_) devices_->controller().on_link_value(link, value);
}

void CMS_1_Page::on_device_change(const DeviceChange& change) {
  if (devices_) devices_->controller().on_device_change(change);
}

void CMS_1_Page::on_page_timer(int id) {
  if (window_ == nullptr) return;
  if (id == TIMER_DELAYED_APPLY || id == TIMER_SCROLL_SECTION) {
    on_settings_timer(id);
  } else if (id == TIMER_CHARGING && devices_) {
    presenter_->on_charging_timer();
  } else if (!devices_ || !devices_->controller().on_link_timer(id)) {
    window_->kill_timer(id);
  }
}

void CMS_1_Page::on_screen_changed(bool on_screen) {
  if (presenter_) presenter_->set_on_screen(on_screen);
}

int CMS_1_Page::mouse_open_error() const {
  if (!devices_) return 0;
  for (LibraryLink link : {LibraryLink::wired, LibraryLink::wireless, LibraryLink::wireless_8k}) {
    if (const int error = devices_->controller().open_error(link); error != 0) return error;
  }
  return 0;
}

void CMS_1_Page::post_to_worker(uint32_t id, uintptr_t wparam, intptr_t lparam) {
  (void)id;  // the window forwards only apply requests
  if (devices_) devices_->controller().request_apply(wparam, lparam);
}

void CMS_1_Page::tear_down() {
  if (torn_down_) return;
  torn_down_ = true;
  device_watch_.reset();
  function_menu_.reset();
  if (window_) {
    window_->kill_timer(TIMER_DELAYED_APPLY);
    window_->kill_timer(TIMER_SCROLL_SECTION);
  }
  if (devices_) devices_->close();
  devices_.reset();
  presenter_.reset();
  // The worker is gone; what it and the page queued is written before the page goes.
  store_writer_->wait_idle();
}

// ---- apply requests and the page's own timers

void CMS_1_Page::request_apply() {
  if (view_) view_->post_message(UM_REQUEST_APPLY, 0, 0);
}

void CMS_1_Page::request_apply_after(int delay_ms) {
  if (view_) view_->start_timer(TIMER_DELAYED_APPLY, delay_ms);
}

void CMS_1_Page::on_settings_timer(int id) {
  if (view_ == nullptr) return;
  view_->kill_timer(id);
  if (id == TIMER_DELAYED_APPLY) {
    request_apply();
  } else if (id == TIMER_SCROLL_SECTION) {
    bring_opened_section_into_view();
  }
}

void CMS_1_Page::save_profile_store() { store_writer_->save_profile_store(profiles_, store_folder_); }

void CMS_1_Page::on_store_saved(const StoreSaveOutcome& outcome) {
  if (outcome.result.ok()) return;
  const std::string reason = outcome.result.error.message();
  trace("Store: not saved in %s: %s (%s)\n", outcome.folder.c_str(), reason.c_str(), outcome.result.detail.c_str());
  store_calls_.post([this, folder = outcome.folder, reason] { show_store_failure(folder, reason); });
}

void CMS_1_Page::show_store_failure(const std::string& folder, const std::string& reason) {
  // Once per run: the saves go on failing quietly (and traced) until one works.
  if (store_failure_shown_ || window_ == nullptr || torn_down_) return;
  store_failure_shown_ = true;
  const QString text =
      language_text("store_not_saved_text").arg(QString::fromStdString(folder), QString::fromStdString(reason));
  show_message_box_text(window_, QString::fromLatin1(kWarningTitleKey), text);
}

QString CMS_1_Page::language_text(const char* key) const { return resources().text(QString::fromLatin1(key)); }

std::string CMS_1_Page::language_string(const char* key) const { return language_text(key).toStdString(); }

}  // namespace norvane
