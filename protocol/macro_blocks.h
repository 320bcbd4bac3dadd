#pragma once
// Where each button's macro lives in the mouse's macro memory: the block the button
// mapping names for the slot, and where the upload starts writing it.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/profile_record.h"

namespace norvane {

// Device memory block where each button slot's macro starts.
inline constexpr std::array<int32_t, kMouseButtons> kMacroStartBlock = {
    1, 5, 9, 0, 0, 0, 13, 17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

inline constexpr int32_t macro_start_block(int slot) {
  return slot >= 0 && slot < kMouseButtons ? kMacroStartBlock[static_cast<size_t>(slot)] : 0;
}

}  // namespace norvane
