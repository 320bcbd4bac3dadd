#pragma once
// Where each button's macro lives in the mouse's macro memory: the block the button
// mapping names for the slot, and where the upload starts writing it.
//
// The start blocks are fixed (the mouse plays a button's macro from the block the mapping
// names, and profiles already on the mouse must keep their bytes), so several buttons
// share start block 0 and a long macro runs into the blocks of the next button. Two
// macros whose blocks overlap would overwrite each other in the mouse: the plan below
// decides which one goes to the mouse, and the room check keeps new assignments from
// overlapping at all.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/profile_record.h"

namespace norvane {

// Device memory block where each button slot's macro starts.
inline constexpr std::array<int32_t, kMouseButtons> kMacroStartBlock = {
    1, 5, 9, 0, 0, 0, 13, 17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

inline constexpr int32_t macro_start_block(int slot) {
  return slot >= 0 && slot < kMouseButtons ? kMacroStartBlock[static_cast<size_t>(slot)] : 0;
}

// The blocks a macro occupies: `count` blocks from `first`.
struct MacroBlockRange {
  int first = 0;
  int count = 0;
  int last() const { return first + count - 1; }
  bool overlaps(const MacroBlockRange& other) const {
    return count > 0 && other.count > 0 && first <= other.last() && other.first <= last();
  }
};

// The blocks the upload writes for `slot`'s macro when it sits on button `slot_index`.
MacroBlockRange macro_block_range(int slot_index, const ButtonSlot& slot);

// A macro button that is not sent: its blocks overlap those of `kept_slot`, an earlier
// macro button that is sent.
struct MacroOverlap {
  int slot = 0;
  int kept_slot = 0;
  bool operator==(const MacroOverlap&) const = default;
};

// Which macro buttons of a profile go to the mouse. Buttons 0..17 are taken in slot
// order; each macro keeps its blocks unless they overlap the blocks of a macro kept
// before it, and then it is skipped (sent as a disabled button, its macro not uploaded).
struct MacroBlockPlan {
  std::array<bool, kMouseButtons> skipped{};
  std::vector<MacroOverlap> overlaps;  // one per skipped button, in slot order
};

MacroBlockPlan plan_macro_blocks(const ProfileRecord& record);

// Whether a macro may be given to button `slot`.
struct MacroRoom {
  bool fits = true;
  int overlapped_slot = -1;         // when it does not fit: the first macro button in its way
  std::vector<int> slots_with_room;  // other buttons below `room_slots` where it would fit
};

// `candidate` (a button slot holding the macro) on button `slot` of `record`, which keeps
// every other button as it is: it fits when its blocks overlap the macro of no other
// macro button 0..17. Buttons 0..room_slots-1 other than `slot` are tried the same way for
// `slots_with_room`.
MacroRoom macro_room(const ProfileRecord& record, int slot, const ButtonSlot& candidate, int room_slots);

}  // namespace norvane
