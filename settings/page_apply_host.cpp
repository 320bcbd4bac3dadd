#include "settings/page_apply_host.h"

#include "core/messages.h"
#include "device/link_controller.h"
#include "settings/page_controls.h"

namespace norvane {

void PageApplyHost::kill_watchdogs() {
  PageView& view = view_;
  ui_.post([&view] {
    view.kill_timer(TIMER_WIRELESS_WATCHDOG);
    view.kill_timer(TIMER_8K_WATCHDOG);
  });
}

void PageApplyHost::restart_watchdogs() {
  PageView& view = view_;
  ui_.post([&view] {
    view.start_timer(TIMER_WIRELESS_WATCHDOG, kWatchdogMs);
    view.start_timer(TIMER_8K_WATCHDOG, kWatchdogMs);
  });
}

void PageApplyHost::show_apply_ring(bool visible) {
  PageView& view = view_;
  ui_.post([&view, visible] { view.set_visible(page_controls::kApplyRing, visible); });
}

void PageApplyHost::report_macro_overlaps(const std::vector<MacroOverlap>& overlaps) {
  if (!overlaps_) return;
  ui_.post([show = overlaps_, overlaps] { show(overlaps); });
}

void PageApplyHost::save_profile_store() {
  if (save_store_) save_store_();
}

}  // namespace norvane
