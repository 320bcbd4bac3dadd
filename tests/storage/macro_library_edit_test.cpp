// Changes of the macro library made by the editor and the importers: each is saved at
// once, names stay unique without regard to letter case and fit their field.

#include <gtest/gtest.h>

#include "storage/macro_library_edit.h"
#include "storage/record_names.h"
#include "store_test_support.h"

using namespace norvane;
using namespace norvane::test;

namespace {

MacroRecord named(std::u16string_view name, int events = 0) {
  MacroRecord record{};
  set_field_name(record.name, name);
  record.event_count = events;
  for (int i = 0; i < events; ++i) record.events[i] = MacroEvent{0, 4, kKindPress, 0, 10, 0, 0, 0};
  return record;
}

class MacroLibraryEditTest : public ::testing::Test {
 protected:
  AddedMacro append(std::u16string_view name, std::u16string_view fallback = u"Macro") {
    return append_macro(library, named(name, 2), fallback, folder.path(), &no_sync);
  }
  size_t stored_macros() const { return read_bytes(folder / "macro.data").size() / sizeof(MacroRecord); }
  std::u16string name_at(size_t i) const { return std::u16string(field_name(library[i]->name)); }

  TempFolder folder;
  NoSyncFileOps no_sync;
  MacroLibrary library;
};

TEST_F(MacroLibraryEditTest, ImportedNamesGetTheFirstFreeSuffixAndAreSaved) {
  ASSERT_TRUE(append(u"Jump").save);
  append(u"Jump");
  append(u"JUMP");
  EXPECT_EQ(name_at(1), u"Jump_1");
  EXPECT_EQ(name_at(2), u"JUMP_2");
  EXPECT_EQ(library[2]->event_count, 2);
  EXPECT_EQ(stored_macros(), 3u);
  EXPECT_EQ(find_macro(library, u"jump_2"), 2);
  EXPECT_EQ(find_macro(library, u"Fly"), -1);

  // A name that would not fit with its suffix is shortened before the suffix.
  append(u"ABCDEFGHIJKLMNOPQRSTUVW");
  append(u"ABCDEFGHIJKLMNOPQRSTUVW");
  EXPECT_EQ(name_at(4), u"ABCDEFGHIJKLMNOPQRSTU_1");
  // Never inside a surrogate pair: the pair that would be cut goes whole.
  append(u"ABCDEFGHIJKLMNOPQRST\U0001F600");
  append(u"ABCDEFGHIJKLMNOPQRST\U0001F600");
  EXPECT_EQ(name_at(6), u"ABCDEFGHIJKLMNOPQRST_1");
  // No name: the fallback's.
  append(u"", u"keys");
  EXPECT_EQ(name_at(7), u"keys");
}

TEST_F(MacroLibraryEditTest, RenamingKeepsNamesUniqueWithoutRegardToCase) {
  append(u"Macro1");
  append(u"Macro2");
  EXPECT_EQ(rename_macro(library, 0, u"macro1", folder.path(), &no_sync).outcome, RenameOutcome::unchanged);
  EXPECT_EQ(name_at(0), u"Macro1");
  EXPECT_EQ(rename_macro(library, 0, u"MACRO2", folder.path(), &no_sync).outcome, RenameOutcome::taken);
  EXPECT_EQ(rename_macro(library, 0, u"", folder.path(), &no_sync).outcome, RenameOutcome::empty);
  EXPECT_EQ(name_at(0), u"Macro1");

  const RenameResult renamed = rename_macro(library, 0, u"Dash", folder.path(), &no_sync);
  EXPECT_EQ(renamed.outcome, RenameOutcome::renamed);
  EXPECT_TRUE(renamed.save.ok());
  MacroLibrary stored;
  load_macro_store(stored, folder.path());
  EXPECT_EQ(field_name(stored[0]->name), u"Dash");

  // Too long: the first 23 characters are the name, and they are what is compared.
  append(u"Twenty-three characters");
  const RenameResult cut = rename_macro(library, 0, u"Twenty-three characters, and more", folder.path(), &no_sync);
  EXPECT_EQ(cut.outcome, RenameOutcome::taken);
  EXPECT_EQ(rename_macro(library, 1, u"A much longer name than fits", folder.path(), &no_sync).name,
            u"A much longer name than");
}

TEST_F(MacroLibraryEditTest, DeletingTheOnlyMacroLeavesAnEmptyStore) {
  append(u"Only");
  ASSERT_TRUE(delete_macro(library, 0, folder.path(), &no_sync));
  EXPECT_TRUE(library.empty());
  EXPECT_TRUE(std::filesystem::exists(folder / "macro.data"));
  EXPECT_EQ(read_bytes(folder / "macro.data").size(), 0u);
}

}  // namespace
