#pragma once
// Which hidraw node of the device serves which role, chosen from the nodes'
// report descriptors; how a report the program built is put into the buffer
// hidraw passes on; and what an input report read from a node says. Plain C++,
// no hidapi: the diagnostics reuse it.
//
// Roles:
//   feature  the node that declares the feature reports the program sends
//            (IDs 0x04, 0x05, 0x06, 0x08, 0x09, 0x0C; the one declaring most of
//            them wins), or failing that the first with a feature report of at
//            least 63 data bytes;
//   report   the 8 kHz report channel: the first node with an output report of
//            64 data bytes (ID 0x04 preferred);
//   readers  every node that may carry the mouse's event reports: one that
//            numbers its reports and declares input report 0x09 or 0x04, or one
//            with input reports in a vendor-defined collection (page 0xFF00 and
//            up). Plain mouse and keyboard nodes are not read: their reports
//            are no events and a fast mouse sends thousands a second.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "drivers/hidapi/report_descriptor.h"

namespace norvane::hiddriver {

inline constexpr std::array<uint8_t, 6> kProtocolFeatureIds{0x04, 0x05, 0x06, 0x08, 0x09, 0x0C};
inline constexpr size_t kLongFeatureBytes = 63;
inline constexpr size_t kReportChannelBytes = 64;
inline constexpr uint8_t kEventReportId = 0x09;
inline constexpr uint8_t kFrameReportId = 0x04;

struct HidNode {
  std::string path;  // what hidapi opens, e.g. "/dev/hidraw4"
  int interface_number = -1;
  std::optional<ReportDescriptor> descriptor;  // none when unreadable or malformed
  std::string descriptor_error;                // why there is none
};

struct NodeRoles {
  std::optional<size_t> feature;  // index into the node list
  std::optional<size_t> report;
  std::vector<size_t> readers;
};

NodeRoles choose_roles(std::span<const HidNode> nodes);

// True when the node may carry event reports (see readers above).
bool may_carry_events(const ReportDescriptor& descriptor);

// "/dev/hidraw4 interface 1: input 09:7 feature 04:63" or
// "/dev/hidraw4 interface 1: no descriptor (why)".
std::string describe_node(const HidNode& node);

// "feature /dev/hidraw4, report none, readers /dev/hidraw4 /dev/hidraw5".
std::string describe_roles(std::span<const HidNode> nodes, const NodeRoles& roles);

// A report as hidraw passes it to the device: byte 0 the report ID (0 when the
// node numbers none), then the report's data bytes in full. `buffer` is what the
// program built, byte 0 being its command:
//   the node numbers its reports and declares buffer[0]: padded with zeros to
//     that report's length + 1;
//   the node numbers none: 0 in front, padded;
//   the node declares one report of the kind under another ID: that ID in front,
//     padded.
// Anything else, or a buffer longer than the report, is an error.
struct FramedReport {
  std::vector<uint8_t> bytes;
  std::string error;
  bool ok() const { return error.empty(); }
};
FramedReport frame_report(const ReportDescriptor& descriptor, ReportKind kind,
                          std::span<const uint8_t> buffer);

// An input report as read from a node (byte 0 the report ID when the node
// numbers its reports).
struct InputReading {
  enum Shape {
    bare_event,    // a bare event report 0x09, class, value, value
    framed_event,  // an event carried like an 8 kHz frame: 0x04, length, 0, event, sum
    bad_sum,       // framed like that, but its sum does not match
    unknown,       // anything else
  };
  Shape shape = unknown;
  std::array<uint8_t, 4> event{};  // the event report's first four bytes
};
InputReading read_input_report(std::span<const uint8_t> report);

}  // namespace norvane::hiddriver
