#include "app/battery_watch.h"

namespace norvane {

std::optional<int> BatteryWatch::on_level(int level) {
  level_ = level;
  charging_ = false;
  if (level >= kBatteryRearmLevel) {
    announced_low_ = announced_very_low_ = false;
    return std::nullopt;
  }
  if (level <= kBatteryVeryLowMark && !announced_very_low_) {
    // A first report already this low skips the 15 % notice: one notice says it all.
    announced_low_ = announced_very_low_ = true;
    return kBatteryVeryLowMark;
  }
  if (level <= kBatteryLowMark && !announced_low_) {
    announced_low_ = true;
    return kBatteryLowMark;
  }
  return std::nullopt;
}

void BatteryWatch::on_charging() {
  level_.reset();
  charging_ = true;
  announced_low_ = announced_very_low_ = false;
}

void BatteryWatch::on_unknown() {
  level_.reset();
  charging_ = false;
}

}  // namespace norvane
