#include <gtest/gtest.h>

#include <string>

#include "storage/case_fold.h"
#include "storage/record_names.h"

using namespace norvane;

namespace {

MacroLibrary macros_named(std::initializer_list<std::u16string_view> names) {
  MacroLibrary library;
  for (auto name : names) {
    library.push_back(std::make_unique<MacroRecord>());
    set_field_name(library.back()->name, name);
  }
  return library;
}

}  // namespace

TEST(CaseFold, FoldsLettersOfSeveralScriptsAndLeavesTheRest) {
  EXPECT_TRUE(equal_ignoring_case(u"Macro1", u"MACRO1"));
  EXPECT_TRUE(equal_ignoring_case(u"Übung", u"üBUNG"));          // Latin-1
  EXPECT_TRUE(equal_ignoring_case(u"Łódź", u"łÓDŹ"));            // Latin Extended-A (alternating pairs)
  EXPECT_TRUE(equal_ignoring_case(u"ΟΔΟΣ", u"οδος"));            // Greek, final sigma
  EXPECT_TRUE(equal_ignoring_case(u"οδος", u"οδοσ"));
  EXPECT_TRUE(equal_ignoring_case(u"Профиль", u"ПРОФИЛЬ"));      // Cyrillic
  EXPECT_TRUE(equal_ignoring_case(u"Ｗｏｒｋ", u"ｗＯＲＫ"));    // full-width
  EXPECT_FALSE(equal_ignoring_case(u"Macro1", u"Macro2"));
  EXPECT_FALSE(equal_ignoring_case(u"Macro", u"Macro1"));
  EXPECT_FALSE(equal_ignoring_case(u"[", u"{"));  // 0x5B and 0x7B differ by 32 but are no letters
  EXPECT_FALSE(equal_ignoring_case(u"ı", u"i"));  // dotless i has no simple folding to i
  EXPECT_EQ(fold_case(u'\xD83D'), u'\xD83D');
  EXPECT_EQ(fold_case(u'ß'), u'ß');
}

TEST(NameExists, ComparesTheStoredNameWithoutRegardToCase) {
  const MacroLibrary library = macros_named({u"Macro1", u"Work"});
  EXPECT_TRUE(name_exists(library, u"MACRO1"));
  EXPECT_TRUE(name_exists(library, u"work"));
  EXPECT_FALSE(name_exists(library, u"Macro"));
  EXPECT_FALSE(name_exists(MacroLibrary{}, u""));
}

TEST(FreeName, TakesTheFirstFreeSuffixCaseInsensitively) {
  EXPECT_EQ(free_macro_name(macros_named({u"Macro4", u"Macro4_1"}), u"Macro4"), u"Macro4_2");
  EXPECT_EQ(free_macro_name(macros_named({u"macro4", u"MACRO4_1"}), u"Macro4"), u"Macro4_2");
  EXPECT_EQ(free_macro_name(macros_named({u"Macro1"}), u"MACRO1"), u"MACRO1_1");
  EXPECT_EQ(free_macro_name(macros_named({u"Macro1"}), u"Macro2"), u"Macro2");
  EXPECT_EQ(free_macro_name(macros_named({u"Macro1", u"Macro1_2"}), u"Macro1"), u"Macro1_1");
}

TEST(FreeName, ShortensBeforeTheSuffixAndStaysUnique) {
  const std::u16string long_name(30, u'x');
  const std::u16string field(23, u'x');
  // Too long and free: cut to the field.
  EXPECT_EQ(free_macro_name(MacroLibrary{}, long_name), field);
  // Taken: the suffix stays whole, the name gives way.
  MacroLibrary library = macros_named({field});
  EXPECT_EQ(free_macro_name(library, long_name), std::u16string(21, u'x') + u"_1");
  library.push_back(std::make_unique<MacroRecord>());
  set_field_name(library.back()->name, std::u16string(21, u'X') + u"_1");
  EXPECT_EQ(free_macro_name(library, long_name), std::u16string(21, u'x') + u"_2");
  // Going from _9 to _10 shortens the name by one more character.
  for (int n = 2; n <= 9; ++n) {
    library.push_back(std::make_unique<MacroRecord>());
    set_field_name(library.back()->name, std::u16string(21, u'x') + u"_" + static_cast<char16_t>(u'0' + n));
  }
  EXPECT_EQ(free_macro_name(library, long_name), std::u16string(20, u'x') + u"_10");
}

TEST(FreeName, NeverSplitsASurrogatePair) {
  // 22 letters and an emoji (a surrogate pair) need 24 units: the pair goes whole.
  const std::u16string name = std::u16string(22, u'a') + u"\U0001F600";
  EXPECT_EQ(free_macro_name(MacroLibrary{}, name), std::u16string(22, u'a'));
  MacroRecord record{};
  set_field_name(record.name, name);
  EXPECT_EQ(field_name(record.name), std::u16string(22, u'a'));
  EXPECT_EQ(record.name[23], u'\0');
}
