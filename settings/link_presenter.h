#pragma once
// Shows what the link side finds on the settings page and makes the current profile
// follow the changes the user makes on the mouse: link icons and the "asleep" label,
// the sections whose layout depends on the link, the battery, the DPI level, polling
// rate and lighting mode chosen on the mouse (selected without notifications, saved
// without being sent back), and the changes still waiting for the mouse, sent again
// when it can be reached. What the battery shows also goes to the window as
// UM_BATTERY_STATE (the tray's tooltip and low-battery notices). UI thread only.

#include "core/link_state.h"
#include "core/profile_state.h"
#include "device/link_sink.h"
#include "settings/battery_display.h"
#include "protocol/settings_applier.h"
#include "settings/link_page_hooks.h"
#include "settings/page_view.h"
#include "settings/pending_changes.h"

namespace norvane {

class LinkPresenter final : public LinkSink {
 public:
  LinkPresenter(PageView& view, ProfileState& profiles, const LinkState& links, LinkPageHooks& hooks)
      : view_(view),
        profiles_(profiles),
        links_(links),
        hooks_(hooks),
        battery_(view),
        pending_(view, profiles, hooks) {}

  // Lays out the sections that depend on the link (also after the page is refreshed).
  void refresh_link_sections();
  // One tick of the charging sweep (timer 531).
  void on_charging_timer() { battery_.animation_step(); }
  void set_on_screen(bool on_screen) { battery_.set_on_screen(on_screen); }
  const BatteryDisplay& battery() const { return battery_; }
  // An apply ended (handed over from the worker): `pending` changes are left.
  void apply_finished(ApplyOutcome outcome, int pending) { pending_.apply_finished(outcome, pending); }
  const PendingChanges& pending_changes() const { return pending_; }
  // The last battery report: a level 0..100, or -1 while none is known; charging.
  int battery_level() const { return battery_level_; }
  bool charging() const { return charging_; }

  // LinkSink
  void show_link(LinkIcon icon, bool shown) override;
  void show_sleeping(bool shown) override;
  void links_changed() override { refresh_link_sections(); }
  void any_link_changed() override;
  void show_battery_level(int level) override;
  void show_charging(bool from_start) override;
  void stop_charging_sweep() override { battery_.stop_animation(); }
  void clear_battery() override;
  void mouse_changed(const DeviceEvent& event) override;
  void mouse_reachable(MouseReach how) override { pending_.mouse_reachable(how); }

 private:
  void follow(const DpiLevelChanged& event);
  void follow(const PollingRateChanged& event);
  void follow(const LightingModeChanged& event);
  void follow(const SettingsSaved& event);
  void follow(const BatteryReport&) {}
  void follow(const Acknowledgement&) {}
  // Writes what the mouse changed into both the current and the last-applied record,
  // under the lock, so it is not sent back while every other change the user made
  // stays pending; then saves the store. False (nothing done) before a profile is
  // loaded.
  template <typename Change>
  bool take_from_mouse(Change&& change);

  PageView& view_;
  ProfileState& profiles_;
  const LinkState& links_;
  LinkPageHooks& hooks_;
  BatteryDisplay battery_;
  PendingChanges pending_;
  int battery_level_ = -1;
  bool charging_ = false;
};

}  // namespace norvane
