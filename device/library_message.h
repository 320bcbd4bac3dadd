#pragma once
// The main window's fold of the driver libraries' messages (1553..1558) into the
// single 32-bit value the link controller decodes:
//   event messages: (wParam << 16) ^ (lParam & 0xFFFF), i.e. report bytes 1,0 in
//                   the high half and bytes 3,2 in the low half;
//   link messages:  0x7F00 in the high half, and in the low half 1 (wParam 1,
//                   arrived), 2 (wParam 0, gone) or 0 (anything else).

#include <cstdint>
#include <optional>

#include "device/library_links.h"

namespace norvane {

inline constexpr uint16_t kLinkValueMarker = 0x7F00;
inline constexpr uint16_t kLinkValueArrived = 1;
inline constexpr uint16_t kLinkValueGone = 2;

struct FoldedLibraryMessage {
  LibraryLink link;
  uint32_t value;
};

// Folds one library message; nullopt for any message number outside 1553..1558.
std::optional<FoldedLibraryMessage> fold_library_message(uint32_t message, uintptr_t wparam, intptr_t lparam);

}  // namespace norvane
