#pragma once
// The macro editor's working copy of one macro: a buffer of 190 events with its count,
// the selected event and where the next inserted event goes. Edits are made here and
// copied into the library record only once they are accepted.

#include <array>

#include "core/macro_record.h"

namespace norvane {

inline constexpr int kNoEvent = -1;
inline constexpr int kInsertAtEnd = -1;

struct MacroWorkingCopy {
  std::array<MacroEvent, kMaxMacroEvents> events{};
  int count = 0;
  int selected = kNoEvent;                 // index of the selected event
  int insert_position = kInsertAtEnd;      // an index (at most count), or the end

  // Takes the events and count of `record` (a count outside 0..190 is limited to it;
  // events past the count are taken as zero). The selection and insertion point stay.
  void load(const MacroRecord& record);
  // Writes the whole event area and the count into `record`.
  void store_into(MacroRecord& record) const;

  bool valid_index(int index) const { return index >= 0 && index < count; }
  bool full() const { return count >= kMaxMacroEvents; }
  int size_units() const;
};

// Inserts `event` at the insertion point and moves the rest up. The selection follows
// the event it pointed at, and an insertion point that is an index moves past the new
// event, so a run of insertions lands in order. False (nothing changes) when the copy
// already holds 190 events.
bool insert_event(MacroWorkingCopy& copy, const MacroEvent& event);

// Removes event `index`, moves the rest down and zero-fills the freed last entry.
bool delete_event(MacroWorkingCopy& copy, int index);

// Exchanges two valid events.
bool swap_events(MacroWorkingCopy& copy, int a, int b);

// Removes every event; nothing is selected and insertions go to the end.
void clear_events(MacroWorkingCopy& copy);

// A key or button event (press or release) and a movement, as the editor makes them.
MacroEvent key_event(uint8_t code, uint8_t kind, uint16_t delay);
MacroEvent move_event(int32_t x, int32_t y, uint16_t delay);

}  // namespace norvane
