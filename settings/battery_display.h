#pragma once
// The battery bar and label: either a percentage (plain text, bar at the level) or
// charging (the "charging_text" language text, bar swept 0, 2, ... 100, 0, ... by
// main-window timer 531 every 30 ms). The sweep only draws, so it runs only while the
// window is on screen. UI thread only.

#include "settings/page_view.h"

namespace norvane {

inline constexpr int kChargingStepMs = 30;

class BatteryDisplay {
 public:
  explicit BatteryDisplay(PageView& view) : view_(view) {}

  // Bar at `level`, label "<level>%" as plain text.
  void show_level(int level);
  // Label shows the charging text; the animation (re)starts from where it stands.
  void show_charging();
  // As show_charging, with the sweep starting again at 0.
  void restart_charging();
  // Stops the sweep; the bar keeps its last value.
  void stop_animation();
  // Label back to plain text, empty.
  void clear_label();
  // One tick of timer 531.
  void animation_step();
  // The window came on screen or left it: the sweep resumes or pauses.
  void set_on_screen(bool on_screen);

  int animation_value() const { return animation_value_; }

 private:
  PageView& view_;
  int animation_value_ = 0;
  bool sweeping_ = false;   // charging is shown
  bool on_screen_ = true;
};

}  // namespace norvane
