#include "drivers/virtual/macro_memory.h"

#include <cstring>

namespace norvane::vmouse {

namespace {

int16_t high_low(const uint8_t* p) {
  return static_cast<int16_t>(static_cast<uint16_t>(p[0] << 8 | p[1]));
}

}  // namespace

void MacroMemory::clear() {
  present_.reset();
  for (auto& block : blocks_) block.fill(0);
}

void MacroMemory::store(const uint8_t* chunk) {
  const uint8_t block = chunk[2];
  std::memcpy(blocks_[block].data(), chunk, kChunkBytes);
  present_.set(block);
}

bool MacroMemory::read(int block, uint8_t* out) const {
  if (block < 0 || block >= VM_MACRO_BLOCKS || !present_[static_cast<size_t>(block)]) return false;
  std::memcpy(out, blocks_[static_cast<size_t>(block)].data(), kChunkBytes);
  return true;
}

int MacroMemory::decode(int start_block, VmMacroInfo& info, VmMacroEvent* events,
                        int capacity) const {
  info = VmMacroInfo{};
  if (events == nullptr || capacity < 0) capacity = 0;
  std::bitset<VM_MACRO_BLOCKS> visited;
  int status = VM_MACRO_OK;
  int block = start_block;

  while (true) {
    if (block < 0 || block >= VM_MACRO_BLOCKS || !present_[static_cast<size_t>(block)]) {
      status = VM_MACRO_NO_BLOCK;
      break;
    }
    if (visited[static_cast<size_t>(block)]) {
      status = VM_MACRO_LOOP;
      break;
    }
    visited.set(static_cast<size_t>(block));
    const uint8_t* chunk = blocks_[static_cast<size_t>(block)].data();
    if (info.blocks_read == 0) {
      // Only the first chunk of a macro carries the header.
      info.mode = chunk[3];
      std::memcpy(info.header_extra, chunk + 4, 3);
      info.repeat = chunk[7];
    }
    ++info.blocks_read;

    // Units are 2-byte steps; acceptance keeps them within the 100-byte area.
    const int area_bytes = chunk[8] * 2;
    const uint8_t* area = chunk + kEntryAreaFirst;
    int pos = 0;
    int next_block = -1;
    bool bad_entry = false;
    while (pos < area_bytes) {
      const uint8_t first = area[pos];
      const uint8_t second = area[pos + 1];
      if (second == kEntryLink) {
        next_block = first;
        pos += 2;
        // A link ends its chunk; nothing may follow it.
        bad_entry = pos != area_bytes;
        break;
      }
      VmMacroEvent event{};
      const uint8_t short_delay = first & 0x7F;
      if (second == kEntryMove) {
        if (pos + 6 > area_bytes) {
          bad_entry = true;
          break;
        }
        event.code = kMoveCode;
        event.kind = VM_MACRO_KIND_MOVE;
        event.x = high_low(area + pos + 2);
        event.y = high_low(area + pos + 4);
        pos += 6;
      } else {
        event.code = second;
        event.kind = (first & kEntryReleaseBit) ? VM_MACRO_KIND_RELEASE : VM_MACRO_KIND_PRESS;
        pos += 2;
      }
      event.delay = short_delay;
      // Delays above 127 ms carry whole hundreds in a following (q, 0x03) pair;
      // the first byte then holds the rest of the delay.
      if (pos + 2 <= area_bytes && area[pos + 1] == kEntryLongDelay) {
        event.delay = static_cast<uint16_t>(area[pos] * 100 + short_delay);
        pos += 2;
      }
      if (info.event_count < capacity) events[info.event_count] = event;
      ++info.event_count;
    }
    if (bad_entry) {
      status = VM_MACRO_BAD_ENTRY;
      break;
    }
    if (next_block < 0) break;
    block = next_block;
  }

  if (status == VM_MACRO_OK && info.event_count > capacity) status = VM_MACRO_TRUNCATED;
  info.status = status;
  return status;
}

}  // namespace norvane::vmouse
