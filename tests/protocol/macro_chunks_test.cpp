#include "protocol/macro_chunks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/profile_defaults.h"
#include "protocol/macro_upload.h"
#include "recording_clock.h"
#include "recording_sink.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;

MacroEvent event(uint8_t kind, uint16_t delay, uint8_t code = 4, int32_t x = 0, int32_t y = 0) {
  MacroEvent e{};
  e.kind = kind;
  e.delay = delay;
  e.code = code;
  e.x = x;
  e.y = y;
  return e;
}

std::vector<uint8_t> entry_bytes(const MacroEvent& e) {
  const MacroEntry entry = encode_macro_event(e);
  return std::vector<uint8_t>(entry.bytes.begin(), entry.bytes.begin() + entry.length);
}

std::vector<uint8_t> chunk_bytes(const MacroChunk& c, size_t first, size_t last) {
  return std::vector<uint8_t>(c.report.bytes.begin() + static_cast<std::ptrdiff_t>(first),
                              c.report.bytes.begin() + static_cast<std::ptrdiff_t>(last + 1));
}

unsigned stored_sum(const MacroChunk& c) { return (c.report.bytes[109] << 8) | c.report.bytes[110]; }
unsigned plain_sum(const MacroChunk& c) {
  unsigned s = 0;
  for (size_t i = 3; i <= 108; ++i) s += c.report.bytes[i];
  return s & 0xFFFF;
}

TEST(MacroEntry, EncodesDelaysKindsAndCoordinates) {
  EXPECT_THAT(entry_bytes(event(kKindPress, 1, 4)), ElementsAre(2, 4));
  EXPECT_THAT(entry_bytes(event(kKindRelease, 250, 4)), ElementsAre(0xB2, 4, 2, 3));
  EXPECT_THAT(entry_bytes(event(kKindMove, 5, kCodeMouseMove, 300, -1)), ElementsAre(5, 0xF6, 0x01, 0x2C, 0xFF, 0xFF));
  EXPECT_THAT(entry_bytes(event(kKindPress, 200, 7)), ElementsAre(2, 7, 2, 3));
  // 127 ms still fits the delay byte; 128 ms is 28 plus one hundred.
  EXPECT_THAT(entry_bytes(event(kKindPress, 127, 9)), ElementsAre(127, 9));
  EXPECT_THAT(entry_bytes(event(kKindRelease, 128, 9)), ElementsAre(0x80 | 28, 9, 1, 3));
  EXPECT_THAT(entry_bytes(event(kKindMove, 1234, 0, -2, 0x1234)),
              ElementsAre(34, 0xF6, 0xFF, 0xFE, 0x12, 0x34, 12, 3));
  // Unknown kinds are sent as releases; the hundreds keep only their low byte.
  EXPECT_THAT(entry_bytes(event(7, 65535, 0x2A)), ElementsAre(0x80 | 35, 0x2A, 655 & 0xFF, 3));
}

class MacroChunkTest : public ::testing::Test {
 protected:
  ButtonSlot& slot() { return record->buttons[0]; }
  void fill(int count, const MacroEvent& e) {
    slot().macro_event_count = static_cast<uint16_t>(count);
    for (int i = 0; i < count && i < kMaxMacroEvents; ++i) slot().macro_events[i] = e;
  }
  std::unique_ptr<ProfileRecord> record = std::make_unique<ProfileRecord>();
};

TEST_F(MacroChunkTest, EmptyMacroIsOneChunkWithHeaderOnly) {
  slot().macro_mode = 0x102;
  slot().macro_header_extra[0] = 7;
  slot().macro_header_extra[2] = 9;
  slot().macro_repeat = 0x100;  // low byte 0 goes as 1

  const MacroChunk c = build_macro_chunk(slot(), 0, 13);
  EXPECT_FALSE(c.more);
  ASSERT_EQ(c.report.length, 111u);
  EXPECT_THAT(chunk_bytes(c, 0, 9), ElementsAre(0x09, 0x6F, 13, 0x02, 7, 0, 9, 1, 0, 0));
  EXPECT_EQ(stored_sum(c), 2u + 7 + 9 + 1);
}

