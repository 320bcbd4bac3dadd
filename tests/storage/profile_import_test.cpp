#include <gtest/gtest.h>

#include <cstring>

#include "core/profile_defaults.h"
#include "storage/profile_import.h"
#include "storage/record_names.h"

using namespace norvane;

namespace {

constexpr ImportNaming kNaming{u"Profile ", u"Macro "};

ProfileList profiles_named(std::initializer_list<std::u16string_view> names) {
  ProfileList profiles;
  for (auto name : names) {
    profiles.push_back(std::make_unique<ProfileRecord>());
    reset_profile_defaults(*profiles.back());
    set_field_name(profiles.back()->name, name);
  }
  return profiles;
}

MacroLibrary macros_named(std::initializer_list<std::u16string_view> names) {
  MacroLibrary library;
  for (auto name : names) {
    library.push_back(std::make_unique<MacroRecord>());
    set_field_name(library.back()->name, name);
  }
  return library;
}

std::unique_ptr<ProfileRecord> profile_with_macros(std::u16string_view name,
                                                   std::initializer_list<std::pair<int, std::u16string_view>> slots) {
  auto record = std::make_unique<ProfileRecord>();
  reset_profile_defaults(*record);
  set_field_name(record->name, name);
  for (const auto& [k, macro_name] : slots) {
    ButtonSlot& slot = record->buttons[k];
    slot.function = kFunctionMacro;
    set_field_name(slot.macro_name, macro_name);
    slot.macro_repeat = 7 + k;
    slot.macro_event_count = static_cast<uint16_t>(2 + k);
    slot.macro_list_index = 99;
    // Every byte of the events differs, so a shifted or partial copy shows.
    auto* events = reinterpret_cast<uint8_t*>(slot.macro_events);
    for (size_t i = 0; i < sizeof slot.macro_events; ++i) events[i] = static_cast<uint8_t>(i * 7 + k);
  }
  return record;
}

TEST(ProfileImport, TheProfileTakesTheFirstFreeNameOrANewProfilesName) {
  const ProfileList profiles = profiles_named({u"Work", u"WORK_1"});
  MacroLibrary library;
  auto record = profile_with_macros(u"work", {});
  EXPECT_EQ(adopt_imported_profile(*record, profiles, library, kNaming), 0);
  EXPECT_EQ(field_name(record->name), u"work_2");

  auto nameless = profile_with_macros(u"", {});
  adopt_imported_profile(*nameless, profiles, library, kNaming);
  EXPECT_EQ(field_name(nameless->name), u"Profile 3");

  // A taken name of the full 99 characters gives way to its suffix.
  const std::u16string full(kProfileNameUnits - 1, u'p');
  const ProfileList long_names = profiles_named({full});
  auto same = profile_with_macros(full, {});
  adopt_imported_profile(*same, long_names, library, kNaming);
  EXPECT_EQ(field_name(same->name), std::u16string(kProfileNameUnits - 3, u'p') + u"_1");
  EXPECT_TRUE(library.empty());
}

TEST(ProfileImport, EveryMacroButtonAddsItsMacroUnderAFreeName) {
  const ProfileList profiles = profiles_named({u"Work"});
  MacroLibrary library = macros_named({u"m1_1"});
  // Buttons 1, 4 and 18 run macros; a slot past the buttons is carried, never copied.
  auto record = profile_with_macros(u"Shared", {{0, u"M1"}, {3, u"M1"}, {17, u"M1"}, {20, u"M1"}});
  record->buttons[5].macro_list_index = 42;  // not a macro button: left alone
  ProfileRecord before;
  std::memcpy(&before, record.get(), sizeof before);

  EXPECT_EQ(adopt_imported_profile(*record, profiles, library, kNaming), 3);
  ASSERT_EQ(library.size(), 4u);
  const std::u16string expected_names[] = {u"M1", u"M1_2", u"M1_3"};
  const int expected_slots[] = {0, 3, 17};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const MacroRecord& macro = *library[i + 1];
    const ButtonSlot& slot = record->buttons[expected_slots[i]];
    EXPECT_EQ(field_name(macro.name), expected_names[i]);
    EXPECT_EQ(field_name(slot.macro_name), expected_names[i]);
    EXPECT_EQ(slot.macro_list_index, static_cast<int32_t>(i + 1));
    EXPECT_EQ(macro.repeat, 7 + expected_slots[i]);
    EXPECT_EQ(macro.event_count, 2 + expected_slots[i]);
    EXPECT_EQ(std::memcmp(macro.events, slot.macro_events, sizeof macro.events), 0);
    EXPECT_EQ(std::memcmp(macro.events, before.buttons[expected_slots[i]].macro_events, sizeof macro.events), 0);
  }
  EXPECT_EQ(std::memcmp(&record->buttons[20], &before.buttons[20], sizeof(ButtonSlot)), 0);
  EXPECT_EQ(record->buttons[5].macro_list_index, 42);
}

TEST(ProfileImport, MacroNamesFitTheirFieldAndNamelessMacrosGetANewMacrosName) {
  // 20 letters, an emoji and a letter fill the 23 units of a macro name; the suffix
  // needs two of them, and the cut would fall inside the emoji.
  const std::u16string full = std::u16string(20, u'a') + u"\U0001F600" + u"b";
  ASSERT_EQ(full.size(), static_cast<size_t>(kMaxMacroNameLength));
  MacroLibrary library = macros_named({full});
  auto record = profile_with_macros(u"P", {{1, full}, {2, u""}});
  EXPECT_EQ(adopt_imported_profile(*record, ProfileList{}, library, kNaming), 2);
  // The emoji goes whole rather than split.
  EXPECT_EQ(field_name(library[1]->name), std::u16string(20, u'a') + u"_1");
  EXPECT_EQ(field_name(record->buttons[1].macro_name), std::u16string(20, u'a') + u"_1");
  EXPECT_EQ(field_name(library[2]->name), u"Macro 3");
  EXPECT_EQ(field_name(record->buttons[2].macro_name), u"Macro 3");
}

}  // namespace
