#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/profile_defaults.h"
#include "settings/macro_resync.h"

using namespace norvane;

namespace {

std::unique_ptr<MacroRecord> macro(std::u16string_view name, int events, uint8_t first_code) {
  auto m = std::make_unique<MacroRecord>();
  std::memset(m.get(), 0, sizeof *m);
  set_field_name(m->name, name);
  m->repeat = 1;
  m->event_count = events;
  for (int i = 0; i < events; ++i) {
    m->events[i].code = static_cast<uint8_t>(first_code + i);
    m->events[i].kind = kKindPress;
    m->events[i].delay = 10;
  }
  return m;
}

std::unique_ptr<ProfileRecord> profile() {
  auto p = std::make_unique<ProfileRecord>();
  std::memset(p.get(), 0, sizeof *p);
  reset_profile_defaults(*p);
  return p;
}

void assign_macro(ButtonSlot& slot, std::u16string_view name, int events) {
  slot.function = kFunctionMacro;
  set_field_name(slot.macro_name, name);
  slot.macro_event_count = static_cast<uint16_t>(events);
  slot.macro_mode = 2;
  slot.macro_repeat = 3;
  slot.macro_list_index = 7;
  for (int i = 0; i < events; ++i) slot.macro_events[i].code = 99;
}

struct Fixture {
  ProfileList profiles;
  MacroLibrary library;
};

}  // namespace

TEST(MacroResync, RefreshesAssignedMacrosFromTheLibraryByNameInAnyCase) {
  Fixture f;
  f.library.push_back(macro(u"Other", 1, 1));
  f.library.push_back(macro(u"Combo", 3, 4));
  f.profiles.push_back(profile());
  assign_macro(f.profiles[0]->buttons[2], u"COMBO", 5);

  const MacroResyncResult r = resync_macros(f.profiles, f.profiles[0].get(), f.library);

  const ButtonSlot& s = f.profiles[0]->buttons[2];
  EXPECT_EQ(r.refreshed, 1);
  EXPECT_TRUE(r.current_changed);
  EXPECT_EQ(field_name(s.macro_name), u"Combo");
  EXPECT_EQ(s.macro_event_count, 3);
  EXPECT_EQ(s.macro_events[0].code, 4);
  EXPECT_EQ(s.macro_events[2].code, 6);
  EXPECT_EQ(s.macro_events[3].code, 0);  // the old fourth event is gone
  EXPECT_EQ(s.macro_list_index, 1);
  // What the selection dialog chose stays.
  EXPECT_EQ(s.function, kFunctionMacro);
  EXPECT_EQ(s.macro_mode, 2);
  EXPECT_EQ(s.macro_repeat, 3);
}

TEST(MacroResync, AMacroGoneFromTheLibraryFallsBackToTheDefaultFunction) {
  Fixture f;
  f.profiles.push_back(profile());
  ButtonSlot& s = f.profiles[0]->buttons[6];
  assign_macro(s, u"Renamed away", 2);
  s.shortcut_key = 4;

  const MacroResyncResult r = resync_macros(f.profiles, f.profiles[0].get(), f.library);

  EXPECT_EQ(r.dropped, 1);
  EXPECT_EQ(s.function, kDefaultButtonFunctions[6]);
  EXPECT_EQ(s.function_param, 0);
  EXPECT_EQ(s.macro_list_index, -1);
  // Everything else of the slot is cleared, slot number and reserved fields included.
  ButtonSlot expected;
  std::memset(&expected, 0, sizeof expected);
  expected.function = kDefaultButtonFunctions[6];
  expected.macro_list_index = -1;
  EXPECT_EQ(std::memcmp(&s, &expected, sizeof s), 0);
}

TEST(MacroResync, ALeftoverMacroNameNeverTakesAwayTheButtonsOwnFunction) {
  Fixture f;
  f.profiles.push_back(profile());
  ButtonSlot& s = f.profiles[0]->buttons[4];
  assign_macro(s, u"Old", 2);
  s.function = kFunctionShortcut;  // reassigned later; the macro fields stayed behind
  s.shortcut_key = 4;
  s.shortcut_modifiers = kModCtrl;

  resync_macros(f.profiles, f.profiles[0].get(), f.library);

  EXPECT_EQ(s.function, kFunctionShortcut);
  EXPECT_EQ(s.shortcut_key, 4);
  EXPECT_EQ(s.shortcut_modifiers, kModCtrl);
  EXPECT_EQ(s.button_index, 4);
  EXPECT_TRUE(field_name(s.macro_name).empty());
  EXPECT_EQ(s.macro_event_count, 0);
  EXPECT_EQ(s.macro_events[0].code, 0);
  EXPECT_EQ(s.macro_list_index, -1);
}

TEST(MacroResync, TouchesOnlyAssignableSlotsAndTellsWhetherTheCurrentProfileChanged) {
  Fixture f;
  f.profiles.push_back(profile());
  f.profiles.push_back(profile());
  assign_macro(f.profiles[1]->buttons[0], u"Gone", 1);
  assign_macro(f.profiles[0]->buttons[12], u"Gone", 1);  // shown only, never re-synced
  const ProfileRecord before = *f.profiles[0];

  const MacroResyncResult r = resync_macros(f.profiles, f.profiles[0].get(), f.library);

  EXPECT_EQ(r.dropped, 1);
  EXPECT_FALSE(r.current_changed);
  EXPECT_EQ(std::memcmp(f.profiles[0].get(), &before, sizeof before), 0);
  EXPECT_EQ(f.profiles[1]->buttons[0].function, kDefaultButtonFunctions[0]);
}
