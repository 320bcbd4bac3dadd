#include "drivers/hidapi/hid_roles.h"

#include <algorithm>
#include <cstdio>

namespace norvane::hiddriver {

namespace {

constexpr size_t kFrameHeaderBytes = 3;  // 0x04, length, frame number
constexpr size_t kFrameSumBytes = 2;
constexpr size_t kEventBytes = 4;

size_t protocol_features(const ReportDescriptor& descriptor) {
  if (!descriptor.numbered) return 0;
  return static_cast<size_t>(std::count_if(kProtocolFeatureIds.begin(), kProtocolFeatureIds.end(), [&](uint8_t id) {
    return descriptor.find(ReportKind::feature, id) != nullptr;
  }));
}

bool has_long_feature(const ReportDescriptor& descriptor) {
  for (const DeclaredReport* report : descriptor.of_kind(ReportKind::feature)) {
    if (report->bytes() >= kLongFeatureBytes) return true;
  }
  return false;
}

// 2: a 64-byte output report under ID 0x04; 1: under any other ID or none; 0: neither.
int report_channel_rank(const ReportDescriptor& descriptor) {
  int rank = 0;
  for (const DeclaredReport* report : descriptor.of_kind(ReportKind::output)) {
    if (report->bytes() != kReportChannelBytes) continue;
    rank = std::max(rank, report->id == kFrameReportId ? 2 : 1);
  }
  return rank;
}

std::string hex_byte(uint8_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

}  // namespace

bool may_carry_events(const ReportDescriptor& descriptor) {
  for (const DeclaredReport* report : descriptor.of_kind(ReportKind::input)) {
    if (descriptor.numbered && (report->id == kEventReportId || report->id == kFrameReportId)) return true;
    if (report->usage_page >= kVendorUsagePageFirst) return true;
  }
  return false;
}

NodeRoles choose_roles(std::span<const HidNode> nodes) {
  NodeRoles roles;
  size_t best_features = 0;
  int best_channel = 0;
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (!nodes[i].descriptor) continue;
    const ReportDescriptor& descriptor = *nodes[i].descriptor;
    const size_t features = protocol_features(descriptor);
    if (features > best_features) {
      best_features = features;
      roles.feature = i;
    }
    const int channel = report_channel_rank(descriptor);
    if (channel > best_channel) {
      best_channel = channel;
      roles.report = i;
    }
    if (may_carry_events(descriptor)) roles.readers.push_back(i);
  }
  if (!roles.feature) {
    for (size_t i = 0; i < nodes.size(); ++i) {
      if (nodes[i].descriptor && has_long_feature(*nodes[i].descriptor)) {
        roles.feature = i;
        break;
      }
    }
  }
  return roles;
}

std::string describe_node(const HidNode& node) {
  std::string text = node.path + " interface " + std::to_string(node.interface_number) + ": ";
  if (!node.descriptor) return text + "no descriptor (" + node.descriptor_error + ")";
  return text + describe_reports(*node.descriptor);
}

std::string describe_roles(std::span<const HidNode> nodes, const NodeRoles& roles) {
  auto name = [&](const std::optional<size_t>& index) {
    return index ? nodes[*index].path : std::string("none");
  };
  std::string text = "feature " + name(roles.feature) + ", report " + name(roles.report) + ", readers";
  if (roles.readers.empty()) text += " none";
  for (size_t index : roles.readers) text += " " + nodes[index].path;
  return text;
}

FramedReport frame_report(const ReportDescriptor& descriptor, ReportKind kind, std::span<const uint8_t> buffer) {
  FramedReport framed;
  const char* kind_name = report_kind_name(kind);
  if (buffer.empty()) {
    framed.error = "empty report";
    return framed;
  }
  const auto declared = descriptor.of_kind(kind);
  const DeclaredReport* report = nullptr;
  bool id_in_buffer = false;
  if (!descriptor.numbered) {
    if (!declared.empty()) report = declared.front();
  } else if (const DeclaredReport* same = descriptor.find(kind, buffer[0])) {
    report = same;
    id_in_buffer = true;
  } else if (declared.size() == 1) {
    report = declared.front();
  }
  if (report == nullptr) {
    framed.error = declared.empty() ? std::string("the node declares no ") + kind_name + " report"
                                    : std::string("the node declares no ") + kind_name + " report " +
                                          hex_byte(buffer[0]);
    return framed;
  }

  const size_t data = buffer.size() - (id_in_buffer ? 1 : 0);
  if (data > report->bytes()) {
    framed.error = std::string(kind_name) + " report " + hex_byte(buffer[0]) + " of " + std::to_string(buffer.size()) +
                   " bytes does not fit the " + std::to_string(report->bytes()) + " data bytes of report " +
                   hex_byte(report->id);
    return framed;
  }
  framed.bytes.reserve(report->bytes() + 1);
  if (!id_in_buffer) framed.bytes.push_back(report->id);
  framed.bytes.insert(framed.bytes.end(), buffer.begin(), buffer.end());
  framed.bytes.resize(report->bytes() + 1, 0);
  return framed;
}

InputReading read_input_report(std::span<const uint8_t> report) {
  InputReading reading;
  if (report.size() >= kEventBytes && report[0] == kEventReportId) {
    reading.shape = InputReading::bare_event;
    std::copy_n(report.begin(), kEventBytes, reading.event.begin());
    return reading;
  }
  constexpr size_t kSmallestFrame = kFrameHeaderBytes + kEventBytes + kFrameSumBytes;
  if (report.size() < kSmallestFrame || report[0] != kFrameReportId || report[2] != 0) return reading;
  const size_t length = report[1];
  if (length < kSmallestFrame || length > report.size()) return reading;
  uint16_t sum = 0;
  for (size_t i = 0; i + kFrameSumBytes < length; ++i) sum = static_cast<uint16_t>(sum + report[i]);
  const auto stored = static_cast<uint16_t>(report[length - 2] << 8 | report[length - 1]);
  if (sum != stored) {
    reading.shape = InputReading::bad_sum;
    return reading;
  }
  if (report[kFrameHeaderBytes] != kEventReportId) return reading;
  reading.shape = InputReading::framed_event;
  std::copy_n(report.begin() + kFrameHeaderBytes, kEventBytes, reading.event.begin());
  return reading;
}

}  // namespace norvane::hiddriver
