#pragma once
// A HID report descriptor read into what the driver needs from it: which
// reports the interface declares (input, output, feature), their report IDs and
// data lengths, and the top-level collections they belong to. Only the items
// that shape reports are interpreted; the rest (logical ranges, units, usage
// lists) are stepped over. Plain C++, no hidapi.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace norvane::hiddriver {

enum class ReportKind : uint8_t { input, output, feature };

const char* report_kind_name(ReportKind kind);

struct DeclaredReport {
  ReportKind kind = ReportKind::input;
  uint8_t id = 0;          // 0 when the interface numbers none of its reports
  uint32_t bits = 0;       // data bits of the report, its ID byte not included
  uint16_t usage_page = 0; // of the top-level collection it is first declared in
  uint16_t usage = 0;

  // Data bytes, as the device sends or expects them (the ID byte not counted).
  size_t bytes() const { return (bits + 7) / 8; }
};

struct TopLevelCollection {
  uint16_t usage_page = 0;
  uint16_t usage = 0;
};

inline constexpr uint16_t kVendorUsagePageFirst = 0xFF00;

struct ReportDescriptor {
  bool numbered = false;  // the interface puts a report ID in front of every report
  std::vector<DeclaredReport> reports;  // one per kind and ID, in order of declaration
  std::vector<TopLevelCollection> collections;

  const DeclaredReport* find(ReportKind kind, uint8_t id) const;
  std::vector<const DeclaredReport*> of_kind(ReportKind kind) const;
  bool declares(ReportKind kind) const { return !of_kind(kind).empty(); }
};

struct DescriptorParse {
  std::optional<ReportDescriptor> descriptor;
  std::string error;  // why there is none: the item and byte offset that broke it
};

// Reads a descriptor as the kernel would accept it. A truncated item, an
// unbalanced collection or push/pop, a report ID of 0, a report size or count
// beyond the kernel's limits, or reports declared both with and without an ID
// make it malformed.
DescriptorParse parse_report_descriptor(std::span<const uint8_t> bytes);

// "input 09:7 feature 04:63 05:63" (kind, ID in hex, data bytes), in order of
// declaration, one entry per report.
std::string describe_reports(const ReportDescriptor& descriptor);

}  // namespace norvane::hiddriver
