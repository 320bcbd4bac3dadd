#pragma once
// A button's macro as the mouse stores it: 111-byte chunks (command 0x09), one per
// memory block, whose entry areas hold encoded events and, when the macro goes on,
// a link entry naming the next block.

#include <array>
#include <cstdint>

#include "core/macro_record.h"
#include "core/profile_record.h"
#include "protocol/report.h"

namespace norvane {

// Bytes of event entries one chunk may carry; a 2-byte link entry may follow them.
inline constexpr int kMacroEntryAreaLimit = 98;

// One encoded event: 2, 4, 6 or 8 bytes, counted in 2-byte units.
struct MacroEntry {
  std::array<uint8_t, 8> bytes{};
  uint8_t length = 0;
  int units() const { return length / 2; }
};

// Delay byte t (the delay itself up to 127 ms, else its remainder of 100, at least 2)
// and, for delays over 127 ms, a trailing hundreds byte q followed by 0x03. Movements
// carry x and y high byte first; releases (any kind but move and press) set bit 7 of t.
MacroEntry encode_macro_event(const MacroEvent& event);

struct MacroChunk {
  Report report;
  bool more = false;   // the macro goes on in block + 1
  int next_event = 0;  // first event of the next chunk (when `more`)
};

// The chunk for `block` that starts at event `first_event` of the slot's macro. Only the
// chunk that starts at event 0 carries the header (mode, extra bytes, repeat count).
MacroChunk build_macro_chunk(const ButtonSlot& slot, int first_event, int block);

// The slot's event count, never more than the events a slot holds.
int macro_event_count(const ButtonSlot& slot);

// How many chunks (memory blocks) the upload writes for the slot's macro: at least one,
// counted with the same builder the upload sends.
int macro_chunk_count(const ButtonSlot& slot);

}  // namespace norvane
