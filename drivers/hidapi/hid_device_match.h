#pragma once
// Which hidraw node belongs to the mouse, from the node's sysfs path.

#include <cstdint>
#include <string>
#include <string_view>

namespace norvane::hiddriver {

// Vendor and product id of a hidraw node from its sysfs path, whose HID
// device folder is named "BBBB:VVVV:PPPP.NNNN" (bus, vendor, product,
// instance, hexadecimal), e.g.
// "/devices/.../1-2:1.1/0003:1D57:2127.0004/hidraw/hidraw3". Works for
// removed nodes too, since it needs no sysfs lookup.
bool hid_ids_from_devpath(std::string_view devpath, uint16_t& vendor_id, uint16_t& product_id);

}  // namespace norvane::hiddriver
