#include "protocol/report_sender.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "protocol/report.h"
#include "recording_clock.h"
#include "recording_endpoints.h"
#include "trace_capture.h"

namespace norvane {
namespace {

using test::Link;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

const std::vector<uint8_t> kLightReport = {0x05, 0x0F, 0x01, 0x50, 0x03, 0xA8, 0x00, 0x00,
                                           0xFF, 0x01, 0x04, 0x01, 0xFF, 0x00, 0x00};
const std::vector<uint8_t> kRateReport = {0x06, 0x09, 0x01, 0x74, 0x8B, 0x00, 0x00, 0x00, 0x00};

// A macro chunk whose bytes 3..110 count up, so every byte's place on the wire is visible.
std::vector<uint8_t> numbered_chunk(uint8_t block) {
  std::vector<uint8_t> chunk(kMacroChunkLength);
  chunk[0] = kCmdMacroChunk;
  chunk[1] = 0x6F;
  chunk[2] = block;
  for (size_t i = 3; i < chunk.size(); ++i) chunk[i] = static_cast<uint8_t>(i);
  return chunk;
}

class ReportSenderTest : public ::testing::Test {
 protected:
  int send(const std::vector<uint8_t>& report) { return sender.send_report(report); }

  void receivers_online() {
    links.wireless_state = kLinkPresent;
    links.wireless_online = 1;
    links.wireless_8k_state = kLinkPresent;
    links.wireless_8k_online = 1;
  }

