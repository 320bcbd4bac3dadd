#pragma once
// Report descriptors built item by item for the tests, each with the list of
// reports it declares as the builder wrote them (kept apart from the parser
// under test), and the descriptors of the device layouts the tests use.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "drivers/hidapi/report_descriptor.h"

struct BuiltReport {
  norvane::hiddriver::ReportKind kind;
  uint8_t id;      // 0 when the descriptor numbers no reports
  size_t bytes;    // data bytes
  bool operator==(const BuiltReport&) const = default;
};
std::ostream& operator<<(std::ostream& out, const BuiltReport& report);

struct BuiltDescriptor {
  std::vector<uint8_t> bytes;
  std::vector<BuiltReport> reports;  // one per kind and ID, in order of declaration

  bool numbered() const;
  const BuiltReport* find(norvane::hiddriver::ReportKind kind, uint8_t id) const;
};

class DescriptorBuilder {
 public:
  DescriptorBuilder& item(uint8_t prefix, std::initializer_list<uint8_t> data = {});
  DescriptorBuilder& usage_page(uint16_t page);
  DescriptorBuilder& usage(uint16_t usage);
  DescriptorBuilder& logical(int16_t minimum, int16_t maximum);
  DescriptorBuilder& application(uint16_t page, uint16_t usage);
  DescriptorBuilder& physical();
  DescriptorBuilder& end();
  DescriptorBuilder& report_id(uint8_t id);
  // `count` fields of `size` bits (a constant field when `constant`).
  DescriptorBuilder& fields(norvane::hiddriver::ReportKind kind, uint32_t size, uint32_t count, bool constant = false);
  // A vendor report of `bytes` data bytes under the current report ID.
  DescriptorBuilder& report(norvane::hiddriver::ReportKind kind, size_t bytes);
  BuiltDescriptor build() const { return out_; }

 private:
  BuiltDescriptor out_;
  std::vector<size_t> bits_;  // per entry of out_.reports
  uint8_t id_ = 0;
};

namespace built {

// A plain mouse: five buttons, 16-bit X and Y, a wheel; no report IDs.
BuiltDescriptor boot_mouse();
// A vendor collection (page 0xFF02) declaring the program's feature reports
// 0x04, 0x05, 0x06, 0x08, 0x09 and 0x0C of 63 data bytes each and, when
// `events`, the event report 0x09 as a 7-byte input report.
BuiltDescriptor vendor_features(bool events);
// Keyboard (ID 1), consumer control (ID 2) and the vendor collection above with
// events, on one interface.
BuiltDescriptor keyboard_and_vendor();
// A vendor collection (page 0xFF01) that only sends event reports 0x09.
BuiltDescriptor vendor_events();
// A vendor collection without report IDs: feature, input and output reports of
// 64 data bytes.
BuiltDescriptor unnumbered_vendor();
// A vendor collection numbering its reports with the one ID 0x03: feature and
// input reports of 64 data bytes.
BuiltDescriptor single_other_id();
// The 8 kHz channel: output and input report 0x04 of 64 data bytes.
BuiltDescriptor report_channel();

}  // namespace built
