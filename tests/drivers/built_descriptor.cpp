#include "built_descriptor.h"

using norvane::hiddriver::ReportKind;

std::ostream& operator<<(std::ostream& out, const BuiltReport& report) {
  return out << norvane::hiddriver::report_kind_name(report.kind) << " " << static_cast<int>(report.id) << ":"
             << report.bytes;
}

bool BuiltDescriptor::numbered() const {
  for (const BuiltReport& report : reports) {
    if (report.id != 0) return true;
  }
  return false;
}

const BuiltReport* BuiltDescriptor::find(ReportKind kind, uint8_t id) const {
  for (const BuiltReport& report : reports) {
    if (report.kind == kind && report.id == id) return &report;
  }
  return nullptr;
}

DescriptorBuilder& DescriptorBuilder::item(uint8_t prefix, std::initializer_list<uint8_t> data) {
  out_.bytes.push_back(prefix);
  out_.bytes.insert(out_.bytes.end(), data.begin(), data.end());
  return *this;
}

DescriptorBuilder& DescriptorBuilder::usage_page(uint16_t page) {
  if (page <= 0xFF) return item(0x05, {static_cast<uint8_t>(page)});
  return item(0x06, {static_cast<uint8_t>(page & 0xFF), static_cast<uint8_t>(page >> 8)});
}

DescriptorBuilder& DescriptorBuilder::usage(uint16_t usage) {
  if (usage <= 0xFF) return item(0x09, {static_cast<uint8_t>(usage)});
  return item(0x0A, {static_cast<uint8_t>(usage & 0xFF), static_cast<uint8_t>(usage >> 8)});
}

DescriptorBuilder& DescriptorBuilder::logical(int16_t minimum, int16_t maximum) {
  const auto lo = static_cast<uint16_t>(minimum);
  const auto hi = static_cast<uint16_t>(maximum);
  item(0x16, {static_cast<uint8_t>(lo & 0xFF), static_cast<uint8_t>(lo >> 8)});
  return item(0x26, {static_cast<uint8_t>(hi & 0xFF), static_cast<uint8_t>(hi >> 8)});
}

DescriptorBuilder& DescriptorBuilder::application(uint16_t page, uint16_t usage_id) {
  usage_page(page);
  usage(usage_id);
  return item(0xA1, {0x01});
}

DescriptorBuilder& DescriptorBuilder::physical() { return item(0xA1, {0x00}); }

DescriptorBuilder& DescriptorBuilder::end() { return item(0xC0); }

DescriptorBuilder& DescriptorBuilder::report_id(uint8_t id) {
  id_ = id;
  return item(0x85, {id});
}

DescriptorBuilder& DescriptorBuilder::fields(ReportKind kind, uint32_t size, uint32_t count, bool constant) {
  item(0x75, {static_cast<uint8_t>(size)});
  if (count <= 0xFF) {
    item(0x95, {static_cast<uint8_t>(count)});
  } else {
    item(0x96, {static_cast<uint8_t>(count & 0xFF), static_cast<uint8_t>(count >> 8)});
  }
  const uint8_t flags = constant ? 0x01 : 0x02;
  const uint8_t prefix = kind == ReportKind::input ? 0x81 : kind == ReportKind::output ? 0x91 : 0xB1;
  item(prefix, {flags});

  size_t i = 0;
  while (i < out_.reports.size() && !(out_.reports[i].kind == kind && out_.reports[i].id == id_)) ++i;
  if (i == out_.reports.size()) {
    out_.reports.push_back({kind, id_, 0});
    bits_.push_back(0);
  }
  bits_[i] += size * count;
  out_.reports[i].bytes = (bits_[i] + 7) / 8;
  return *this;
}

DescriptorBuilder& DescriptorBuilder::report(ReportKind kind, size_t bytes) {
  usage(0x01);
  logical(0, 255);
  return fields(kind, 8, static_cast<uint32_t>(bytes));
}

namespace built {

BuiltDescriptor boot_mouse() {
  DescriptorBuilder d;
  d.application(0x01, 0x02).usage(0x01).physical();
  d.usage_page(0x09).item(0x19, {0x01}).item(0x29, {0x05}).logical(0, 1);
  d.fields(ReportKind::input, 1, 5).fields(ReportKind::input, 3, 1, true);
  d.usage_page(0x01).usage(0x30).usage(0x31).logical(-32767, 32767).fields(ReportKind::input, 16, 2);
  d.usage(0x38).logical(-127, 127).fields(ReportKind::input, 8, 1);
  return d.end().end().build();
}

namespace {

void add_vendor_collection(DescriptorBuilder& d, bool events) {
  d.application(0xFF02, 0x01);
  for (uint8_t id : {0x04, 0x05, 0x06, 0x08, 0x09, 0x0C}) d.report_id(id).report(ReportKind::feature, 63);
  if (events) d.report_id(0x09).report(ReportKind::input, 7);
  d.end();
}

}  // namespace

BuiltDescriptor vendor_features(bool events) {
  DescriptorBuilder d;
  add_vendor_collection(d, events);
  return d.build();
}

BuiltDescriptor keyboard_and_vendor() {
  DescriptorBuilder d;
  d.application(0x01, 0x06).report_id(0x01);
  d.usage_page(0x07).item(0x19, {0xE0}).item(0x29, {0xE7}).logical(0, 1).fields(ReportKind::input, 1, 8);
  d.fields(ReportKind::input, 8, 1, true);
  d.item(0x19, {0x00}).item(0x29, {0x65}).logical(0, 101).fields(ReportKind::input, 8, 6);
  d.usage_page(0x08).item(0x19, {0x01}).item(0x29, {0x05}).logical(0, 1).fields(ReportKind::output, 1, 5);
  d.fields(ReportKind::output, 3, 1, true);
  d.end();
  d.application(0x0C, 0x01).report_id(0x02).logical(0, 0x3FF).fields(ReportKind::input, 16, 1).end();
  add_vendor_collection(d, true);
  return d.build();
}

BuiltDescriptor vendor_events() {
  DescriptorBuilder d;
  d.application(0xFF01, 0x01).report_id(0x09).report(ReportKind::input, 7).end();
  return d.build();
}

BuiltDescriptor unnumbered_vendor() {
  DescriptorBuilder d;
  d.application(0xFF00, 0x01);
  d.report(ReportKind::feature, 64).report(ReportKind::input, 64).report(ReportKind::output, 64);
  return d.end().build();
}

BuiltDescriptor single_other_id() {
  DescriptorBuilder d;
  d.application(0xFF00, 0x01).report_id(0x03);
  d.report(ReportKind::feature, 64).report(ReportKind::input, 64);
  return d.end().build();
}

BuiltDescriptor report_channel() {
  DescriptorBuilder d;
  d.application(0xFF00, 0x01).report_id(0x04);
  d.report(ReportKind::output, 64).report(ReportKind::input, 64);
  return d.end().build();
}

}  // namespace built
