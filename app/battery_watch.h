#pragma once
// The battery as the tray shows it and the low-battery notices: one notice when the
// level falls to 15 % or below while the mouse runs on its battery, one more at 5 %,
// once each per discharge. Charging starts a new discharge, and so does a level well
// above the first mark (the mouse was charged while the program did not see it), so
// a level that wavers around a mark does not repeat its notice. Fed only by the
// battery events the page already receives; no polling.

#include <optional>

namespace norvane {

inline constexpr int kBatteryLowMark = 15;
inline constexpr int kBatteryVeryLowMark = 5;
// A level at or above this starts a new discharge.
inline constexpr int kBatteryRearmLevel = 25;

class BatteryWatch {
 public:
  // A level reported while on battery; returns the mark (15 or 5) to announce, if any.
  std::optional<int> on_level(int level);
  void on_charging();
  // The battery is not known any more (the link went away): the tooltip loses it,
  // the discharge goes on.
  void on_unknown();

  std::optional<int> level() const { return level_; }
  bool charging() const { return charging_; }

 private:
  std::optional<int> level_;
  bool charging_ = false;
  bool announced_low_ = false;
  bool announced_very_low_ = false;
};

}  // namespace norvane
