#include "device/library_message.h"

namespace norvane {
namespace {

uint32_t fold_event(uintptr_t wparam, intptr_t lparam) {
  // Only the low 16 bits of each parameter carry report bytes; the shift drops the rest.
  return static_cast<uint32_t>(wparam << 16) ^ (static_cast<uint32_t>(lparam) & 0xFFFFu);
}

uint32_t fold_link(uintptr_t wparam) {
  const uint32_t low = wparam == 1 ? kLinkValueArrived : wparam == 0 ? kLinkValueGone : 0;
  return (uint32_t{kLinkValueMarker} << 16) | low;
}

}  // namespace

std::optional<FoldedLibraryMessage> fold_library_message(uint32_t message, uintptr_t wparam, intptr_t lparam) {
  switch (message) {
    case UM_WIRELESS_EVENT:
      return FoldedLibraryMessage{LibraryLink::wireless, fold_event(wparam, lparam)};
    case UM_WIRELESS_LINK:
      return FoldedLibraryMessage{LibraryLink::wireless, fold_link(wparam)};
    case UM_WIRED_EVENT:
      return FoldedLibraryMessage{LibraryLink::wired, fold_event(wparam, lparam)};
    case UM_WIRED_LINK:
      return FoldedLibraryMessage{LibraryLink::wired, fold_link(wparam)};
    case UM_WIRELESS_8K_EVENT:
      return FoldedLibraryMessage{LibraryLink::wireless_8k, fold_event(wparam, lparam)};
    case UM_WIRELESS_8K_LINK:
      return FoldedLibraryMessage{LibraryLink::wireless_8k, fold_link(wparam)};
    default:
      return std::nullopt;
  }
}

}  // namespace norvane
