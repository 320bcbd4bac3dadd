#pragma once
// The size of a macro in the mouse's memory, in the 2-byte units of the macro upload:
// a key or button event takes 1 unit, a movement 3, and a delay above 127 ms one more.
// The mouse holds at most 191 units per macro.

#include <cstdint>

#include "core/macro_record.h"

namespace norvane {

inline constexpr int kMaxMacroUnits = 191;
// Recording stops at the first event that finds the macro this large.
inline constexpr int kRecordingStopUnits = 190;
// The longest delay that fits the event's own unit.
inline constexpr uint16_t kShortDelayLimit = 127;

// The units of one event.
int event_units(const MacroEvent& event);

// The units of the first `count` events (count limited to 0..190). Each computation
// writes "iTotalNum = <size>" to the trace.
int macro_size_units(const MacroEvent* events, int count);

// The sum of the delays of the first `count` events: how long the macro plays, in ms.
int64_t macro_play_time_ms(const MacroEvent* events, int count);

}  // namespace norvane
