#include "macros/macro_working_copy.h"

#include <algorithm>

#include "macros/macro_size.h"

namespace norvane {

void MacroWorkingCopy::load(const MacroRecord& record) {
  count = std::clamp<int>(record.event_count, 0, kMaxMacroEvents);
  events = {};
  std::copy_n(record.events, count, events.begin());
}

void MacroWorkingCopy::store_into(MacroRecord& record) const {
  std::copy(events.begin(), events.end(), record.events);
  record.event_count = count;
}

int MacroWorkingCopy::size_units() const { return macro_size_units(events.data(), count); }

bool insert_event(MacroWorkingCopy& copy, const MacroEvent& event) {
  if (copy.full()) return false;
  int target = copy.insert_position == kInsertAtEnd ? copy.count : copy.insert_position;
  target = std::clamp(target, 0, copy.count);
  std::move_backward(copy.events.begin() + target, copy.events.begin() + copy.count,
                     copy.events.begin() + copy.count + 1);
  copy.events[static_cast<size_t>(target)] = event;
  ++copy.count;
  if (copy.selected >= target) ++copy.selected;
  if (copy.insert_position != kInsertAtEnd) copy.insert_position = target + 1;
  return true;
}

bool delete_event(MacroWorkingCopy& copy, int index) {
  if (!copy.valid_index(index)) return false;
  std::move(copy.events.begin() + index + 1, copy.events.begin() + copy.count, copy.events.begin() + index);
  --copy.count;
  copy.events[static_cast<size_t>(copy.count)] = MacroEvent{};
  return true;
}

bool swap_events(MacroWorkingCopy& copy, int a, int b) {
  if (!copy.valid_index(a) || !copy.valid_index(b)) return false;
  std::swap(copy.events[static_cast<size_t>(a)], copy.events[static_cast<size_t>(b)]);
  return true;
}

void clear_events(MacroWorkingCopy& copy) {
  copy.events = {};
  copy.count = 0;
  copy.selected = kNoEvent;
  copy.insert_position = kInsertAtEnd;
}

MacroEvent key_event(uint8_t code, uint8_t kind, uint16_t delay) {
  MacroEvent event{};
  event.code = code;
  event.kind = kind;
  event.delay = delay;
  return event;
}

MacroEvent move_event(int32_t x, int32_t y, uint16_t delay) {
  MacroEvent event{};
  event.code = kCodeMouseMove;
  event.kind = kKindMove;
  event.delay = delay;
  event.x = x;
  event.y = y;
  return event;
}

}  // namespace norvane
