#include "macros/macro_size.h"

#include <algorithm>

#include "core/trace.h"

namespace norvane {

int event_units(const MacroEvent& event) {
  return (event.kind == kKindMove ? 3 : 1) + (event.delay > kShortDelayLimit ? 1 : 0);
}

int macro_size_units(const MacroEvent* events, int count) {
  count = std::clamp(count, 0, kMaxMacroEvents);
  int total = 0;
  for (int i = 0; i < count; ++i) total += event_units(events[i]);
  trace("iTotalNum = %d\r\n", total);
  return total;
}

int64_t macro_play_time_ms(const MacroEvent* events, int count) {
  count = std::clamp(count, 0, kMaxMacroEvents);
  int64_t total = 0;
  for (int i = 0; i < count; ++i) total += events[i].delay;
  return total;
}

}  // namespace norvane
