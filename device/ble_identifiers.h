#pragma once
// Identifiers the Bluetooth LE link reads: the vendor and product a device announces
// in its BlueZ modalias, the hardware-id fragments the connection code hands over,
// 16-bit GATT UUIDs inside 128-bit UUID strings and the attribute handle BlueZ puts
// in its object paths. Plain string parsing, no Qt.

#include <cstdint>
#include <optional>
#include <string_view>

namespace norvane {

struct VendorProduct {
  uint16_t vendor = 0;
  uint16_t product = 0;
  friend bool operator==(const VendorProduct&, const VendorProduct&) = default;
};

// "usb:v045Ep0009d0001" or "bluetooth:v045ep0009d0001" (any letter case) gives
// {0x045E, 0x0009}. Other prefixes, missing or short ids give nothing.
std::optional<VendorProduct> parse_modalias(std::string_view modalias);

// "VID&02045E" gives 0x045E: the vendor is the last four hex digits, the two before
// them name where the id comes from. "VID&045E" is read the same way.
std::optional<uint16_t> parse_vid_fragment(std::string_view fragment);

// "PID&0009" gives 0x0009.
std::optional<uint16_t> parse_pid_fragment(std::string_view fragment);

// The vendor and product both fragments name, or nothing when either is empty or
// unreadable (the link is then down and nothing may match).
std::optional<VendorProduct> target_from_fragments(std::string_view vid_fragment,
                                                   std::string_view pid_fragment);

// "0000fee3-0000-1000-8000-00805f9b34fb" (any letter case) gives 0xFEE3. UUIDs
// outside the Bluetooth base range have no 16-bit form and give nothing.
std::optional<uint16_t> uuid16_from_string(std::string_view uuid);

// The attribute handle in the last element of a BlueZ object path, e.g.
// ".../dev_AA_BB_CC_DD_EE_FF/service000a" with prefix "service" gives 0x000A.
std::optional<uint16_t> handle_from_object_path(std::string_view path,
                                                std::string_view prefix);

}  // namespace norvane
