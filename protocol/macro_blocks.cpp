#include "protocol/macro_blocks.h"

#include <algorithm>

#include "protocol/macro_chunks.h"

namespace norvane {
namespace {

bool is_macro_button(const ProfileRecord& record, int slot) { return record.buttons[slot].function == kFunctionMacro; }

// The first macro button other than `slot` whose blocks `range` overlaps; -1 when none.
int first_overlapped(const ProfileRecord& record, int slot, const MacroBlockRange& range) {
  for (int other = 0; other < kMouseButtons; ++other) {
    if (other == slot || !is_macro_button(record, other)) continue;
    if (range.overlaps(macro_block_range(other, record.buttons[other]))) return other;
  }
  return -1;
}

}  // namespace

MacroBlockRange macro_block_range(int slot_index, const ButtonSlot& slot) {
  return {macro_start_block(slot_index), macro_chunk_count(slot)};
}

MacroBlockPlan plan_macro_blocks(const ProfileRecord& record) {
  MacroBlockPlan plan;
  std::vector<std::pair<int, MacroBlockRange>> kept;
  for (int slot = 0; slot < kMouseButtons; ++slot) {
    if (!is_macro_button(record, slot)) continue;
    const MacroBlockRange range = macro_block_range(slot, record.buttons[slot]);
    const auto in_the_way = std::find_if(kept.begin(), kept.end(),
                                         [&range](const auto& k) { return range.overlaps(k.second); });
    if (in_the_way == kept.end()) {
      kept.emplace_back(slot, range);
    } else {
      plan.skipped[static_cast<size_t>(slot)] = true;
      plan.overlaps.push_back({slot, in_the_way->first});
    }
  }
  return plan;
}

MacroRoom macro_room(const ProfileRecord& record, int slot, const ButtonSlot& candidate, int room_slots) {
  // The candidate's chunk count does not depend on the button it sits on.
  const int chunks = macro_chunk_count(candidate);
  auto in_the_way = [&](int on) { return first_overlapped(record, on, {macro_start_block(on), chunks}); };

  MacroRoom room;
  room.overlapped_slot = in_the_way(slot);
  room.fits = room.overlapped_slot < 0;
  for (int other = 0; other < std::min(room_slots, static_cast<int>(kMouseButtons)); ++other) {
    if (other != slot && in_the_way(other) < 0) room.slots_with_room.push_back(other);
  }
  return room;
}

}  // namespace norvane
