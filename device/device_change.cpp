#include "device/device_change.h"

#include <charconv>

#include "device/ble_presence.h"

namespace norvane {
namespace {

std::optional<uint16_t> parse_hex_field(std::string_view field) {
  if (field.empty() || field.size() > 8) return std::nullopt;
  uint32_t value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value, 16);
  if (error != std::errc() || end != field.data() + field.size() || value > 0xFFFF) return std::nullopt;
  return static_cast<uint16_t>(value);
}

}  // namespace

std::optional<HidIdentity> parse_udev_hid_id(std::string_view hid_id) {
  const size_t first = hid_id.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const size_t second = hid_id.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const auto bus = parse_hex_field(hid_id.substr(0, first));
  const auto vendor = parse_hex_field(hid_id.substr(first + 1, second - first - 1));
  const auto product = parse_hex_field(hid_id.substr(second + 1));
  if (!bus || !vendor || !product) return std::nullopt;
  return HidIdentity{*bus, *vendor, *product};
}

bool is_ble_mouse(const HidIdentity& id) {
  return id.bus == kHidBusBluetooth && id.vendor_id == kBleVendorId && id.product_id == kBleProductId;
}

}  // namespace norvane
