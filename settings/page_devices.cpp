#include "settings/page_devices.h"

#include <algorithm>

#include "core/trace.h"
#include "protocol/section_delivery.h"

namespace norvane {

PageDevices::PageDevices(const PageDeviceParts& parts)
    : profiles_(parts.profiles),
      store_folder_(parts.store_folder),
      apply_finished_(parts.apply_finished),
      store_writer_(parts.store_writer),
      window_port_(parts.window_port),
      drivers_(parts.exe_folder),
      gatt_(bluez_system_bus()),
      ble_transport_(gatt_,
                     [this](uint16_t code, uint16_t value) {
                       // Handed on through the queue so the controller never runs
                       // inside the transport's own signal handling.
                       ui_calls_.post([this, code, value] {
                         controller_.on_device_event(EventSource::ble, code, value);
                       });
                     }),
      ble_port_(ble_transport_),
      ble_probe_(make_hidapi_ble_presence_probe()),
      endpoints_([this](std::span<const uint8_t> b) { return drivers_.set_feature(LibraryLink::wired, b); },
                 [this](std::span<const uint8_t> b) { return drivers_.set_feature(LibraryLink::wireless, b); },
                 [this](std::span<const uint8_t> b) { return drivers_.write_usb(b); },
                 [this](std::span<const uint8_t> b) { return ble_transport_.ble_write(b); }),
      sender_(parts.links, endpoints_, parts.clock),
      apply_host_(ui_calls_, parts.view, [this] { save_store_from_worker(); }, parts.macro_overlaps),
      applier_(parts.profiles, parts.links, sender_, parts.clock, apply_host_),
      controller_(LinkControllerParts{parts.links, drivers_, ble_port_, *ble_probe_, parts.sink, parts.view},
                  NvPostTarget{window_port_.get(), &MessagePort::post_from_c}, [this] { run_apply(); }) {
  // At shut-down an apply in progress ends at the next report, macro part or round
  // instead of finishing a long macro upload.
  applier_.set_stop_check([this] { return controller_.apply_stop_requested(); });
  sender_.set_stop_check([this] { return controller_.apply_stop_requested(); });
}

PageDevices::~PageDevices() { close(); }

void PageDevices::close() {
  if (closed_) return;
  closed_ = true;
  controller_.close_links();
  if (ble_transport_.has_registration()) ble_transport_.unregister_notifications();
  ble_transport_.set_fragments("", "");
}

void PageDevices::run_apply() {
  const ApplyOutcome outcome = applier_.apply_settings();
  switch (outcome) {
    case ApplyOutcome::applied:
    case ApplyOutcome::not_delivered: {
      const DirtyFlags& d = applier_.last_dirty();
      trace("Apply: dpi=%d light=%d rate=%d buttons=%d\n", d.dpi, d.light, d.rate, d.buttons);
      if (outcome == ApplyOutcome::not_delivered) {
        const DirtyFlags& u = applier_.last_delivery().undelivered();
        trace("Apply: not delivered, kept for later: dpi=%d light=%d rate=%d buttons=%d macros=%d\n", u.dpi,
              u.light, u.rate, u.buttons, static_cast<int>(std::count(u.macro.begin(), u.macro.end(), true)));
      }
      break;
    }
    case ApplyOutcome::mouse_sleeping:
      trace("Apply: mouse asleep, changes kept for later\n");
      break;
    case ApplyOutcome::no_profile:
      trace("Apply: no profile\n");
      break;
    case ApplyOutcome::stopped:
      trace("Apply: stopped at shut-down\n");
      break;
  }
  if (apply_finished_) {
    const int pending = pending_changes(profiles_);
    ui_calls_.post([this, outcome, pending] { apply_finished_(outcome, pending); });
  }
}

void PageDevices::save_store_from_worker() { store_writer_.save_profile_store(profiles_, store_folder_); }

}  // namespace norvane
