#pragma once
// The mouse's macro memory: 256 blocks, each holding the last accepted 0x09
// chunk written to it, and the reader that plays a macro back as events by
// following the link entries from its first block.

#include <array>
#include <bitset>
#include <cstdint>

#include "drivers/virtual/virtual_mouse_control.h"

namespace norvane::vmouse {

inline constexpr int kChunkBytes = VM_MACRO_CHUNK_BYTES;  // 0x09 chunk, header to sum
inline constexpr int kEntryAreaFirst = 9;                 // chunk bytes 9..108
inline constexpr int kEntryAreaBytes = 100;

// Entry codes inside the entry area.
inline constexpr uint8_t kEntryMove = 0xF6;         // second byte of a movement entry
inline constexpr uint8_t kEntryLink = 0xFE;         // second byte of a link entry
inline constexpr uint8_t kEntryLongDelay = 0x03;    // second byte of a delay extension
inline constexpr uint8_t kEntryReleaseBit = 0x80;   // in the first byte of an entry
inline constexpr uint8_t kMoveCode = 246;

class MacroMemory {
 public:
  void clear();
  // Stores an accepted chunk (kChunkBytes bytes) in block chunk[2].
  void store(const uint8_t* chunk);
  // Copies block `block`; false when it holds no chunk.
  bool read(int block, uint8_t* out) const;
  // Decodes the macro that starts in `start_block`; see vm_macro_decode.
  int decode(int start_block, VmMacroInfo& info, VmMacroEvent* events, int capacity) const;

 private:
  std::array<std::array<uint8_t, kChunkBytes>, VM_MACRO_BLOCKS> blocks_{};
  std::bitset<VM_MACRO_BLOCKS> present_;
};

}  // namespace norvane::vmouse
