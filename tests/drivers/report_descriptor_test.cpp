// The report descriptor parser, the choice of nodes for each role, the framing of
// outgoing reports and the reading of input reports, on descriptors built in the tests.

#include <gtest/gtest.h>

#include <vector>

#include "built_descriptor.h"
#include "drivers/hidapi/hid_roles.h"
#include "drivers/hidapi/report_descriptor.h"

namespace {

using namespace norvane::hiddriver;
using Bytes = std::vector<uint8_t>;

ReportDescriptor parsed(const BuiltDescriptor& built) {
  DescriptorParse result = parse_report_descriptor(built.bytes);
  EXPECT_TRUE(result.descriptor.has_value()) << result.error;
  return result.descriptor.value_or(ReportDescriptor{});
}

// The parser finds exactly the reports the builder declared.
void expect_reports_as_built(const BuiltDescriptor& built) {
  const ReportDescriptor descriptor = parsed(built);
  EXPECT_EQ(descriptor.numbered, built.numbered());
  std::vector<BuiltReport> found;
  for (const DeclaredReport& r : descriptor.reports) found.push_back({r.kind, r.id, r.bytes()});
  EXPECT_EQ(found, built.reports);
}

HidNode node(const char* path, int interface_number, const BuiltDescriptor& built) {
  HidNode n;
  n.path = path;
  n.interface_number = interface_number;
  DescriptorParse result = parse_report_descriptor(built.bytes);
  n.descriptor = result.descriptor;
  n.descriptor_error = result.error;
  return n;
}

TEST(ReportDescriptor, ReportsIdsAndLengthsOfEveryBuiltLayout) {
  for (const BuiltDescriptor& built :
       {built::boot_mouse(), built::vendor_features(true), built::keyboard_and_vendor(), built::vendor_events(),
        built::unnumbered_vendor(), built::single_other_id(), built::report_channel()}) {
    SCOPED_TRACE(::testing::PrintToString(built.bytes));
    expect_reports_as_built(built);
  }
}

TEST(ReportDescriptor, TopLevelCollectionsCarryTheirUsagePageToTheirReports) {
  const ReportDescriptor descriptor = parsed(built::keyboard_and_vendor());
  ASSERT_EQ(descriptor.collections.size(), 3u);
  EXPECT_EQ(descriptor.collections[0].usage_page, 0x01);
  EXPECT_EQ(descriptor.collections[0].usage, 0x06);
  EXPECT_EQ(descriptor.collections[1].usage_page, 0x0C);
  EXPECT_EQ(descriptor.collections[2].usage_page, 0xFF02);
  EXPECT_EQ(descriptor.find(ReportKind::input, 0x01)->usage_page, 0x01);
  EXPECT_EQ(descriptor.find(ReportKind::feature, 0x05)->usage_page, 0xFF02);
  EXPECT_EQ(descriptor.find(ReportKind::output, 0x01)->bytes(), 1u);
  EXPECT_EQ(describe_reports(parsed(built::vendor_features(true))),
            "input 09:7 feature 04:63 05:63 06:63 08:63 09:63 0C:63");

  // An extended usage names its own page; push and pop restore the report ID;
  // a long item is stepped over.
  DescriptorBuilder d;
  d.item(0x0B, {0x01, 0x00, 0x00, 0xFF}).item(0xA1, {0x01});
  d.report_id(0x07).item(0xA4).report_id(0x08).report(ReportKind::input, 2).item(0xB4);
  d.item(0xFE, {0x02, 0x10, 0xAA, 0xBB});
  d.report(ReportKind::feature, 5).end();
  const ReportDescriptor extended = parsed(d.build());
  EXPECT_EQ(extended.collections.at(0).usage_page, 0xFF00);
  EXPECT_EQ(extended.find(ReportKind::input, 0x08)->bytes(), 2u);
  EXPECT_EQ(extended.find(ReportKind::feature, 0x07)->bytes(), 5u);
}

TEST(ReportDescriptor, MalformedDescriptorsAreRefusedWithTheReason) {
  struct Case {
    Bytes bytes;
    const char* error;
  };
  const Case cases[] = {
      {{}, "empty descriptor"},
      {{0x06, 0x00}, "truncated item at byte 0"},
      {{0x05, 0x01, 0x09, 0x02, 0xA1, 0x01}, "collection left open at the end"},
      {{0xC0}, "end of a collection never opened at byte 0"},
      {{0xB4}, "pop without a push at byte 0"},
      {{0x85, 0x00}, "report ID outside 1..255 at byte 0"},
      {{0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0x85, 0x02, 0x81, 0x02},
       "reports declared both with and without an ID"},
      {{0x76, 0x01, 0x01}, "report size beyond 256 bits at byte 0"},
      {{0xFE, 0x05, 0x10, 0x00}, "truncated long item at byte 0"},
  };
  for (const Case& c : cases) {
    const DescriptorParse result = parse_report_descriptor(c.bytes);
    EXPECT_FALSE(result.descriptor.has_value()) << c.error;
    EXPECT_EQ(result.error, c.error);
  }
}

TEST(NodeRoles, VendorFeatureCollectionOnItsOwnInterface) {
  const std::vector<HidNode> nodes = {node("/dev/hidraw3", 0, built::boot_mouse()),
                                      node("/dev/hidraw4", 1, built::vendor_features(true))};
  const NodeRoles roles = choose_roles(nodes);
  EXPECT_EQ(roles.feature, 1u);
  EXPECT_FALSE(roles.report.has_value());
  EXPECT_EQ(roles.readers, std::vector<size_t>{1});
  EXPECT_EQ(describe_roles(nodes, roles), "feature /dev/hidraw4, report none, readers /dev/hidraw4");
  EXPECT_EQ(describe_node(nodes[0]), "/dev/hidraw3 interface 0: input 00:6");
}

TEST(NodeRoles, VendorAndKeyboardCollectionsOnOneInterfaceAfterAMouse) {
  const std::vector<HidNode> nodes = {node("/dev/hidraw3", 0, built::boot_mouse()),
                                      node("/dev/hidraw4", 1, built::keyboard_and_vendor())};
  const NodeRoles roles = choose_roles(nodes);
  EXPECT_EQ(roles.feature, 1u);
  EXPECT_EQ(roles.readers, std::vector<size_t>{1});
}

TEST(NodeRoles, ReceiverWhoseEventsComeOnASecondInterface) {
  const std::vector<HidNode> nodes = {node("/dev/hidraw5", 0, built::boot_mouse()),
                                      node("/dev/hidraw6", 1, built::vendor_features(false)),
                                      node("/dev/hidraw7", 2, built::vendor_events())};
  const NodeRoles roles = choose_roles(nodes);
  EXPECT_EQ(roles.feature, 1u);
  EXPECT_EQ(roles.readers, std::vector<size_t>{2});
}

TEST(NodeRoles, EightKilohertzReceiverHasAReportChannelAndReadsItsInputs) {
  const std::vector<HidNode> nodes = {node("/dev/hidraw8", 0, built::boot_mouse()),
                                      node("/dev/hidraw9", 1, built::unnumbered_vendor()),
                                      node("/dev/hidraw10", 2, built::report_channel())};
  const NodeRoles roles = choose_roles(nodes);
  // Report 0x04 beats an unnumbered 64-byte output report; the unnumbered node's
  // 64-byte feature report makes it the feature node when no node declares the
  // program's feature reports.
  EXPECT_EQ(roles.report, 2u);
  EXPECT_EQ(roles.feature, 1u);
  EXPECT_EQ(roles.readers, (std::vector<size_t>{1, 2}));
}

TEST(NodeRoles, BootMouseOnlyOrUnreadableNodesMatchNoRole) {
  HidNode unreadable = node("/dev/hidraw2", 1, built::vendor_features(true));
  unreadable.descriptor.reset();
  unreadable.descriptor_error = "descriptor unreadable";
  const std::vector<HidNode> nodes = {node("/dev/hidraw1", 0, built::boot_mouse()), unreadable};
  const NodeRoles roles = choose_roles(nodes);
  EXPECT_FALSE(roles.feature.has_value());
  EXPECT_FALSE(roles.report.has_value());
  EXPECT_TRUE(roles.readers.empty());
  EXPECT_EQ(describe_roles(nodes, roles), "feature none, report none, readers none");
  EXPECT_EQ(describe_node(unreadable), "/dev/hidraw2 interface 1: no descriptor (descriptor unreadable)");
}

TEST(FrameReport, PaddedToTheDeclaredLengthWithTheIdTheNodeExpects) {
  const Bytes lighting = {0x05, 0x0F, 0x01, 0x50, 0x60};

  // Numbered, declares buffer[0]: the buffer as built, padded to 63 + 1 bytes.
  FramedReport framed = frame_report(parsed(built::vendor_features(true)), ReportKind::feature, lighting);
  ASSERT_TRUE(framed.ok()) << framed.error;
  Bytes expected = lighting;
  expected.resize(64, 0);
  EXPECT_EQ(framed.bytes, expected);

  // Numbers none: 0 in front, padded to 64 + 1.
  framed = frame_report(parsed(built::unnumbered_vendor()), ReportKind::feature, lighting);
  ASSERT_TRUE(framed.ok()) << framed.error;
  expected = Bytes{0x00};
  expected.insert(expected.end(), lighting.begin(), lighting.end());
  expected.resize(65, 0);
  EXPECT_EQ(framed.bytes, expected);

  // One feature report under another ID: that ID in front.
  framed = frame_report(parsed(built::single_other_id()), ReportKind::feature, lighting);
  ASSERT_TRUE(framed.ok()) << framed.error;
  expected[0] = 0x03;
  EXPECT_EQ(framed.bytes, expected);

  // A full 65-byte 8 kHz frame fits report 0x04 exactly.
  Bytes frame(65, 0);
  frame[0] = 0x04;
  frame[1] = 0x14;
  framed = frame_report(parsed(built::report_channel()), ReportKind::output, frame);
  ASSERT_TRUE(framed.ok()) << framed.error;
  EXPECT_EQ(framed.bytes, frame);
}

TEST(FrameReport, ReportsTheNodeCannotCarryAreRefused) {
  const ReportDescriptor vendor = parsed(built::vendor_features(true));
  EXPECT_EQ(frame_report(vendor, ReportKind::feature, Bytes{0x07, 0x01}).error,
            "the node declares no feature report 0x07");
  EXPECT_EQ(frame_report(vendor, ReportKind::output, Bytes{0x04, 0x01}).error, "the node declares no output report");
  EXPECT_EQ(frame_report(vendor, ReportKind::feature, Bytes(65, 0x04)).error,
            "feature report 0x04 of 65 bytes does not fit the 63 data bytes of report 0x04");
  EXPECT_FALSE(frame_report(parsed(built::unnumbered_vendor()), ReportKind::output, Bytes(65, 0x04)).ok());
  EXPECT_FALSE(frame_report(vendor, ReportKind::feature, Bytes{}).ok());
}

TEST(InputReports, BareAndFramedEventsAreTakenOthersNamed) {
  InputReading reading = read_input_report(Bytes{0x09, 0x40, 0x00, 0x39, 0, 0, 0, 0});
  EXPECT_EQ(reading.shape, InputReading::bare_event);
  EXPECT_EQ(reading.event, (std::array<uint8_t, 4>{0x09, 0x40, 0x00, 0x39}));

  // 0x04, length 9, frame 0, the event, the sum of bytes 0..6 high byte first.
  Bytes framed = {0x04, 0x09, 0x00, 0x09, 0x10, 0x03, 0x00, 0x00, 0x29};
  framed.resize(65, 0);
  reading = read_input_report(framed);
  EXPECT_EQ(reading.shape, InputReading::framed_event);
  EXPECT_EQ(reading.event, (std::array<uint8_t, 4>{0x09, 0x10, 0x03, 0x00}));

  framed[8] ^= 1;
  EXPECT_EQ(read_input_report(framed).shape, InputReading::bad_sum);
  framed[8] ^= 1;
  framed[1] = 70;  // longer than what was read
  EXPECT_EQ(read_input_report(framed).shape, InputReading::unknown);
  EXPECT_EQ(read_input_report(Bytes{0x09, 0x40, 0x00}).shape, InputReading::unknown);
  EXPECT_EQ(read_input_report(Bytes{0x01, 0x00, 0x05, 0xFF, 0x00, 0x00}).shape, InputReading::unknown);
}

}  // namespace
