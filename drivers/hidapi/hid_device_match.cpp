#include "drivers/hidapi/hid_device_match.h"

namespace norvane::hiddriver {

namespace {

bool hex_field(std::string_view text, uint16_t& value) {
  if (text.size() != 4) return false;
  value = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return false;
    value = static_cast<uint16_t>(value << 4 | digit);
  }
  return true;
}

// "BBBB:VVVV:PPPP.NNNN"
bool parse_hid_folder(std::string_view name, uint16_t& vendor_id, uint16_t& product_id) {
  if (name.size() != 19 || name[4] != ':' || name[9] != ':' || name[14] != '.') return false;
  uint16_t bus = 0;
  uint16_t instance = 0;
  return hex_field(name.substr(0, 4), bus) && hex_field(name.substr(5, 4), vendor_id) &&
         hex_field(name.substr(10, 4), product_id) && hex_field(name.substr(15, 4), instance);
}

}  // namespace

bool hid_ids_from_devpath(std::string_view devpath, uint16_t& vendor_id, uint16_t& product_id) {
  // The HID device folder nearest to the node wins.
  bool found = false;
  size_t start = 0;
  while (start <= devpath.size()) {
    size_t end = devpath.find('/', start);
    if (end == std::string_view::npos) end = devpath.size();
    uint16_t vendor = 0;
    uint16_t product = 0;
    if (parse_hid_folder(devpath.substr(start, end - start), vendor, product)) {
      vendor_id = vendor;
      product_id = product;
      found = true;
    }
    start = end + 1;
  }
  return found;
}

}  // namespace norvane::hiddriver