TEST_F(MacroChunkTest, FiftyTwoByteEntriesGiveFortyNineEventsAndALink) {
  slot().macro_repeat = 3;
  fill(50, event(kKindPress, 10, 4));

  const MacroChunk first = build_macro_chunk(slot(), 0, 1);
  EXPECT_TRUE(first.more);
  EXPECT_EQ(first.next_event, 49);
  EXPECT_EQ(first.report.bytes[7], 3);
  EXPECT_EQ(first.report.bytes[8], 50);  // 49 event units and the link
  EXPECT_THAT(chunk_bytes(first, 9, 10), ElementsAre(10, 4));
  EXPECT_THAT(chunk_bytes(first, 105, 108), ElementsAre(10, 4, 2, 0xFE));  // 49th event, link to block 2
  EXPECT_EQ(stored_sum(first), plain_sum(first));

  const MacroChunk second = build_macro_chunk(slot(), first.next_event, 2);
  EXPECT_FALSE(second.more);
  EXPECT_THAT(chunk_bytes(second, 2, 11), ElementsAre(2, 0, 0, 0, 0, 0, 1, 10, 4, 0));
  EXPECT_EQ(stored_sum(second), plain_sum(second));
}

TEST_F(MacroChunkTest, LongEntryThatWouldPassTheLimitMovesToTheNextBlock) {
  // 48 two-byte entries fill 96 bytes; a 4-byte entry would make 100.
  fill(49, event(kKindPress, 10, 4));
  slot().macro_events[48] = event(kKindRelease, 300, 5);
  const MacroChunk c = build_macro_chunk(slot(), 0, 5);
  EXPECT_TRUE(c.more);
  EXPECT_EQ(c.next_event, 48);
  EXPECT_EQ(c.report.bytes[8], 49);
  EXPECT_THAT(chunk_bytes(c, 105, 108), ElementsAre(6, 0xFE, 0, 0));
}

TEST_F(MacroChunkTest, UploadChainsBlocksFromTheSlotsStartBlockAndPausesAfterEachChunk) {
  // 190 eight-byte entries: twelve per chunk, so sixteen chunks.
  fill(190, event(kKindMove, 500, 0, 1, 1));
  record->buttons[7] = slot();  // slot 7's macro starts at block 17
  test::RecordingSink sink;
  test::RecordingClock clock;
  MacroUploader uploader(sink, clock);

  uploader.upload_macro(*record, 7);

  ASSERT_EQ(sink.reports.size(), 16u);
  EXPECT_EQ(clock.pauses, std::vector<int>(16, 500));
  int events = 0;
  for (size_t i = 0; i < sink.reports.size(); ++i) {
    const auto& r = sink.reports[i];
    ASSERT_EQ(r.size(), 111u);
    EXPECT_EQ(r[2], 17 + i);
    const bool last = i + 1 == sink.reports.size();
    const int units = r[8];
    EXPECT_EQ(units, last ? 40 : 49);
    events += last ? units / 4 : (units - 1) / 4;
    if (!last) {
      EXPECT_THAT(std::vector<uint8_t>(r.begin() + 9 + 96, r.begin() + 9 + 98), ElementsAre(18 + i, 0xFE));
    }
  }
  EXPECT_EQ(events, 190);
}

TEST_F(MacroChunkTest, EventCountBeyondTheSlotIsCappedAtItsCapacity) {
  fill(190, event(kKindPress, 10, 4));
  slot().macro_event_count = 60000;  // damaged record
  record->buttons[1].macro_events[0] = event(kKindPress, 10, 99);  // what lies past the events
  test::RecordingSink sink;
  test::RecordingClock clock;
  MacroUploader(sink, clock).upload_macro(*record, 0);

  int units = 0;
  for (const auto& r : sink.reports) {
    units += r[8];
    for (size_t i = 9; i < 109; ++i) EXPECT_NE(r[i], 99);
  }
  EXPECT_EQ(units, 190 + static_cast<int>(sink.reports.size()) - 1);
}

TEST_F(MacroChunkTest, SendMacroChunkReportsPositionAndMore) {
  fill(50, event(kKindPress, 10, 4));
  test::RecordingSink sink;
  test::RecordingClock clock;
  MacroUploader uploader(sink, clock);

  int position = 0;
  bool more = false;
  EXPECT_EQ(uploader.send_macro_chunk(slot(), position, 1, more), 1);
  EXPECT_TRUE(more);
  EXPECT_EQ(position, 49);
  uploader.send_macro_chunk(slot(), position, 2, more);
  EXPECT_FALSE(more);
  EXPECT_EQ(position, 49);
}

}  // namespace
}  // namespace norvane
