#pragma once
// Which hidraw node belongs to the mouse, and which of its interfaces the
// driver talks to.

#include <hidapi/hidapi.h>

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

// The path of the device's vendor interface among the enumerated interfaces
// of vendor/product: the first with a vendor-defined usage page (0xFF00 and
// up), else the first interface; empty when the device is not there.
std::string choose_vendor_interface(const hid_device_info* list, uint16_t vendor_id,
                                    uint16_t product_id);

}  // namespace norvane::hiddriver
