#include "settings/link_presenter.h"

#include <mutex>
#include <variant>

#include "core/messages.h"
#include "settings/page_controls.h"

namespace norvane {

using namespace page_controls;

namespace {

const char* icon_control(LinkIcon icon) {
  switch (icon) {
    case LinkIcon::wired:
      return kWiredIcon;
    case LinkIcon::wireless:
      return kWirelessIcon;
    case LinkIcon::wireless_8k:
      return kWireless8kIcon;
    case LinkIcon::ble:
      break;
  }
  return kBleIcon;
}

}  // namespace

void LinkPresenter::show_link(LinkIcon icon, bool shown) { view_.set_visible(icon_control(icon), shown); }

void LinkPresenter::show_sleeping(bool shown) { view_.set_visible(kSleepLabel, shown); }

void LinkPresenter::any_link_changed() { view_.post_message(UM_LINK_STATE, 0, 0); }

void LinkPresenter::show_battery_level(int level) {
  battery_.stop_animation();
  charging_ = false;
  if (level < 0 || level > 100) return;
  battery_level_ = level;
  battery_.show_level(level);
  view_.post_message(UM_BATTERY_STATE, static_cast<uintptr_t>(level), static_cast<intptr_t>(BatteryShown::level));
}

void LinkPresenter::show_charging(bool from_start) {
  charging_ = true;
  if (from_start) {
    battery_.restart_charging();
  } else {
    battery_.show_charging();
  }
  view_.post_message(UM_BATTERY_STATE, 0, static_cast<intptr_t>(BatteryShown::charging));
}

void LinkPresenter::clear_battery() {
  battery_.clear_label();
  battery_.stop_animation();
  battery_level_ = -1;
  charging_ = false;
  view_.post_message(UM_BATTERY_STATE, 0, static_cast<intptr_t>(BatteryShown::nothing));
}

void LinkPresenter::refresh_link_sections() {
  hooks_.refresh_lighting_rows();
  view_.set_checked_quietly(kLightCheck, false);
  view_.set_visible(kLightBody, false);
  if (links_.wired_state == kLinkPresent || links_.wireless_online != 0 || links_.wireless_8k_online != 0) {
    view_.set_checked_quietly(kRateCheck, false);
    view_.set_visible(kRateCheck, true);
    view_.set_visible(kDebounceCheck, true);
    view_.set_visible(kRateHsBody, false);
    view_.set_visible(kRateBody, false);
  } else if (links_.ble_present != 0) {
    // Polling rate and key debounce cannot be set over Bluetooth LE alone.
    view_.set_checked_quietly(kRateCheck, false);
    view_.set_visible(kRateCheck, false);
    view_.set_visible(kRateBody, false);
    view_.set_visible(kRateHsBody, false);
    view_.set_checked_quietly(kDebounceCheck, false);
    view_.set_visible(kDebounceCheck, false);
    view_.set_visible(kDebounceBody, false);
  }
}

// ---- changes made on the mouse ----

void LinkPresenter::mouse_changed(const DeviceEvent& event) {
  std::visit([this](const auto& e) { follow(e); }, event);
}

template <typename Change>
bool LinkPresenter::take_from_mouse(Change&& change) {
  {
    std::lock_guard<std::mutex> lock(profiles_.mutex);
    // Without a loaded profile there is nothing to follow; writing the store then would
    // replace the file with an empty list.
    if (profiles_.current_profile == nullptr || profiles_.last_applied == nullptr) return false;
    change(*profiles_.current_profile);
    change(*profiles_.last_applied);
  }
  hooks_.save_profile_store();
  return true;
}

void LinkPresenter::follow(const DpiLevelChanged& event) {
  int32_t dpi = 0;
  const bool followed = take_from_mouse([&](ProfileRecord& record) {
    record.current_dpi_level = event.level - 1;
    if (&record == profiles_.current_profile) dpi = record.dpi_value[event.level - 1];
  });
  if (!followed) return;
  view_.set_checked_quietly(numbered(kDpiLevelOptionPrefix, event.level), true);
  view_.post_message(UM_DPI_POPUP, 0, dpi);
}

void LinkPresenter::follow(const PollingRateChanged& event) {
  const bool followed = take_from_mouse([&](ProfileRecord& record) {
    if (event.rate) record.polling_rate = *event.rate;
    if (event.rate_hs) record.polling_rate_hs = *event.rate_hs;
  });
  if (!followed) return;
  if (event.rate) view_.set_checked_quietly(numbered(kRateOptionPrefix, *event.rate + 1), true);
  if (event.rate_hs) view_.set_checked_quietly(numbered(kRateHsOptionPrefix, *event.rate_hs + 1), true);
}

void LinkPresenter::follow(const LightingModeChanged& event) {
  const bool followed = take_from_mouse([&](ProfileRecord& record) { record.light_mode = event.mode; });
  if (!followed) return;
  view_.select_item_quietly(kLightCombo, event.mode);
  hooks_.refresh_lighting_rows();
}

// The mouse kept a setting of its own: nothing of the profile changes, the store is
// written as the mouse asks.
void LinkPresenter::follow(const SettingsSaved&) {
  take_from_mouse([](ProfileRecord&) {});
}

}  // namespace norvane
