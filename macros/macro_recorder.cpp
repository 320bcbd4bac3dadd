#include "macros/macro_recorder.h"

#include <algorithm>

#include "macros/macro_size.h"

namespace norvane {
namespace {

// Windows mouse messages, as the input-capture library posts them.
constexpr uintptr_t kLeftDown = 513, kLeftUp = 514;
constexpr uintptr_t kRightDown = 516, kRightUp = 517;
constexpr uintptr_t kMiddleDown = 519, kMiddleUp = 520;
constexpr uintptr_t kExtraDown = 523, kExtraUp = 524;
constexpr intptr_t kExtraForward = 1, kExtraBackward = 2;

}  // namespace

RecordedInput convert_hook_input(uintptr_t message, intptr_t param, const VirtualKeyToCode& key_code) {
  switch (message) {
    case kLeftDown: return {kCodeLeftButton, kKindPress};
    case kLeftUp: return {kCodeLeftButton, kKindRelease};
    case kRightDown: return {kCodeRightButton, kKindPress};
    case kRightUp: return {kCodeRightButton, kKindRelease};
    case kMiddleDown: return {kCodeMiddleButton, kKindPress};
    case kMiddleUp: return {kCodeMiddleButton, kKindRelease};
    default: break;
  }
  if ((message == kExtraDown || message == kExtraUp) && (param == kExtraBackward || param == kExtraForward)) {
    return {param == kExtraBackward ? kCodeBackwardButton : kCodeForwardButton,
            message == kExtraDown ? kKindPress : kKindRelease};
  }
  const uint8_t code = key_code ? key_code(static_cast<uint32_t>(message)) : 0;
  return {code, param == 0 ? kKindPress : kKindRelease};
}

void MacroRecorder::start(MacroWorkingCopy& copy, DelayMode mode, uint16_t default_delay, int64_t now_ms) {
  if (copy.selected == kNoEvent) {
    clear_events(copy);
    start_position_ = kInsertAtEnd;
  } else {
    start_position_ = copy.selected + 1;
  }
  copy.insert_position = start_position_;
  mode_ = mode;
  default_delay_ = default_delay;
  last_event_time_ = now_ms;
  // Repeats are dropped within one recording only: the first key of a recording must
  // not be lost because the previous recording ended on the same message.
  have_last_message_ = false;
  active_ = true;
}

uint16_t MacroRecorder::gap_until(int64_t event_time_ms) const {
  switch (mode_) {
    case DelayMode::recorded:
      return static_cast<uint16_t>(std::clamp<int64_t>(event_time_ms - last_event_time_, 0, kMaxDelay));
    case DelayMode::fixed:
      return default_delay_;
    case DelayMode::minimal:
      break;
  }
  return 1;
}

MacroRecorder::Outcome MacroRecorder::record(MacroWorkingCopy& copy, uintptr_t message, intptr_t param,
                                             int64_t event_time_ms, const VirtualKeyToCode& key_code) {
  if (have_last_message_ && message == last_message_ && param == last_param_) return Outcome::repeat_dropped;
  have_last_message_ = true;
  last_message_ = message;
  last_param_ = param;

  if (copy.size_units() >= kRecordingStopUnits || copy.full()) return Outcome::full_units;

  const RecordedInput input = convert_hook_input(message, param, key_code);
  const uint16_t gap = gap_until(event_time_ms);
  if (copy.insert_position == kInsertAtEnd) {
    if (copy.count > 0) copy.events[static_cast<size_t>(copy.count - 1)].delay = gap;
  } else if (copy.insert_position == start_position_) {
    if (copy.insert_position < copy.count) copy.events[static_cast<size_t>(copy.insert_position)].delay = gap;
  } else if (copy.insert_position > 0 && copy.insert_position <= copy.count) {
    copy.events[static_cast<size_t>(copy.insert_position - 1)].delay = gap;
  }
  insert_event(copy, key_event(input.code, input.kind, 1));
  last_event_time_ = event_time_ms;
  return copy.full() ? Outcome::full_events : Outcome::recorded;
}

}  // namespace norvane
