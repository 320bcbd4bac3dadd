// The macro operations under the editor: the size measure, inserting and deleting
// events in the working copy, the numbers typed into fields, and the recording rules.

#include <gtest/gtest.h>

#include <vector>

#include "macros/event_fields.h"
#include "macros/macro_recorder.h"
#include "macros/macro_size.h"
#include "macros/macro_working_copy.h"

namespace norvane {
namespace {

MacroWorkingCopy copy_of(std::initializer_list<MacroEvent> events) {
  MacroWorkingCopy copy;
  for (const MacroEvent& e : events) copy.events[static_cast<size_t>(copy.count++)] = e;
  return copy;
}

MacroWorkingCopy filled(int count, uint16_t delay = 10) {
  MacroWorkingCopy copy;
  for (int i = 0; i < count; ++i) copy.events[static_cast<size_t>(i)] = key_event(4, i % 2 ? kKindRelease : kKindPress, delay);
  copy.count = count;
  return copy;
}

std::vector<uint8_t> codes(const MacroWorkingCopy& copy) {
  std::vector<uint8_t> out;
  for (int i = 0; i < copy.count; ++i) out.push_back(copy.events[static_cast<size_t>(i)].code);
  return out;
}

std::vector<uint16_t> delays(const MacroWorkingCopy& copy) {
  std::vector<uint16_t> out;
  for (int i = 0; i < copy.count; ++i) out.push_back(copy.events[static_cast<size_t>(i)].delay);
  return out;
}

TEST(MacroSize, CountsUnitsOfEventsAndLongDelays) {
  const MacroWorkingCopy example = copy_of({key_event(4, kKindPress, 10), key_event(4, kKindRelease, 200),
                                            move_event(5, -5, 1)});
  EXPECT_EQ(example.size_units(), 6);
  EXPECT_EQ(macro_play_time_ms(example.events.data(), example.count), 211);

  EXPECT_EQ(event_units(key_event(4, kKindPress, 127)), 1);
  EXPECT_EQ(event_units(key_event(4, kKindPress, 128)), 2);
  EXPECT_EQ(filled(190).size_units(), 190);
  EXPECT_EQ(MacroWorkingCopy{}.size_units(), 0);

  MacroWorkingCopy moves;
  for (int i = 0; i < 63; ++i) moves.events[static_cast<size_t>(moves.count++)] = move_event(1, 1, 1);
  EXPECT_EQ(moves.size_units(), 189);
  // A count beyond the buffer is never read past it.
  EXPECT_EQ(macro_size_units(filled(190).events.data(), 1000), 190);
  EXPECT_EQ(macro_size_units(moves.events.data(), -3), 0);
}

TEST(MacroWorkingCopyTest, ARunOfInsertionsLandsInOrderAndTheSelectionFollowsItsEvent) {
  MacroWorkingCopy copy = copy_of({key_event(10, kKindPress, 10), key_event(11, kKindPress, 10),
                                   key_event(12, kKindPress, 10)});
  copy.selected = 1;
  copy.insert_position = 1;
  ASSERT_TRUE(insert_event(copy, key_event(20, kKindPress, 10)));
  ASSERT_TRUE(insert_event(copy, key_event(21, kKindPress, 10)));
  EXPECT_EQ(codes(copy), (std::vector<uint8_t>{10, 20, 21, 11, 12}));
  EXPECT_EQ(copy.insert_position, 3);
  EXPECT_EQ(copy.selected, 3) << "still the event with code 11";

  copy.insert_position = kInsertAtEnd;
  ASSERT_TRUE(insert_event(copy, key_event(30, kKindPress, 10)));
  EXPECT_EQ(codes(copy).back(), 30);
  EXPECT_EQ(copy.insert_position, kInsertAtEnd);
}

TEST(MacroWorkingCopyTest, NeverHoldsMoreThan190EventsAndDeletingZeroFillsTheFreedEntry) {
  MacroWorkingCopy copy = filled(190);
  EXPECT_FALSE(insert_event(copy, key_event(9, kKindPress, 10)));
  EXPECT_EQ(copy.count, 190);

  copy.events[189].code = 77;
  ASSERT_TRUE(delete_event(copy, 0));
  EXPECT_EQ(copy.count, 189);
  EXPECT_EQ(copy.events[188].code, 77);
  EXPECT_EQ(copy.events[189].code, 0);
  EXPECT_EQ(copy.events[189].delay, 0);
  EXPECT_FALSE(delete_event(copy, 189));
  EXPECT_FALSE(swap_events(copy, 188, 189));

  MacroRecord record{};
  record.event_count = 500;  // damaged: taken as the most there can be
  copy.load(record);
  EXPECT_EQ(copy.count, 190);
}

TEST(EventFields, IntegerValuesClampsAndTheOffsetFilter) {
  EXPECT_EQ(integer_value(u"12-3"), 12);
  EXPECT_EQ(integer_value(u"  -45x"), -45);
  EXPECT_EQ(integer_value(u""), 0);
  EXPECT_EQ(integer_value(u"abc"), 0);
  EXPECT_EQ(integer_value(u"99999999999999"), 2147483647);
  EXPECT_EQ(integer_value(u"-99999999999999"), -2147483647 - 1);

  EXPECT_EQ(clamp_key_delay(5), 10);
  EXPECT_EQ(clamp_key_delay(30000), 25000);
  EXPECT_EQ(clamp_move_delay(0), 1);
  EXPECT_EQ(clamp_move_delay(-7), 1);
  EXPECT_EQ(clamp_default_delay(70000), 25000) << "never wrapped into 16 bits";

  FilteredText typed = filter_offset_text(u"12a-3");
  EXPECT_EQ(typed.text, u"12-3");
  EXPECT_TRUE(typed.changed);
  EXPECT_EQ(filter_offset_text(u"1500").text, u"999");
  EXPECT_EQ(filter_offset_text(u"-1500").text, u"-999");
  EXPECT_FALSE(filter_offset_text(u"-999").changed);
  EXPECT_FALSE(filter_offset_text(u"").changed);
}

// ---- recording

uint8_t usage_of(uint32_t vk) { return vk == 0x41 ? 4 : vk == 0x42 ? 5 : 0; }

class RecorderTest : public ::testing::Test {
 protected:
  MacroRecorder::Outcome input(uintptr_t message, intptr_t param, int64_t at) {
    return recorder.record(copy, message, param, at, usage_of);
  }
  MacroWorkingCopy copy;
  MacroRecorder recorder;
};

TEST_F(RecorderTest, MouseMessagesBecomeButtonsAndEverythingElseAKey) {
  EXPECT_EQ(convert_hook_input(513, 0, usage_of).code, kCodeLeftButton);
  EXPECT_EQ(convert_hook_input(517, 0, usage_of).kind, kKindRelease);
  EXPECT_EQ(convert_hook_input(519, 0, usage_of).code, kCodeMiddleButton);
  EXPECT_EQ(convert_hook_input(523, 2, usage_of).code, kCodeBackwardButton);
  EXPECT_EQ(convert_hook_input(524, 1, usage_of).code, kCodeForwardButton);
  EXPECT_EQ(convert_hook_input(524, 1, usage_of).kind, kKindRelease);
  // An extra button the mouse does not know is not a button: its number is no key either.
  EXPECT_EQ(convert_hook_input(523, 3, usage_of).code, 0);
  EXPECT_EQ(convert_hook_input(0x41, 0, usage_of).code, 4);
  EXPECT_EQ(convert_hook_input(0x41, 1, usage_of).kind, kKindRelease);
  EXPECT_EQ(convert_hook_input(0x7E, 0, usage_of).code, 0) << "not in the key table";
}

TEST_F(RecorderTest, MeasuredGapsGoToTheEventBeforeAndTheLastKeepsOne) {
  recorder.start(copy, DelayMode::recorded, 10, 1000);
  input(0x41, 0, 1500);   // the time before the first event is dropped
  input(0x41, 1, 4500);   // 3 s held
  input(0x42, 0, 44500);  // 40 s later: held at 25 s
  input(0x42, 1, 44490);  // a time stamp before the previous one counts as 0
  EXPECT_EQ(codes(copy), (std::vector<uint8_t>{4, 4, 5, 5}));
  EXPECT_EQ(delays(copy), (std::vector<uint16_t>{3000, 25000, 0, 1}));
}

TEST_F(RecorderTest, FixedAndMinimalDelaysAndRepeatsDropped) {
  recorder.start(copy, DelayMode::fixed, 50, 0);
  for (auto [vk, up] : {std::pair{0x41, 0}, {0x41, 0}, {0x41, 0}, {0x41, 1}, {0x41, 0}, {0x41, 1}}) input(vk, up, 7);
  EXPECT_EQ(delays(copy), (std::vector<uint16_t>{50, 50, 50, 1})) << "press, release, press, release";

  copy = {};
  recorder.start(copy, DelayMode::minimal, 50, 0);
  // The repeat filter starts afresh: a new recording may begin with the key the last ended on.
  EXPECT_EQ(input(0x41, 1, 5), MacroRecorder::Outcome::recorded);
  input(0x42, 0, 900);
  input(0x42, 1, 1900);
  EXPECT_EQ(delays(copy), (std::vector<uint16_t>{1, 1, 1}));
}

TEST_F(RecorderTest, ReplacesWithoutASelectionAndInsertsAfterOne) {
  copy = copy_of({key_event(10, kKindPress, 11), key_event(11, kKindPress, 12), key_event(12, kKindPress, 13)});
  recorder.start(copy, DelayMode::recorded, 10, 0);
  EXPECT_EQ(copy.count, 0) << "nothing selected: the recording replaces the events";

  copy = copy_of({key_event(10, kKindPress, 11), key_event(11, kKindPress, 12), key_event(12, kKindPress, 13)});
  copy.selected = 0;
  recorder.start(copy, DelayMode::recorded, 10, 100);
  input(0x41, 0, 600);   // its gap goes to the event after the insertion point
  input(0x41, 1, 1300);  // later gaps to the event recorded before
  EXPECT_EQ(codes(copy), (std::vector<uint8_t>{10, 4, 4, 11, 12}));
  EXPECT_EQ(delays(copy), (std::vector<uint16_t>{11, 700, 1, 500, 13}));
}

TEST_F(RecorderTest, StopsAt190EventsAndAt190Units) {
  copy = filled(188);
  copy.selected = 187;
  recorder.start(copy, DelayMode::minimal, 10, 0);
  EXPECT_EQ(input(0x41, 0, 1), MacroRecorder::Outcome::recorded);
  EXPECT_EQ(input(0x41, 1, 2), MacroRecorder::Outcome::full_events);
  EXPECT_EQ(copy.count, 190);

  copy = {};
  for (int i = 0; i < 63; ++i) copy.events[static_cast<size_t>(copy.count++)] = move_event(1, 1, 1);  // 189 units
  copy.selected = 61;
  recorder.start(copy, DelayMode::recorded, 10, 0);
  // One more event, and its gap of more than 127 ms on the event after it: 191 units.
  EXPECT_EQ(input(0x41, 0, 500), MacroRecorder::Outcome::recorded);
  EXPECT_EQ(copy.size_units(), 191);
  EXPECT_EQ(input(0x41, 1, 600), MacroRecorder::Outcome::full_units);
  EXPECT_EQ(copy.count, 64) << "the event that found the macro full is not recorded";
}

}  // namespace
}  // namespace norvane
