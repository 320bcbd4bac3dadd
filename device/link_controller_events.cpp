// Events the mouse sends on its own: the changes made on the mouse follow into the
// current profile record, battery reports drive the battery display and tell which
// receiver the mouse is answering behind.

#include "core/messages.h"
#include "core/trace.h"
#include "device/link_controller.h"
#include "device/link_controls.h"

namespace norvane {

using namespace link_controls;

namespace {

constexpr uint8_t kBatteryFull = 2;
constexpr uint8_t kBatteryCharging = 3;

}  // namespace

void LinkController::on_device_event(EventSource source, uint16_t code, uint16_t value) {
  if (std::this_thread::get_id() != ui_thread_) {
    // Page state, controls and timers belong to the UI thread; the transports hand
    // their events over before calling here.
    trace("device event %#06x off the UI thread dropped\n", code);
    return;
  }
  if (!open_ || (code & 0xFF) != kDeviceEventTag) return;

  switch (code & 0xFF00) {
    case kEventDpiLevel:
      on_dpi_level_event(value);
      break;
    case kEventPollingRate:
      on_polling_rate_event(source, value);
      break;
    case kEventBattery:
      on_battery_event(source, static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8));
      break;
    case kEventAcknowledge:
      links_.wireless_ack = (value & 0xFF) == 0 ? 1 : 0;
      break;
    case kEventLightingMode:
      on_lighting_mode_event(value);
      break;
    case kEventSettingsChanged:
      if (value >= 1 && value <= 5) save_device_change();
      break;
    default:
      break;
  }
}

void LinkController::on_dpi_level_event(uint16_t value) {
  if (value < 1 || value > kDpiLevels) return;
  const int level = value;
  bool edited = false;
  int32_t dpi = 0;
  profiles_.edit_current([&](ProfileRecord& record) {
    record.current_dpi_level = level - 1;
    dpi = record.dpi_value[level - 1];
    edited = true;
  });
  if (!edited) return;  // no profile loaded yet: nothing to follow
  view_.set_checked_quietly(dpi_level_option(level), true);
  view_.post_message(UM_DPI_POPUP, 0, dpi);
  save_device_change();
}

void LinkController::on_polling_rate_event(EventSource source, uint16_t value) {
  // Low nibble: rate option 1..4; high nibble: high-speed rate option 1..7. The
  // 8 kHz receiver reports only the high-speed rate, Bluetooth LE only the other.
  const int low = value & 0xF;
  const int high = (value >> 4) & 0xF;
  const bool take_low = source != EventSource::library_8k && low >= 1 && low <= 4;
  const bool take_high = source != EventSource::ble && high >= 1 && high <= 7;
  if (!take_low && !take_high) {
    trace("polling-rate event %#06x out of range, ignored\n", value);
    return;
  }
  bool edited = false;
  profiles_.edit_current([&](ProfileRecord& record) {
    if (take_low) record.polling_rate = low - 1;
    if (take_high) record.polling_rate_hs = high - 1;
    edited = true;
  });
  if (!edited) return;
  if (take_low) view_.set_checked_quietly(rate_option(low), true);
  if (take_high) view_.set_checked_quietly(rate_hs_option(high), true);
  save_device_change();
}

void LinkController::on_lighting_mode_event(uint16_t value) {
  const int mode = (value >> 4) & 0xF;
  if (mode >= kLightModes) {
    trace("lighting-mode event with mode %d ignored\n", mode);
    return;
  }
  bool edited = false;
  profiles_.edit_current([&](ProfileRecord& record) {
    record.light_mode = mode;
    edited = true;
  });
  if (!edited) return;
  view_.select_item_quietly(kLightCombo, mode);
  hooks_.refresh_lighting_rows();
  save_device_change();
}

void LinkController::save_device_change() {
  bool copied = false;
  {
    std::lock_guard<std::mutex> lock(profiles_.mutex);
    if (profiles_.current_profile && profiles_.last_applied) {
      *profiles_.last_applied = *profiles_.current_profile;
      copied = true;
    }
  }
  // Without a loaded profile there is nothing to save; writing the store then would
  // replace the file with an empty list.
  if (copied) hooks_.save_profile_store();
}

// ---- battery ----

void LinkController::on_battery_event(EventSource source, uint8_t status, uint8_t level) {
  switch (source) {
    case EventSource::library:
      on_receiver_battery_event(LibraryLink::wireless, status, level);
      return;
    case EventSource::library_8k:
      on_receiver_battery_event(LibraryLink::wireless_8k, status, level);
      return;
    case EventSource::ble:
      on_ble_battery_event(status, level);
      return;
  }
}

// A battery report through a receiver's library (the cable shares the 2.4 GHz
// receiver's source) restarts that receiver's watchdog and marks the mouse online
// behind it, unless the cable is present.
void LinkController::on_receiver_battery_event(LibraryLink receiver_link, uint8_t status, uint8_t level) {
  const Receiver r = receiver(receiver_link);
  const bool wired = links_.wired_state == kLinkPresent;
  view_.start_timer(r.watchdog_timer, kWatchdogMs);

  if (status == kBatteryFull) {
    if (wired) {
      mark_offline(receiver_link);
      if (receiver_link == LibraryLink::wireless) {
        mark_offline(LibraryLink::wireless_8k);
        view_.set_visible(kWirelessIcon, false);
        view_.set_visible(kWireless8kIcon, false);
      }
      battery_.show_level(100);
      battery_.stop_animation();
    } else {
      battery_.stop_animation();
      mark_online(receiver_link);
      battery_.show_level(100);
      awake();
    }
    return;
  }
  if (status == kBatteryCharging) {
    battery_.show_charging();
    if (wired) {
      mark_offline(receiver_link);
    } else {
      mark_online(receiver_link);
      awake();
    }
    return;
  }
  battery_.stop_animation();
  mark_online(receiver_link);
  awake();
  if (level >= 1 && level <= 100) battery_.show_level(level);
}

void LinkController::on_ble_battery_event(uint8_t status, uint8_t level) {
  if (status == kBatteryFull) {
    battery_.stop_animation();
    battery_.show_level(100);
  } else if (status == kBatteryCharging) {
    battery_.show_charging();
  } else {
    battery_.stop_animation();
    if (level <= 100) battery_.show_level(level);
  }
}

}  // namespace norvane