  LinkState links;
  test::RecordingEndpoints endpoints;
  test::RecordingClock clock;
  ReportSender sender{links, endpoints, clock};
};

TEST_F(ReportSenderTest, CablePresentCarriesSettingsAloneEvenWithReceiversAndBleUp) {
  links.wired_state = kLinkPresent;
  receivers_online();
  links.ble_present = 1;
  endpoints.wired_result = 7;

  EXPECT_EQ(send(kLightReport), 7);

  ASSERT_EQ(endpoints.transfers.size(), 1u);
  EXPECT_EQ(endpoints.transfers[0].link, Link::wired);
  EXPECT_EQ(endpoints.transfers[0].bytes, kLightReport);
  EXPECT_THAT(clock.pauses, ElementsAre(1000));
}

TEST_F(ReportSenderTest, LinksAreTriedInPriorityOrder) {
  struct Case {
    const char* name;
    int32_t wired, w8k, w8k_online, w24, w24_online, ble;
    Link expected;
  };
  const Case cases[] = {
      {"gone cable, 8 kHz online", kLinkGone, 1, 1, 1, 1, 1, Link::wireless_8k},
      {"8 kHz present but mouse not heard", 0, 1, 0, 1, 1, 1, Link::wireless},
      {"8 kHz heard but receiver gone", 0, 2, 1, 1, 1, 1, Link::wireless},
      {"2.4 GHz present but mouse not heard", 0, 0, 0, 1, 0, 1, Link::ble},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LinkState l;
    l.wired_state = c.wired;
    l.wireless_8k_state = c.w8k;
    l.wireless_8k_online = c.w8k_online;
    l.wireless_state = c.w24;
    l.wireless_online = c.w24_online;
    l.ble_present = c.ble;
    test::RecordingEndpoints e;
    test::RecordingClock k;
    ReportSender s(l, e, k);
    s.send_report(kLightReport);
    ASSERT_FALSE(e.transfers.empty());
    for (const auto& t : e.transfers) EXPECT_EQ(t.link, c.expected);
  }
}

TEST_F(ReportSenderTest, NoUsableLinkSendsNothingAndStillPauses) {
  links.wired_state = kLinkGone;
  links.wireless_state = kLinkPresent;  // receiver plugged in, mouse never heard
  EXPECT_EQ(send(kLightReport), 0);
  EXPECT_TRUE(endpoints.transfers.empty());
  EXPECT_THAT(clock.pauses, ElementsAre(1000));
}

TEST_F(ReportSenderTest, PollingRateNeverGoesOverBle) {
  links.ble_present = 1;
  endpoints.ble_result = 5;

  EXPECT_EQ(send(kRateReport), 0);
  EXPECT_TRUE(endpoints.transfers.empty());
  EXPECT_THAT(clock.pauses, ElementsAre(1000));

  // Other reports travel over BLE unchanged, with the transport's result.
  EXPECT_EQ(send(kLightReport), 5);
  ASSERT_EQ(endpoints.transfers.size(), 1u);
  EXPECT_EQ(endpoints.transfers[0].link, Link::ble);
  EXPECT_EQ(endpoints.transfers[0].bytes, kLightReport);
}

TEST_F(ReportSenderTest, WirelessAckAfterFirstAttemptStopsTheRepeats) {
  links.wireless_state = kLinkPresent;
  links.wireless_online = 1;
  endpoints.wireless_result = 3;
  endpoints.on_transfer = [this](const test::Transfer&) { links.wireless_ack = 1; };
  test::TraceCapture trace;

  EXPECT_EQ(send(kLightReport), 3);

  EXPECT_EQ(endpoints.count(Link::wireless), 1u);
  EXPECT_EQ(endpoints.transfers[0].bytes, kLightReport);
  EXPECT_THAT(clock.pauses, ElementsAre(500, 1000));
  EXPECT_THAT(trace.lines, ElementsAre("Wireless Send = 3"));
}

TEST_F(ReportSenderTest, UnacknowledgedWirelessReportIsTriedTenTimesFromAStaleAck) {
  links.wireless_state = kLinkPresent;
  links.wireless_online = 1;
  links.wireless_ack = 1;  // left over from an earlier report: cleared before sending
  int calls = 0;
  endpoints.on_transfer = [&](const test::Transfer&) { endpoints.wireless_result = ++calls; };
  test::TraceCapture trace;

  // The last attempt's result is returned.
  EXPECT_EQ(send(kLightReport), 10);

  EXPECT_EQ(endpoints.count(Link::wireless), 10u);
  EXPECT_EQ(clock.pauses.size(), 11u);
  EXPECT_EQ(clock.total_ms(), 10 * 500 + 1000);
  ASSERT_EQ(trace.lines.size(), 10u);
  EXPECT_EQ(trace.lines.front(), "Wireless Send = 1");
  EXPECT_EQ(trace.lines.back(), "Wireless Send = 10");
}

TEST_F(ReportSenderTest, CableSplitsMacroChunkIntoTwoFeatureParts) {
  links.wired_state = kLinkPresent;
  endpoints.wired_result_for = [](size_t call) { return call == 0 ? 4 : 9; };
  const auto chunk = numbered_chunk(5);

  EXPECT_EQ(send(chunk), 9);

  ASSERT_EQ(endpoints.transfers.size(), 2u);
  std::vector<uint8_t> part0 = {0x09, 0x40, 5, 0};
  for (int i = 3; i <= 62; ++i) part0.push_back(static_cast<uint8_t>(i));
  std::vector<uint8_t> part1 = {0x09, 0x40, 5, 1};
  for (int i = 63; i <= 110; ++i) part1.push_back(static_cast<uint8_t>(i));
  part1.resize(64, 0);
  EXPECT_EQ(endpoints.transfers[0].bytes, part0);
  EXPECT_EQ(endpoints.transfers[1].bytes, part1);
  EXPECT_THAT(clock.pauses, ElementsAre(200, 200, 1000));
}

TEST_F(ReportSenderTest, CableDecidesOnSecondMacroPartOnly) {
  links.wired_state = kLinkPresent;
  receivers_online();

  // First part refused, second taken: no pause after the first, the cable keeps the chunk.
  endpoints.wired_result_for = [](size_t call) { return call == 0 ? 0 : 2; };
  EXPECT_EQ(send(numbered_chunk(1)), 2);
  EXPECT_EQ(endpoints.count(Link::wired), 2u);
  EXPECT_EQ(endpoints.transfers.size(), 2u);
  EXPECT_THAT(clock.pauses, ElementsAre(200, 1000));

  // Second part refused: the chunk goes on through the 8 kHz receiver as well.
  endpoints.transfers.clear();
  clock.pauses.clear();
  endpoints.wired_result_for = [](size_t call) { return call % 2 == 0 ? 1 : 0; };
  EXPECT_EQ(send(numbered_chunk(1)), 0);
  ASSERT_EQ(endpoints.transfers.size(), 4u);
  EXPECT_EQ(endpoints.transfers[2].link, Link::wireless_8k);
  EXPECT_EQ(endpoints.transfers[3].link, Link::wireless_8k);
  EXPECT_THAT(clock.pauses, ElementsAre(200, 200, 200, 1000));
}

TEST_F(ReportSenderTest, EightKilohertzMacroChunkTravelsInTwoTracedFrames) {
  links.wireless_8k_state = kLinkPresent;
  links.wireless_8k_online = 1;
  endpoints.wireless_8k_result = 6;  // not kept
  test::TraceCapture trace;

  EXPECT_EQ(send(numbered_chunk(9)), 0);

  ASSERT_EQ(endpoints.transfers.size(), 2u);
  const auto& first = endpoints.transfers[0].bytes;
  const auto& second = endpoints.transfers[1].bytes;
  ASSERT_EQ(first.size(), 65u);
  ASSERT_EQ(second.size(), 65u);
  EXPECT_THAT(std::vector<uint8_t>(first.begin(), first.begin() + 6), ElementsAre(0x04, 0x40, 0x00, 0x09, 0x6F, 9));
  EXPECT_EQ(first[61], 58);  // chunk byte 58
  EXPECT_THAT(std::vector<uint8_t>(second.begin(), second.begin() + 4), ElementsAre(0x04, 0x39, 0x01, 59));
  EXPECT_EQ(second[54], 110);
  EXPECT_THAT(clock.pauses, ElementsAre(200, 200, 1000));

  // One line per summed byte of the second frame; the last running sum is the frame's sum.
  ASSERT_EQ(trace.lines.size(), 55u);
  EXPECT_EQ(trace.lines[0], "wCheckSum = 4, buffer[0] = 4");
  const unsigned sum = (second[55] << 8) | second[56];
  char expected[64];
  std::snprintf(expected, sizeof expected, "wCheckSum = %x, buffer[54] = 110", sum);
  EXPECT_EQ(trace.lines[54], expected);
}

TEST_F(ReportSenderTest, EightKilohertzSettingsReportIsFramedOnce) {
  links.wireless_8k_state = kLinkPresent;
  links.wireless_8k_online = 1;
  EXPECT_EQ(send(kLightReport), 0);
  ASSERT_EQ(endpoints.transfers.size(), 1u);
  EXPECT_EQ(endpoints.transfers[0].bytes.size(), 65u);
  EXPECT_EQ(endpoints.transfers[0].bytes[1], 20);
  EXPECT_THAT(clock.pauses, ElementsAre(1000));
}

TEST_F(ReportSenderTest, WirelessMacroChunkRoundsOfThreePartsUntilAcknowledged) {
  links.wireless_state = kLinkPresent;
  links.wireless_online = 1;
  int calls = 0;
  endpoints.on_transfer = [&](const test::Transfer&) {
    endpoints.wireless_result = ++calls;
    if (calls == 4) links.wireless_ack = 1;  // during the second round's first part
  };

  EXPECT_EQ(send(numbered_chunk(2)), 6);

  ASSERT_EQ(endpoints.transfers.size(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    const auto& part = endpoints.transfers[i].bytes;
    ASSERT_EQ(part.size(), 64u);
    EXPECT_EQ(part[0], 0x09);
    EXPECT_EQ(part[2], 2);
    EXPECT_EQ(part[3], i % 3);
  }
  const auto& closing = endpoints.transfers[2].bytes;
  EXPECT_EQ(closing[1], 0x0C);
  EXPECT_TRUE(std::all_of(closing.begin() + 4, closing.end(), [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(endpoints.transfers[1].bytes[4], 63);
  EXPECT_EQ(clock.pauses, std::vector<int>(7, 1000));
}

TEST_F(ReportSenderTest, UnacknowledgedWirelessMacroChunkGivesTenRounds) {
  links.wireless_state = kLinkPresent;
  links.wireless_online = 1;
  send(numbered_chunk(2));
  EXPECT_EQ(endpoints.count(Link::wireless), 30u);
  EXPECT_EQ(clock.total_ms(), 31 * 1000);
}

TEST_F(ReportSenderTest, ShortOrEmptyBuffersAreNeverReadPastTheirEnd) {
  links.wired_state = kLinkPresent;
  // A truncated macro chunk: its parts carry what there is, then zeros.
  const std::vector<uint8_t> truncated = {0x09, 0x6F, 3, 0xAA, 0xBB};
  send(truncated);
  ASSERT_EQ(endpoints.transfers.size(), 2u);
  EXPECT_THAT(std::vector<uint8_t>(endpoints.transfers[0].bytes.begin(), endpoints.transfers[0].bytes.begin() + 7),
              ElementsAre(0x09, 0x40, 3, 0, 0xAA, 0xBB, 0));
  EXPECT_TRUE(std::all_of(endpoints.transfers[1].bytes.begin() + 4, endpoints.transfers[1].bytes.end(),
                          [](uint8_t b) { return b == 0; }));

  endpoints.transfers.clear();
  clock.pauses.clear();
  EXPECT_EQ(sender.send_report({}), 0);
  EXPECT_TRUE(endpoints.transfers.empty());
  EXPECT_THAT(clock.pauses, ElementsAre(1000));
}

}  // namespace
}  // namespace norvane
