#include "buttons/button_assignment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/profile_defaults.h"

namespace norvane {
namespace {

std::unique_ptr<ProfileRecord> default_profile() {
  auto record = std::make_unique<ProfileRecord>();
  std::memset(record.get(), 0, sizeof *record);
  reset_profile_defaults(*record);
  return record;
}

TEST(LeftClickRule, AChoiceMayNotTakeTheLastLeftClickOfButtonsOneToSixteen) {
  auto record = default_profile();  // only button 1 (slot 0) is a left click
  constexpr uint8_t kDpiUp = 7;
  EXPECT_FALSE(keeps_a_left_click(*record, 0, kDpiUp));
  EXPECT_TRUE(keeps_a_left_click(*record, 0, kFunctionLeftClick));
  EXPECT_TRUE(keeps_a_left_click(*record, 3, kDpiUp));
  // The dialogs' choices count the same: no left click is left either way.
  EXPECT_FALSE(keeps_a_left_click(*record, 0, kFunctionShortcut));
  EXPECT_FALSE(keeps_a_left_click(*record, 0, kFunctionMacro));

  // Slot 16 lies outside the rule's sixteen buttons; slot 15 inside.
  record->buttons[16].function = kFunctionLeftClick;
  EXPECT_FALSE(keeps_a_left_click(*record, 0, kDpiUp));
  record->buttons[15].function = kFunctionLeftClick;
  EXPECT_TRUE(keeps_a_left_click(*record, 0, kDpiUp));

  // Moving the left click onto another button, then taking it from the first, works.
  record->buttons[15].function = 0;
  record->buttons[1].function = kFunctionLeftClick;
  EXPECT_TRUE(keeps_a_left_click(*record, 0, kDpiUp));
}

TEST(ShortcutFields, TheDialogStartsFromTheButtonsShortcutOrItsLeftOverModifiers) {
  ButtonSlot slot{};
  slot.function = kFunctionShortcut;
  slot.shortcut_key = 4;
  slot.shortcut_modifiers = kModCtrl | kModShift;
  EXPECT_EQ(shortcut_start(slot), (ShortcutKeys{4, kModCtrl | kModShift}));

  // Given another function later: no key, the old modifiers.
  slot.function = 2;
  EXPECT_EQ(shortcut_start(slot), (ShortcutKeys{0, kModCtrl | kModShift}));
}

TEST(ShortcutFields, AConfirmedShortcutIsWrittenAndAnEmptyOneAssignsNothing) {
  ButtonSlot slot{};
  slot.function = 2;
  slot.shortcut_key = 9;
  slot.unused_0[0] = slot.unused_0[2] = 0x55;

  EXPECT_FALSE(write_shortcut(slot, {}));
  EXPECT_EQ(slot.function, 2);
  EXPECT_EQ(slot.shortcut_key, 0);
  EXPECT_EQ(slot.unused_0[0] | slot.unused_0[1] | slot.unused_0[2], 0);

  EXPECT_TRUE(write_shortcut(slot, {0, kModWin}));  // a modifier alone is a shortcut
  EXPECT_EQ(slot.function, kFunctionShortcut);
  EXPECT_TRUE(write_shortcut(slot, {0x3A, kModAlt}));
  EXPECT_EQ(slot.shortcut_key, 0x3A);
  EXPECT_EQ(slot.shortcut_modifiers, kModAlt);
}

TEST(MacroCopy, TheSlotGetsNameEventsAndPlaybackOfTheChosenMacro) {
  auto macro = std::make_unique<MacroRecord>();
  std::memset(macro.get(), 0, sizeof *macro);
  const std::u16string long_name = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ";  // 26 units
  std::copy_n(long_name.begin(), kMacroNameUnits, macro->name);  // a damaged name without its end
  macro->event_count = 3;
  macro->events[0].code = 4;
  macro->events[2].delay = 300;
  macro->events[189].x = 7;  // copied whole, though past the count

  ButtonSlot slot{};
  std::fill(std::begin(slot.macro_name), std::end(slot.macro_name), u'z');
  copy_macro_into_slot(slot, *macro, {2, 1, 3});
  EXPECT_EQ(slot.function, kFunctionMacro);
  EXPECT_EQ(std::u16string(slot.macro_name), long_name.substr(0, 23));
  EXPECT_EQ(slot.macro_name[23], u'\0');
  EXPECT_EQ(slot.macro_event_count, 3);
  EXPECT_EQ(std::memcmp(slot.macro_events, macro->events, sizeof slot.macro_events), 0);
  EXPECT_EQ(slot.macro_list_index, 2);
  EXPECT_EQ(slot.macro_mode, 1);
  EXPECT_EQ(slot.macro_repeat, 3);

  // An event count out of range never makes the slot claim more events than it holds.
  macro->event_count = 70000;
  copy_macro_into_slot(slot, *macro, {0, 0, 1});
  EXPECT_EQ(slot.macro_event_count, kMaxMacroEvents);
  macro->event_count = -4;
  copy_macro_into_slot(slot, *macro, {0, 0, 1});
  EXPECT_EQ(slot.macro_event_count, 0);
}

TEST(RepeatCountEdit, TypingKeepsDigitsAndLeavingClampsToOneTo255) {
  EXPECT_EQ(repeat_text_digits(u"1a2bcd3"), u"123");
  EXPECT_EQ(repeat_text_digits(u"x-+ 9\u0663"), u"9");  // other scripts' digits are not decimal here

  struct Case {
    std::u16string_view typed;
    int count;
    std::u16string_view shown;
  };
  for (const Case& c : {Case{u"", 1, u"1"}, Case{u"0", 1, u"1"}, Case{u"000", 1, u"1"}, Case{u"7", 7, u"7"},
                        Case{u"007", 7, u"7"}, Case{u"255", 255, u"255"}, Case{u"256", 255, u"255"},
                        Case{u"300", 255, u"255"}, Case{u"99999999999999999999999", 255, u"255"}}) {
    const RepeatCount accepted = accept_repeat_text(c.typed);
    EXPECT_EQ(accepted.count, c.count) << std::string(c.typed.begin(), c.typed.end());
    EXPECT_EQ(accepted.text, c.shown);
  }
}

}  // namespace
}  // namespace norvane
