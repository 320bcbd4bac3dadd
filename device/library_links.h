#pragma once
// The three links reached through a vendor driver library, with the fixed
// parameters each one is opened with.

#include <cstdint>

#include "core/messages.h"
#include "drivers/mouse_ids.h"

namespace norvane {

enum class LibraryLink : uint8_t { wired, wireless, wireless_8k };

// After a link's device arrives, its device is reopened once this wait has passed
// (the driver needs a moment before the device accepts an open). The wait runs on a
// main-window timer per link so the window stays responsive.
inline constexpr int kArrivalWaitMs = 1000;
inline constexpr int TIMER_WIRED_ARRIVAL = 534;
inline constexpr int TIMER_WIRELESS_ARRIVAL = 535;
inline constexpr int TIMER_8K_ARRIVAL = 536;

struct LibraryLinkParams {
  int vendor_id;
  int product_id;
  uint32_t event_message;
  uint32_t link_message;
  int arrival_timer;
};

constexpr LibraryLinkParams library_link_params(LibraryLink link) {
  switch (link) {
    case LibraryLink::wired:
      return {mouse_ids::kUsbVendor, mouse_ids::kCableProduct, UM_WIRED_EVENT, UM_WIRED_LINK, TIMER_WIRED_ARRIVAL};
    case LibraryLink::wireless:
      return {mouse_ids::kUsbVendor, mouse_ids::kReceiverProduct, UM_WIRELESS_EVENT, UM_WIRELESS_LINK, TIMER_WIRELESS_ARRIVAL};
    case LibraryLink::wireless_8k:
      break;
  }
  return {mouse_ids::kUsbVendor, mouse_ids::kReceiver8kProduct, UM_WIRELESS_8K_EVENT, UM_WIRELESS_8K_LINK, TIMER_8K_ARRIVAL};
}

}  // namespace norvane
