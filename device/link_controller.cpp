#include "device/link_controller.h"

#include <cstring>
#include <utility>

#include "core/messages.h"
#include "core/trace.h"
#include "device/library_message.h"

namespace norvane {

namespace {

size_t index_of(LibraryLink link) { return static_cast<size_t>(link); }

const char* name_of(LibraryLink link) {
  switch (link) {
    case LibraryLink::wired:
      return "cable";
    case LibraryLink::wireless:
      return "2.4 GHz receiver";
    case LibraryLink::wireless_8k:
      break;
  }
  return "8 kHz receiver";
}

LinkIcon icon_of(LibraryLink link) {
  switch (link) {
    case LibraryLink::wired:
      return LinkIcon::wired;
    case LibraryLink::wireless:
      return LinkIcon::wireless;
    case LibraryLink::wireless_8k:
      break;
  }
  return LinkIcon::wireless_8k;
}

// The hardware-id fragments the Bluetooth LE transport finds the mouse by while the
// link is up.
constexpr char kBleVidFragment[] = "VID&02045E";
constexpr char kBlePidFragment[] = "PID&0009";

constexpr std::array<LibraryLink, 3> kAllLinks{LibraryLink::wired, LibraryLink::wireless, LibraryLink::wireless_8k};

}  // namespace

LinkController::LinkController(const LinkControllerParts& parts, NvPostTarget post_target,
                               std::function<void()> apply)
    : links_(parts.links),
      drivers_(parts.drivers),
      ble_(parts.ble),
      ble_probe_(parts.ble_probe),
      sink_(parts.sink),
      timers_(parts.timers),
      post_target_(post_target),
      worker_(parts.links, std::move(apply)),
      ui_thread_(std::this_thread::get_id()) {}

LinkController::~LinkController() { close_links(); }

std::atomic<int32_t>& LinkController::state_of(LibraryLink link) {
  switch (link) {
    case LibraryLink::wired:
      return links_.wired_state;
    case LibraryLink::wireless:
      return links_.wireless_state;
    case LibraryLink::wireless_8k:
      break;
  }
  return links_.wireless_8k_state;
}

const std::atomic<int32_t>& LinkController::state_of(LibraryLink link) const {
  return const_cast<LinkController*>(this)->state_of(link);
}

// ---- start-up and shut-down ----

void LinkController::open_links() {
  if (open_ || closed_) return;
  open_ = true;
  worker_.start();
  drivers_.load();
  for (LibraryLink link : kAllLinks) open_library_link(link);

  // A mouse on Bluetooth LE is looked for later (find_ble_mouse).
  links_.ble_present = 0;
  const bool any = links_.wired_state == kLinkPresent || links_.wireless_state == kLinkPresent ||
                   links_.wireless_8k_state == kLinkPresent;
  links_.any_link = any ? 1 : 0;
  sink_.any_link_changed();
}

void LinkController::open_library_link(LibraryLink link) {
  const LibraryLinkParams params = library_link_params(link);
  DriverLinkPort& driver = drivers_.link(link);
  driver.set_vid_pid(params.vendor_id, params.product_id);
  driver.open_monitor(&post_target_, params.event_message, params.link_message);
  const bool present = open_device(link);
  state_of(link) = present ? kLinkPresent : kLinkAbsent;

  switch (link) {
    case LibraryLink::wired:
      if (present) {
        links_.mouse_sleeping = 0;
        sink_.show_sleeping(false);
        sink_.show_charging(false);
      } else {
        links_.mouse_sleeping = 1;
        sink_.show_sleeping(true);
      }
      break;
    case LibraryLink::wireless:
      if (present) timers_.start_timer(TIMER_WIRELESS_WATCHDOG, kWatchdogMs);
      break;
    case LibraryLink::wireless_8k:
      if (present) timers_.start_timer(TIMER_8K_WATCHDOG, kWatchdogMs);
      break;
  }
  sink_.show_link(icon_of(link), present);
}

bool LinkController::open_device(LibraryLink link) {
  DriverLinkPort& driver = drivers_.link(link);
  int opened = driver.open_feature_device();
  // The 8 kHz receiver is there when its report channel opens.
  if (link == LibraryLink::wireless_8k) opened = driver.open_report_device();
  int& error = open_errors_[index_of(link)];
  error = opened != 0 ? 0 : driver.open_error();
  if (error != 0) {
    trace("%s: the device is there but cannot be opened: %s\n", name_of(link), std::strerror(error));
  }
  return opened != 0;
}

void LinkController::close_links() {
  if (closed_) return;
  closed_ = true;
  // The worker goes first: an apply in progress may still be sending through a
  // library, so the libraries are released only once it has finished.
  worker_.stop();
  if (!open_) return;
  open_ = false;

  for (LibraryLink link : kAllLinks) {
    if (arrival_pending_[index_of(link)]) timers_.kill_timer(library_link_params(link).arrival_timer);
    arrival_pending_[index_of(link)] = false;
  }
  for (int timer : {TIMER_WIRELESS_WATCHDOG, TIMER_8K_WATCHDOG, TIMER_BLE_REGISTER}) timers_.kill_timer(timer);
  sink_.stop_charging_sweep();

  DriverLinkPort& wireless = drivers_.link(LibraryLink::wireless);
  wireless.close_feature_device();
  wireless.close_monitor();
  DriverLinkPort& wired = drivers_.link(LibraryLink::wired);
  wired.close_feature_device();
  wired.close_monitor();
  DriverLinkPort& wireless_8k = drivers_.link(LibraryLink::wireless_8k);
  wireless_8k.close_feature_device();
  wireless_8k.close_monitor();
  wireless_8k.close_report_device();
  drivers_.unload();
}

void LinkController::request_apply(uintptr_t wparam, intptr_t lparam) {
  worker_.post(UM_APPLY_THREAD, wparam, lparam);
}

// ---- library link messages ----

void LinkController::on_link_value(LibraryLink link, uint32_t value) {
  if (!open_) return;
  const uint32_t high = value >> 16;
  const uint32_t low = value & 0xFFFF;
  if (high == kLinkValueMarker) {
    if (low == kLinkValueArrived) on_link_arrived(link);
    else if (low == kLinkValueGone) on_link_gone(link);
    return;
  }
  if (high >= 0x1000 && high <= 0x9000) {
    const EventSource source = link == LibraryLink::wireless_8k ? EventSource::library_8k : EventSource::library;
    on_device_event(source, static_cast<uint16_t>(high), static_cast<uint16_t>(low));
  }
}

bool LinkController::another_link_up(LibraryLink except) const {
  for (LibraryLink link : kAllLinks) {
    if (link != except && state_of(link) == kLinkPresent) return true;
  }
  return links_.ble_present != 0;
}

void LinkController::set_any_link(int32_t value) {
  links_.any_link = value;
  sink_.any_link_changed();
}

void LinkController::on_link_arrived(LibraryLink link) {
  // A present link, or one whose arrival is already waiting, changes nothing.
  bool& pending = arrival_pending_[index_of(link)];
  if (state_of(link) == kLinkPresent || pending) return;
  pending = true;
  timers_.start_timer(library_link_params(link).arrival_timer, kArrivalWaitMs);
}

void LinkController::finish_arrival(LibraryLink link) {
  timers_.kill_timer(library_link_params(link).arrival_timer);
  bool& pending = arrival_pending_[index_of(link)];
  if (!pending) return;
  pending = false;
  reached_back_ = false;

  // A device that does not open is not present: nothing could be sent through it.
  // Its next arrival tries again.
  if (!open_device(link)) {
    trace("%s arrived but did not open\n", name_of(link));
    // The window tells the user why when the user may not open it.
    if (open_error(link) != 0) sink_.any_link_changed();
    return;
  }
  switch (link) {
    case LibraryLink::wired:
      links_.wired_state = kLinkPresent;
      awake();
      sink_.show_link(LinkIcon::wired, true);
      sink_.links_changed();
      sink_.show_charging(true);
      break;
    case LibraryLink::wireless:
      links_.wireless_state = kLinkPresent;
      sink_.show_link(LinkIcon::wireless, true);
      sink_.links_changed();
      timers_.start_timer(TIMER_WIRELESS_WATCHDOG, kWatchdogMs);
      break;
    case LibraryLink::wireless_8k:
      links_.wireless_8k_state = kLinkPresent;
      sink_.show_link(LinkIcon::wireless_8k, true);
      sink_.links_changed();
      timers_.start_timer(TIMER_8K_WATCHDOG, kWatchdogMs);
      break;
  }
  if (!another_link_up(link)) set_any_link(1);
  // The cable reaches the mouse at once; behind a receiver it is reachable once heard
  // (mark_online).
  if (link == LibraryLink::wired) reached_back();
}

void LinkController::on_link_gone(LibraryLink link) {
  bool& pending = arrival_pending_[index_of(link)];
  if (pending) {
    pending = false;
    timers_.kill_timer(library_link_params(link).arrival_timer);
  }
  open_errors_[index_of(link)] = 0;
  if (state_of(link) == kLinkGone) return;

  DriverLinkPort& driver = drivers_.link(link);
  switch (link) {
    case LibraryLink::wired:
      links_.wired_state = kLinkGone;
      driver.close_feature_device();
      links_.mouse_sleeping = 1;
      sink_.show_sleeping(true);
      sink_.show_link(LinkIcon::wired, false);
      sink_.links_changed();
      sink_.clear_battery();
      break;
    case LibraryLink::wireless:
      links_.wireless_state = kLinkGone;
      mark_offline(LibraryLink::wireless);
      driver.close_feature_device();
      sink_.links_changed();
      timers_.kill_timer(TIMER_WIRELESS_WATCHDOG);
      break;
    case LibraryLink::wireless_8k:
      links_.wireless_8k_state = kLinkGone;
      mark_offline(LibraryLink::wireless_8k);
      driver.close_feature_device();
      driver.close_report_device();
      sink_.links_changed();
      timers_.kill_timer(TIMER_8K_WATCHDOG);
      break;
  }
  if (!another_link_up(link)) set_any_link(0);
}

// ---- receivers online / offline ----

LinkController::Receiver LinkController::receiver(LibraryLink link) {
  if (link == LibraryLink::wireless_8k)
    return {links_.wireless_8k_online, links_.wireless_online, LinkIcon::wireless_8k, TIMER_8K_WATCHDOG};
  return {links_.wireless_online, links_.wireless_8k_online, LinkIcon::wireless, TIMER_WIRELESS_WATCHDOG};
}

void LinkController::mark_offline(LibraryLink receiver_link) {
  Receiver r = receiver(receiver_link);
  if (r.online == 0) return;
  r.online = 0;
  sink_.show_link(r.icon, false);
  sink_.links_changed();
  if (links_.wired_state != kLinkPresent && links_.ble_present == 0 && r.other_online == 0)
    sink_.show_sleeping(true);
}

void LinkController::mark_online(LibraryLink receiver_link) {
  Receiver r = receiver(receiver_link);
  if (r.online != 0) return;
  r.online = 1;
  sink_.show_link(r.icon, true);
  sink_.links_changed();
  reached_back();
}

void LinkController::awake() {
  const bool was_sleeping = links_.mouse_sleeping != 0;
  links_.mouse_sleeping = 0;
  sink_.show_sleeping(false);
  if (was_sleeping) reached_back();
}

void LinkController::reached_back() {
  if (reached_back_) return;
  reached_back_ = true;
  sink_.mouse_reachable(MouseReach::back);
}

void LinkController::watchdog_expired(LibraryLink receiver_link) {
  Receiver r = receiver(receiver_link);
  timers_.kill_timer(r.watchdog_timer);
  sink_.show_link(r.icon, false);
  mark_offline(receiver_link);
}

// ---- Bluetooth LE ----

void LinkController::find_ble_mouse() {
  if (!open_ || links_.ble_present != 0) return;
  if (ble_probe_.mouse_present()) set_ble_connected(true);
}

void LinkController::set_ble_connected(bool connected) {
  if (!open_) return;
  if (connected) {
    reached_back_ = false;
    links_.ble_present = 1;
    ble_.set_fragments(kBleVidFragment, kBlePidFragment);
    timers_.start_timer(TIMER_BLE_REGISTER, kBleRegisterDelayMs);
    awake();
    sink_.show_link(LinkIcon::ble, true);
    mark_offline(LibraryLink::wireless);
    mark_offline(LibraryLink::wireless_8k);
    // The mouse talks over Bluetooth LE now: the cable no longer carries reports,
    // though its device stays open and its icon stays on.
    links_.wired_state = kLinkGone;
    sink_.links_changed();
    if (links_.wireless_state != kLinkPresent && links_.wired_state != kLinkPresent) set_any_link(1);
    reached_back();
    return;
  }

  links_.ble_present = 0;
  timers_.kill_timer(TIMER_BLE_REGISTER);
  sink_.stop_charging_sweep();
  ble_.set_fragments("", "");
  if (ble_.has_registration() && ble_.unregister_notifications())
    trace("BluetoothGATTUnregisterEvent Success\r\n");
  sink_.show_link(LinkIcon::ble, false);
  if (links_.wireless_online == 0 && links_.wireless_8k_online == 0 && links_.wired_state != kLinkPresent)
    sink_.show_sleeping(true);
  if (links_.wireless_state != kLinkPresent && links_.wired_state != kLinkPresent &&
      links_.wireless_8k_state != kLinkPresent)
    set_any_link(0);
}

void LinkController::on_device_change(const DeviceChange& change) {
  if (!open_) return;
  switch (change.kind) {
    case DeviceChangeKind::nodes_changed:
      trace("device nodes changed\n");
      return;
    case DeviceChangeKind::arrival:
      trace("device arrival: %s\r\n", change.name.c_str());
      if (change.hid && is_ble_mouse(*change.hid) && links_.ble_present == 0) set_ble_connected(true);
      return;
    case DeviceChangeKind::removal:
      trace("device removal: %s\r\n", change.name.c_str());
      if (change.hid && is_ble_mouse(*change.hid)) set_ble_connected(false);
      return;
  }
}

// ---- timers ----

bool LinkController::on_link_timer(int id) {
  switch (id) {
    case TIMER_WIRELESS_WATCHDOG:
    case TIMER_8K_WATCHDOG:
    case TIMER_BLE_REGISTER:
    case TIMER_WIRED_ARRIVAL:
    case TIMER_WIRELESS_ARRIVAL:
    case TIMER_8K_ARRIVAL:
      break;
    default:
      return false;
  }
  if (!open_) {
    timers_.kill_timer(id);
    return true;
  }
  switch (id) {
    case TIMER_WIRELESS_WATCHDOG:
      watchdog_expired(LibraryLink::wireless);
      break;
    case TIMER_8K_WATCHDOG:
      watchdog_expired(LibraryLink::wireless_8k);
      break;
    case TIMER_BLE_REGISTER:
      timers_.kill_timer(TIMER_BLE_REGISTER);
      if (!ble_.has_registration()) ble_.register_notifications();
      break;
    case TIMER_WIRED_ARRIVAL:
      finish_arrival(LibraryLink::wired);
      break;
    case TIMER_WIRELESS_ARRIVAL:
      finish_arrival(LibraryLink::wireless);
      break;
    case TIMER_8K_ARRIVAL:
      finish_arrival(LibraryLink::wireless_8k);
      break;
  }
  return true;
}

}  // namespace norvane
