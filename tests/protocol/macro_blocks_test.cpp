#include "protocol/macro_blocks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>

#include "core/profile_defaults.h"
#include "protocol/button_mapping_report.h"
#include "protocol/device_function_bytes.h"
#include "protocol/macro_chunks.h"
#include "protocol/macro_upload.h"
#include "recording_clock.h"
#include "recording_sink.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A macro of `events` key presses (2-byte entries, 49 to a chunk) or, with `long_entries`,
// movements with a long pause (8-byte entries, 12 to a chunk).
void give_macro(ButtonSlot& slot, int events, bool long_entries = false) {
  slot.function = kFunctionMacro;
  slot.macro_event_count = static_cast<uint16_t>(events);
  for (int i = 0; i < events; ++i) {
    MacroEvent& e = slot.macro_events[i];
    e = MacroEvent{};
    e.kind = long_entries ? kKindMove : kKindPress;
    e.code = long_entries ? kCodeMouseMove : 4;
    e.delay = long_entries ? 300 : 20;
    e.x = 1;
  }
}

std::unique_ptr<ProfileRecord> default_profile() {
  auto record = std::make_unique<ProfileRecord>();
  std::memset(record.get(), 0, sizeof *record);
  reset_profile_defaults(*record);
  return record;
}

std::vector<uint8_t> mapped(const Report& report, int slot) {
  const auto at = report.bytes.begin() + 3 + 3 * slot;
  return {at, at + 3};
}

TEST(MacroBlocks, ChunkCountIsWhatTheUploadWrites) {
  struct Case {
    int events;
    bool long_entries;
    int chunks;
  };
  for (const Case& c : {Case{0, false, 1}, Case{1, false, 1}, Case{49, false, 1}, Case{50, false, 2},
                        Case{190, false, 4}, Case{12, true, 1}, Case{13, true, 2}, Case{60, true, 5},
                        Case{190, true, 16}}) {
    auto record = default_profile();
    give_macro(record->buttons[0], c.events, c.long_entries);
    test::RecordingSink sink;
    test::RecordingClock clock;
    MacroUploader(sink, clock).upload_macro(*record, 0);
    SCOPED_TRACE(testing::Message() << c.events << (c.long_entries ? " long" : " short"));
    EXPECT_EQ(static_cast<int>(sink.reports.size()), c.chunks);
    EXPECT_EQ(macro_chunk_count(record->buttons[0]), c.chunks);
    const MacroBlockRange range = macro_block_range(0, record->buttons[0]);
    EXPECT_EQ(range.first, 1);
    EXPECT_EQ(range.last(), sink.reports.back()[2]);
  }
}

TEST(MacroBlocks, TheFirstOfTwoOverlappingMacrosIsKeptAndTheLaterSentDisabled) {
  auto record = default_profile();
  give_macro(record->buttons[0], 60, true);  // blocks 1..5: runs into button 2's block 5
  give_macro(record->buttons[1], 3);         // block 5
  give_macro(record->buttons[2], 3);         // block 9: clear of both
  give_macro(record->buttons[3], 2);         // block 0: clear of button 1's blocks
  give_macro(record->buttons[8], 1);         // block 0 as well: in button 4's way
  record->buttons[4].macro_event_count = 50;  // macro data of a button that is no macro button: ignored

  const MacroBlockPlan plan = plan_macro_blocks(*record);
  EXPECT_THAT(plan.overlaps, ElementsAre(MacroOverlap{1, 0}, MacroOverlap{8, 3}));
  std::set<int> skipped;
  for (int k = 0; k < kMouseButtons; ++k) {
    if (plan.skipped[static_cast<size_t>(k)]) skipped.insert(k);
  }
  EXPECT_EQ(skipped, (std::set<int>{1, 8}));

  const Report report = build_button_mapping_report(*record);
  EXPECT_THAT(mapped(report, 0), ElementsAre(18, 0, 1));
  EXPECT_THAT(mapped(report, 1), ElementsAre(1, 0, 0));
  EXPECT_THAT(mapped(report, 2), ElementsAre(18, 0, 9));
  EXPECT_THAT(mapped(report, 3), ElementsAre(18, 0, 0));
  EXPECT_THAT(mapped(report, 8), ElementsAre(1, 0, 0));

  // Order decides, not length: a two-block macro on button 4 meets button 1's at block 1.
  auto other = default_profile();
  give_macro(other->buttons[0], 1);
  give_macro(other->buttons[3], 60);  // blocks 0..1
  EXPECT_THAT(plan_macro_blocks(*other).overlaps, ElementsAre(MacroOverlap{3, 0}));
}

TEST(MacroBlocks, ProfilesWithoutOverlapsKeepTheirMappingBytes) {
  auto record = default_profile();
  give_macro(record->buttons[0], 49);  // exactly block 1
  give_macro(record->buttons[1], 100);
  give_macro(record->buttons[6], 3);
  record->buttons[5].function = kFunctionShortcut;
  record->buttons[5].shortcut_modifiers = kModCtrl;
  record->buttons[5].shortcut_key = 4;
  EXPECT_THAT(plan_macro_blocks(*record).overlaps, IsEmpty());

  const Report report = build_button_mapping_report(*record);
  for (int k = 0; k < kMouseButtons; ++k) {
    const DeviceBytes expected = device_function_bytes(k, record->buttons[k]);
    EXPECT_THAT(mapped(report, k), ElementsAre(expected[0], expected[1], expected[2])) << "button " << k + 1;
  }
}

TEST(MacroRoom, AMacroFitsWhereItsBlocksMeetNoOtherMacroButton) {
  auto record = default_profile();
  give_macro(record->buttons[1], 3);  // block 5
  ButtonSlot candidate{};

  // Sixteen blocks: from button 1's block 1 it would reach block 5.
  give_macro(candidate, 190, true);
  MacroRoom room = macro_room(*record, 0, candidate, 12);
  EXPECT_FALSE(room.fits);
  EXPECT_EQ(room.overlapped_slot, 1);
  // Button 2 in place of its own macro; buttons 3, 7 and 8 start above block 5; buttons
  // 4..6 and 9..12 start at block 0.
  EXPECT_THAT(room.slots_with_room, ElementsAre(1, 2, 6, 7));

  // Replacing button 2's own macro is no overlap; a short macro fits beside it.
  room = macro_room(*record, 1, candidate, 12);
  EXPECT_TRUE(room.fits);
  give_macro(candidate, 3);
  EXPECT_TRUE(macro_room(*record, 0, candidate, 12).fits);

  // The buttons that share block 0 take one macro between them.
  give_macro(record->buttons[3], 1);
  room = macro_room(*record, 4, candidate, 12);
  EXPECT_FALSE(room.fits);
  EXPECT_EQ(room.overlapped_slot, 3);
  EXPECT_THAT(room.slots_with_room, ElementsAre(0, 1, 2, 3, 6, 7));
}

}  // namespace
}  // namespace norvane
