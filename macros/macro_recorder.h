#pragma once
// Recording a macro from live input: the input-capture library's messages (a virtual
// key or mouse message and a flag) become press and release events, and the time
// between them becomes their delays, measured, fixed or minimal by the delay mode.
//
// A recording either replaces the macro's events (nothing selected when it starts) or
// goes in after the selected event. Each event's gap is given to the event played just
// before it: when appending the previous last event; when inserting, the first gap goes
// to the event after the insertion point and later gaps to the event recorded before.
// The newest event keeps delay 1 until the next one arrives.

#include <cstdint>
#include <functional>

#include "macros/event_fields.h"
#include "macros/macro_working_copy.h"

namespace norvane {

enum class DelayMode : uint8_t {
  recorded = 0,  // the measured time between the events (0..25,000 ms)
  fixed = 1,     // the default delay
  minimal = 2,   // 1 ms
};

struct RecordedInput {
  uint8_t code = 0;  // keyboard usage, mouse button code 241..245, 0 for a key not in the table
  uint8_t kind = kKindPress;
};

// The usage stored for a virtual key (0 when the key is not in the key table).
using VirtualKeyToCode = std::function<uint8_t(uint32_t virtual_key)>;

// Message 1034's numbers as an event: mouse messages 513/514, 516/517, 519/520 give the
// left, right and middle button; 523/524 the backward (second number 2) or forward (1)
// button; anything else is a virtual key, pressed when the second number is 0.
RecordedInput convert_hook_input(uintptr_t message, intptr_t param, const VirtualKeyToCode& key_code);

class MacroRecorder {
 public:
  enum class Outcome {
    repeat_dropped,  // the same message as the one before (a held key): nothing recorded
    full_units,      // the macro already had 190 units or more: stop, nothing recorded
    recorded,        // one event added
    full_events,     // one event added and the macro now holds 190: stop
  };

  // Starts recording into `copy` at `now_ms` (the clock of the events' time stamps).
  void start(MacroWorkingCopy& copy, DelayMode mode, uint16_t default_delay, int64_t now_ms);
  void stop() { active_ = false; }
  bool active() const { return active_; }

  // Where the recording goes: an index of the copy, or kInsertAtEnd when it replaced
  // the events.
  int start_position() const { return start_position_; }

  // One input event that happened at `event_time_ms`.
  Outcome record(MacroWorkingCopy& copy, uintptr_t message, intptr_t param, int64_t event_time_ms,
                 const VirtualKeyToCode& key_code);

 private:
  uint16_t gap_until(int64_t event_time_ms) const;

  bool active_ = false;
  DelayMode mode_ = DelayMode::fixed;
  uint16_t default_delay_ = kInsertedDelay;
  int start_position_ = kInsertAtEnd;
  int64_t last_event_time_ = 0;
  bool have_last_message_ = false;
  uintptr_t last_message_ = 0;
  intptr_t last_param_ = 0;
};

}  // namespace norvane
