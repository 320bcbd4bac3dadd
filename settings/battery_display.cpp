#include "settings/battery_display.h"

#include <string>

#include "core/messages.h"
#include "settings/page_controls.h"

namespace norvane {

using namespace page_controls;

void BatteryDisplay::show_level(int level) {
  view_.set_progress(kPowerProgress, level);
  view_.set_plain_text(kPowerLabel, std::to_string(level) + "%");
}

void BatteryDisplay::show_charging() {
  view_.set_language_text(kPowerLabel, kChargingTextKey);
  sweeping_ = true;
  if (on_screen_) view_.start_timer(TIMER_CHARGING, kChargingStepMs);
}

void BatteryDisplay::restart_charging() {
  animation_value_ = 0;
  show_charging();
}

void BatteryDisplay::stop_animation() {
  sweeping_ = false;
  view_.kill_timer(TIMER_CHARGING);
}

void BatteryDisplay::set_on_screen(bool on_screen) {
  if (on_screen == on_screen_) return;
  on_screen_ = on_screen;
  if (!sweeping_) return;
  if (on_screen) {
    view_.start_timer(TIMER_CHARGING, kChargingStepMs);
  } else {
    view_.kill_timer(TIMER_CHARGING);
  }
}

void BatteryDisplay::clear_label() { view_.set_plain_text(kPowerLabel, ""); }

void BatteryDisplay::animation_step() {
  view_.set_progress(kPowerProgress, animation_value_);
  animation_value_ += 2;
  if (animation_value_ > 100) animation_value_ = 0;
}

}  // namespace norvane
