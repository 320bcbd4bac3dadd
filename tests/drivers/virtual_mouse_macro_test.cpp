// Macro chunks: reassembly from each link's parts, refusal of broken or half
// sent chunks, and decoding the stored entries back into events.

#include <gtest/gtest.h>

#include "virtual_mouse_fixture.h"

namespace {

constexpr uint8_t kHeader[5] = {0x01, 0xAA, 0xBB, 0xCC, 3};  // mode, 3 extra bytes, repeat
constexpr uint8_t kNoHeader[5] = {0, 0, 0, 0, 0};

// press delay 1 code 4; release delay 250 code 4; move delay 5 to (300, -1).
const Bytes kExampleEntries = {0x02, 0x04,                          //
                               0xB2, 0x04, 0x02, 0x03,              //
                               0x05, 0xF6, 0x01, 0x2C, 0xFF, 0xFF};

void expect_example_events(const norvane::vmouse::VirtualMouse& mouse, uint8_t block) {
  VmMacroInfo info{};
  VmMacroEvent events[8]{};
  ASSERT_EQ(mouse.macro_decode(block, info, events, 8), VM_MACRO_OK);
  ASSERT_EQ(info.event_count, 3);
  EXPECT_EQ(info.mode, 0x01);
  EXPECT_EQ(info.header_extra[2], 0xCC);
  EXPECT_EQ(info.repeat, 3);

  EXPECT_EQ(events[0].kind, VM_MACRO_KIND_PRESS);
  EXPECT_EQ(events[0].code, 4);
  EXPECT_EQ(events[0].delay, 2);  // 1 ms is sent as 2

  EXPECT_EQ(events[1].kind, VM_MACRO_KIND_RELEASE);
  EXPECT_EQ(events[1].code, 4);
  EXPECT_EQ(events[1].delay, 250);

  EXPECT_EQ(events[2].kind, VM_MACRO_KIND_MOVE);
  EXPECT_EQ(events[2].code, 246);
  EXPECT_EQ(events[2].delay, 5);
  EXPECT_EQ(events[2].x, 300);
  EXPECT_EQ(events[2].y, -1);
}

TEST_F(VirtualMouseTest, ReassemblesTheExampleChunkOnEveryLink) {
  const Bytes chunk = macro_chunk(1, kHeader, kExampleEntries);
  EXPECT_EQ(chunk[8], 6);  // 1 + 2 + 3 units

  send_all(VM_LINK_CABLE, cable_parts(chunk));
  expect_example_events(mouse, 1);

  Bytes in_block_5 = macro_chunk(5, kHeader, kExampleEntries);
  send_all(VM_LINK_24G, radio_parts(in_block_5));
  expect_example_events(mouse, 5);

  send_all(VM_LINK_8K, macro_frames_8k(macro_chunk(9, kHeader, kExampleEntries)));
  expect_example_events(mouse, 9);

  send(VM_LINK_BLE, macro_chunk(13, kHeader, kExampleEntries));
  expect_example_events(mouse, 13);

  EXPECT_EQ(mouse.state().accepted_macro_chunks, 4u);
  EXPECT_EQ(mouse.counters().rejected_total, 0u);
  uint8_t stored[VM_MACRO_CHUNK_BYTES];
  ASSERT_TRUE(mouse.macro_block(5, stored));
  EXPECT_TRUE(std::equal(in_block_5.begin(), in_block_5.end(), stored));
}

TEST_F(VirtualMouseTest, LongDelaysCarryWholeHundredsInAnExtension) {
  // press delay 200 code 0x1E: t = 2 (200 mod 100 raised to 2), q = 2; the
  // mouse plays 202 ms. A move of delay 1,234: t = 34, q = 12.
  const Bytes entries = {0x02, 0x1E, 0x02, 0x03,  //
                         0x22, 0xF6, 0xFF, 0x38, 0x00, 0x10, 0x0C, 0x03};
  send(VM_LINK_BLE, macro_chunk(0, kHeader, entries));
  VmMacroInfo info{};
  VmMacroEvent events[4]{};
  ASSERT_EQ(mouse.macro_decode(0, info, events, 4), VM_MACRO_OK);
  ASSERT_EQ(info.event_count, 2);
  EXPECT_EQ(events[0].delay, 202);
  EXPECT_EQ(events[0].kind, VM_MACRO_KIND_PRESS);
  EXPECT_EQ(events[1].delay, 1234);
  EXPECT_EQ(events[1].x, -200);
  EXPECT_EQ(events[1].y, 16);
}

TEST_F(VirtualMouseTest, SixtyEventsFollowTheLinkIntoTheNextBlock) {
  // Press entries with delays 10, 11, ...: 49 fit in the first chunk's 98
  // bytes, then the link entry (block + 1, 0xFE) makes 50 units.
  Bytes first_entries, second_entries;
  for (int i = 0; i < 60; ++i) {
    Bytes& entries = i < 49 ? first_entries : second_entries;
    entries.push_back(static_cast<uint8_t>(10 + i));
    entries.push_back(static_cast<uint8_t>(4 + i % 20));
  }
  first_entries.push_back(18);
  first_entries.push_back(0xFE);
  const Bytes first = macro_chunk(17, kHeader, first_entries);
  const Bytes second = macro_chunk(18, kNoHeader, second_entries);
  ASSERT_EQ(first[8], 50);

  send_all(VM_LINK_24G, radio_parts(first));
  send_all(VM_LINK_CABLE, cable_parts(second));

  VmMacroInfo info{};
  VmMacroEvent events[64]{};
  ASSERT_EQ(mouse.macro_decode(17, info, events, 64), VM_MACRO_OK);
  EXPECT_EQ(info.blocks_read, 2);
  EXPECT_EQ(info.repeat, 3);
  ASSERT_EQ(info.event_count, 60);
  for (int i = 0; i < 60; ++i) {
    EXPECT_EQ(events[i].delay, 10 + i) << i;
    EXPECT_EQ(events[i].code, 4 + i % 20) << i;
  }

  // A smaller array gets what fits and says so.
  EXPECT_EQ(mouse.macro_decode(17, info, events, 10), VM_MACRO_TRUNCATED);
  EXPECT_EQ(info.event_count, 60);
}

TEST_F(VirtualMouseTest, BrokenLinksAreReportedNotFollowedForever) {
  VmMacroInfo info{};
  VmMacroEvent events[4]{};
  EXPECT_EQ(mouse.macro_decode(40, info, events, 4), VM_MACRO_NO_BLOCK);

  // Block 40 links to 41, which was never written.
  send(VM_LINK_BLE, macro_chunk(40, kHeader, {0x02, 0x04, 41, 0xFE}));
  EXPECT_EQ(mouse.macro_decode(40, info, events, 4), VM_MACRO_NO_BLOCK);
  EXPECT_EQ(info.event_count, 1);

  // 41 links back to 40.
  send(VM_LINK_BLE, macro_chunk(41, kNoHeader, {0x02, 0x05, 40, 0xFE}));
  EXPECT_EQ(mouse.macro_decode(40, info, events, 4), VM_MACRO_LOOP);

  // A movement entry cut off by the end of the counted area.
  send(VM_LINK_BLE, macro_chunk(42, kHeader, {0x05, 0xF6, 0x01, 0x2C}));
  EXPECT_EQ(mouse.macro_decode(42, info, events, 4), VM_MACRO_BAD_ENTRY);
}

TEST_F(VirtualMouseTest, ABrokenOrHalfSentChunkIsNeverStored) {
  const Bytes chunk = macro_chunk(1, kHeader, kExampleEntries);
  const std::vector<Bytes> cable = cable_parts(chunk);
  const std::vector<Bytes> radio = radio_parts(chunk);
  const std::vector<Bytes> frames = macro_frames_8k(chunk);
  auto changed = [](Bytes bytes, size_t at, uint8_t value) {
    bytes[at] = value;
    return bytes;
  };
  auto flipped = [](Bytes bytes, size_t at) {
    bytes[at] ^= 0x01;
    return bytes;
  };
  Bytes too_many_units = changed(chunk, 8, 51);
  put_sum(too_many_units, 3, 108, 109);

  struct Case {
    const char* what;
    int link;
    std::vector<Bytes> transfers;
    int reason;
  };
  const std::vector<Case> cases = {
      {"part 1 first", VM_LINK_CABLE, {cable[1]}, VM_REJECT_NUMBERING},
      {"part 1 of another block", VM_LINK_CABLE, {cable[0], changed(cable[1], 2, 2)},
       VM_REJECT_NUMBERING},
      {"part number 2 on the cable", VM_LINK_CABLE, {cable[0], changed(cable[1], 3, 2)},
       VM_REJECT_NUMBERING},
      {"part length byte", VM_LINK_CABLE, {cable[0], changed(cable[1], 1, 0x3F)}, VM_REJECT_LENGTH},
      {"chunk sum", VM_LINK_CABLE, {cable[0], flipped(cable[1], 11)}, VM_REJECT_REPORT_SUM},
      {"entry count", VM_LINK_BLE, {too_many_units}, VM_REJECT_MACRO_UNITS},
      {"radio part 2 length byte", VM_LINK_24G, {radio[0], radio[1], changed(radio[2], 1, 0x40)},
       VM_REJECT_LENGTH},
      {"radio part 2 skipped", VM_LINK_24G, {radio[0], radio[2]}, VM_REJECT_NUMBERING},
      {"radio chunk left unfinished", VM_LINK_24G, {radio[0], radio[1], radio[0]},
       VM_REJECT_INCOMPLETE},
      {"second 8 kHz frame first", VM_LINK_8K, {frames[1]}, VM_REJECT_NUMBERING},
      {"8 kHz frame sum", VM_LINK_8K, {frames[0], flipped(frames[1], 56)},
       VM_REJECT_FRAME_SUM},
      {"chunk length byte", VM_LINK_BLE, {changed(chunk, 1, 0x6E)}, VM_REJECT_LENGTH},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const VmCounters before = mouse.counters();
    send_all(c.link, c.transfers);
    const VmCounters after = mouse.counters();
    EXPECT_EQ(after.rejected[c.reason], before.rejected[c.reason] + 1);
    EXPECT_EQ(after.reports_accepted, before.reports_accepted);
    uint8_t stored[VM_MACRO_CHUNK_BYTES];
    EXPECT_FALSE(mouse.macro_block(1, stored));
    // A chunk left half sent on one link is dropped before the next case.
    mouse.fall_asleep();
    mouse.wake();
  }
}

TEST_F(VirtualMouseTest, UnpluggingMidChunkLosesTheChunk) {
  const std::vector<Bytes> parts = cable_parts(macro_chunk(1, kHeader, kExampleEntries));
  send(VM_LINK_CABLE, parts[0]);
  mouse.plug(VM_LINK_CABLE, false);
  mouse.plug(VM_LINK_CABLE, true);
  mouse.open_feature(VM_LINK_CABLE);
  send(VM_LINK_CABLE, parts[1]);
  uint8_t stored[VM_MACRO_CHUNK_BYTES];
  EXPECT_FALSE(mouse.macro_block(1, stored));
  EXPECT_EQ(mouse.counters().rejected[VM_REJECT_NUMBERING], 1u);
}

}  // namespace
