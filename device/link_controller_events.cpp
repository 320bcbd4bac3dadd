// Events the mouse sends on its own. Battery reports tell which receiver the mouse
// answers behind and drive the battery display; acknowledgements are the worker's;
// the changes the user makes on the mouse go to the sink for the profile to follow.

#include "core/trace.h"
#include "device/link_controller.h"

namespace norvane {

namespace {

// Calls the overload of Fs that matches the variant's alternative.
template <class... Fs>
struct Overloaded : Fs... {
  using Fs::operator()...;
};
template <class... Fs>
Overloaded(Fs...) -> Overloaded<Fs...>;

}  // namespace

void LinkController::on_device_event(EventSource source, uint16_t code, uint16_t value) {
  if (std::this_thread::get_id() != ui_thread_) {
    // Page state, controls and timers belong to the UI thread; the transports hand
    // their events over before calling here.
    trace("device event %#06x off the UI thread dropped\n", code);
    return;
  }
  if (!open_) return;
  const std::optional<DeviceEvent> event = decode_device_event(source, code, value);
  if (!event) return;

  if (const auto* ack = std::get_if<Acknowledgement>(&*event)) {
    // Part of the send under way, not news about the mouse.
    links_.wireless_ack = ack->accepted ? 1 : 0;
    return;
  }
  reached_back_ = false;
  std::visit(Overloaded{
                 [&](const BatteryReport& report) { on_battery_event(source, report); },
                 [&](const auto&) { sink_.mouse_changed(*event); },
             },
             *event);
  // Whatever it said, the mouse is there to hear what is still waiting for it.
  if (!reached_back_) sink_.mouse_reachable(MouseReach::heard);
}

// ---- battery ----

void LinkController::on_battery_event(EventSource source, const BatteryReport& report) {
  switch (source) {
    case EventSource::library:
      on_receiver_battery_event(LibraryLink::wireless, report);
      return;
    case EventSource::library_8k:
      on_receiver_battery_event(LibraryLink::wireless_8k, report);
      return;
    case EventSource::ble:
      on_ble_battery_event(report);
      return;
  }
}

// A battery report through a receiver's library (the cable shares the 2.4 GHz
// receiver's source) restarts that receiver's watchdog and marks the mouse online
// behind it, unless the cable is present.
void LinkController::on_receiver_battery_event(LibraryLink receiver_link, const BatteryReport& report) {
  const Receiver r = receiver(receiver_link);
  const bool wired = links_.wired_state == kLinkPresent;
  timers_.start_timer(r.watchdog_timer, kWatchdogMs);

  switch (report.status) {
    case BatteryStatus::full:
      if (wired) {
        mark_offline(receiver_link);
        if (receiver_link == LibraryLink::wireless) {
          mark_offline(LibraryLink::wireless_8k);
          sink_.show_link(LinkIcon::wireless, false);
          sink_.show_link(LinkIcon::wireless_8k, false);
        }
        sink_.show_battery_level(100);
      } else {
        sink_.stop_charging_sweep();
        mark_online(receiver_link);
        sink_.show_battery_level(100);
        awake();
      }
      return;
    case BatteryStatus::charging:
      sink_.show_charging(false);
      if (wired) {
        mark_offline(receiver_link);
      } else {
        mark_online(receiver_link);
        awake();
      }
      return;
    case BatteryStatus::discharging:
      sink_.stop_charging_sweep();
      mark_online(receiver_link);
      awake();
      if (report.level >= 1 && report.level <= 100) sink_.show_battery_level(report.level);
      return;
  }
}

void LinkController::on_ble_battery_event(const BatteryReport& report) {
  switch (report.status) {
    case BatteryStatus::full:
      sink_.show_battery_level(100);
      return;
    case BatteryStatus::charging:
      sink_.show_charging(false);
      return;
    case BatteryStatus::discharging:
      if (report.level <= 100) {
        sink_.show_battery_level(report.level);
      } else {
        sink_.stop_charging_sweep();
      }
      return;
  }
}

}  // namespace norvane
