#include "device/ble_identifiers.h"

#include <cctype>

namespace norvane {
namespace {

bool equals_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equals_ignoring_case(text.substr(0, prefix.size()), prefix);
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
  return -1;
}

// Reads exactly `digits` hex digits from the front of `text`.
std::optional<uint32_t> read_hex(std::string_view text, size_t digits) {
  if (text.size() < digits || digits == 0 || digits > 8) return std::nullopt;
  uint32_t value = 0;
  for (size_t i = 0; i < digits; ++i) {
    const int digit = hex_value(text[i]);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

// A field "<letter><4 hex digits>" at the front of `text`.
std::optional<uint16_t> read_tagged_id(std::string_view text, char tag) {
  if (text.empty() || std::tolower(static_cast<unsigned char>(text[0])) != tag) return std::nullopt;
  const auto value = read_hex(text.substr(1), 4);
  if (!value) return std::nullopt;
  return static_cast<uint16_t>(*value);
}

}  // namespace

std::optional<VendorProduct> parse_modalias(std::string_view modalias) {
  std::string_view ids;
  if (starts_with_ignoring_case(modalias, "usb:")) {
    ids = modalias.substr(4);
  } else if (starts_with_ignoring_case(modalias, "bluetooth:")) {
    ids = modalias.substr(10);
  } else {
    return std::nullopt;
  }
  const auto vendor = read_tagged_id(ids, 'v');
  if (!vendor) return std::nullopt;
  const auto product = read_tagged_id(ids.substr(5), 'p');
  if (!product) return std::nullopt;
  return VendorProduct{*vendor, *product};
}

std::optional<uint16_t> parse_vid_fragment(std::string_view fragment) {
  if (!starts_with_ignoring_case(fragment, "VID&")) return std::nullopt;
  const std::string_view digits = fragment.substr(4);
  if (digits.size() != 4 && digits.size() != 6) return std::nullopt;
  if (!read_hex(digits, digits.size())) return std::nullopt;
  return static_cast<uint16_t>(*read_hex(digits.substr(digits.size() - 4), 4));
}

std::optional<uint16_t> parse_pid_fragment(std::string_view fragment) {
  if (!starts_with_ignoring_case(fragment, "PID&")) return std::nullopt;
  const std::string_view digits = fragment.substr(4);
  if (digits.size() != 4) return std::nullopt;
  const auto value = read_hex(digits, 4);
  if (!value) return std::nullopt;
  return static_cast<uint16_t>(*value);
}

std::optional<VendorProduct> target_from_fragments(std::string_view vid_fragment,
                                                   std::string_view pid_fragment) {
  const auto vendor = parse_vid_fragment(vid_fragment);
  const auto product = parse_pid_fragment(pid_fragment);
  if (!vendor || !product) return std::nullopt;
  return VendorProduct{*vendor, *product};
}

std::optional<uint16_t> uuid16_from_string(std::string_view uuid) {
  // xxxxxxxx-0000-1000-8000-00805f9b34fb with the first four digits zero.
  constexpr std::string_view kBaseTail = "-0000-1000-8000-00805f9b34fb";
  if (uuid.size() != 8 + kBaseTail.size()) return std::nullopt;
  if (!equals_ignoring_case(uuid.substr(8), kBaseTail)) return std::nullopt;
  if (uuid.substr(0, 4) != "0000") return std::nullopt;
  const auto value = read_hex(uuid.substr(4, 4), 4);
  if (!value) return std::nullopt;
  return static_cast<uint16_t>(*value);
}

std::optional<uint16_t> handle_from_object_path(std::string_view path,
                                                std::string_view prefix) {
  const size_t slash = path.rfind('/');
  const std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (last.size() <= prefix.size() || last.substr(0, prefix.size()) != prefix) return std::nullopt;
  const std::string_view digits = last.substr(prefix.size());
  if (digits.size() > 4) return std::nullopt;
  const auto value = read_hex(digits, digits.size());
  if (!value) return std::nullopt;
  return static_cast<uint16_t>(*value);
}

}  // namespace norvane
