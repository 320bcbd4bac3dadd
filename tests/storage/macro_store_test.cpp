#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "storage/macro_store.h"
#include "store_test_support.h"

using namespace norvane;
using namespace norvane::test;

namespace {

constexpr size_t kMacro = 3096;

std::vector<uint8_t> macro_bytes(std::u16string_view name, int32_t events) {
  MacroRecord record{};
  set_field_name(record.name, name);
  record.repeat = 3;
  record.event_count = events;
  for (int i = 0; i < std::min(events, 190); ++i) record.events[i] = MacroEvent{0, 4, 1, 0, 10, 0, i, -i};
  std::vector<uint8_t> bytes(kMacro);
  std::memcpy(bytes.data(), &record, kMacro);
  return bytes;
}

std::vector<uint8_t> joined(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class MacroStoreTest : public ::testing::Test {
 protected:
  LoadResult load() { return load_macro_store(library, folder.path(), options); }
  std::string store_path() const { return folder / "macro.data"; }

  TempFolder folder;
  NoSyncFileOps no_sync;
  StoreOptions options{&no_sync, 1700000000};
  MacroLibrary library;
};

}  // namespace

TEST_F(MacroStoreTest, AFileOfThreeRecordsLoadsAsThreeMacrosAndSavesBackUnchanged) {
  const auto bytes = joined({macro_bytes(u"Alpha", 2), macro_bytes(u"Beta", 0), macro_bytes(u"Gamma", 190)});
  ASSERT_EQ(bytes.size(), 9288u);
  write_bytes(store_path(), bytes);

  EXPECT_EQ(load().outcome, LoadOutcome::loaded);
  ASSERT_EQ(library.size(), 3u);
  EXPECT_EQ(field_name(library[1]->name), u"Beta");
  EXPECT_EQ(library[2]->events[189].x, 189);
  ASSERT_TRUE(save_macro_store(library, folder.path(), &no_sync));
  EXPECT_TRUE(read_bytes(store_path()) == bytes);
}

TEST_F(MacroStoreTest, AMissingFileIsAnEmptyLibraryAndCreatesNoFile) {
  EXPECT_EQ(load().outcome, LoadOutcome::created_default);
  EXPECT_TRUE(library.empty());
  EXPECT_TRUE(folder.names().empty());
}

TEST_F(MacroStoreTest, DeletingTheLastMacroLeavesAnEmptyFileThatLoadsAsAnEmptyLibrary) {
  write_bytes(store_path(), macro_bytes(u"Only", 1));
  load();
  library.pop_back();
  ASSERT_TRUE(save_macro_store(library, folder.path(), &no_sync));
  EXPECT_TRUE(std::filesystem::exists(store_path()));
  EXPECT_EQ(std::filesystem::file_size(store_path()), 0u);
  EXPECT_EQ(load().outcome, LoadOutcome::loaded);
  EXPECT_TRUE(library.empty());
}

TEST_F(MacroStoreTest, ACutShortTailIsDroppedAndTheOriginalKeptAside) {
  const auto whole = joined({macro_bytes(u"One", 1), macro_bytes(u"Two", 2)});
  auto bytes = joined({whole, macro_bytes(u"Three", 3)});
  bytes.resize(bytes.size() - 1000);
  write_bytes(store_path(), bytes);

  const LoadResult result = load();
  EXPECT_EQ(result.outcome, LoadOutcome::repaired);
  EXPECT_EQ(library.size(), 2u);
  EXPECT_TRUE(read_bytes(result.aside_path) == bytes);
  EXPECT_TRUE(read_bytes(store_path()) == whole);
}

TEST_F(MacroStoreTest, AFileWithNoWholeRecordIsMovedAsideAndTheLibraryStartsEmpty) {
  const std::vector<uint8_t> bytes(100, 0x5A);
  write_bytes(store_path(), bytes);
  const LoadResult result = load();
  EXPECT_EQ(result.outcome, LoadOutcome::damaged_moved_aside);
  EXPECT_TRUE(library.empty());
  EXPECT_FALSE(std::filesystem::exists(store_path()));
  EXPECT_TRUE(read_bytes(result.aside_path) == bytes);
}

TEST_F(MacroStoreTest, EventCountsOutOfRangeAndUnterminatedNamesAreRepairedAndTraced) {
  auto first = macro_bytes(u"", 191);
  auto second = macro_bytes(u"Neg", -3);
  std::fill(first.begin(), first.begin() + 48, 0x41);  // 24 units of U+4141, no zero
  write_bytes(store_path(), joined({first, second}));

  TraceRecorder traces;
  EXPECT_EQ(load().outcome, LoadOutcome::repaired);
  EXPECT_EQ(library[0]->event_count, 190);
  EXPECT_EQ(library[1]->event_count, 0);
  EXPECT_EQ(field_name(library[0]->name), std::u16string(23, u'\x4141'));
  EXPECT_TRUE(traces.contains("macro 0: event count 191 clamped to 190"));
  EXPECT_TRUE(traces.contains("macro 1: event count -3 clamped to 0"));
  EXPECT_TRUE(traces.contains("macro 0: name had no terminating zero"));
}

TEST_F(MacroStoreTest, AddMacroNamesAppendsAndSaves) {
  write_bytes(store_path(), joined({macro_bytes(u"macro3", 0), macro_bytes(u"MACRO3_1", 0)}));
  load();
  const AddedMacro added = add_macro(library, folder.path(), u"Macro", &no_sync);
  ASSERT_TRUE(added.save.ok());
  EXPECT_EQ(field_name(added.record->name), u"Macro3_2");
  EXPECT_EQ(added.record, library.back().get());
  EXPECT_EQ(added.record->event_count, 0);
  EXPECT_EQ(read_bytes(store_path()).size(), 3 * kMacro);

  // A language text too long for the field is cut before the number, not after it.
  const AddedMacro long_one = add_macro(library, folder.path(), std::u16string(40, u'L'), &no_sync);
  EXPECT_EQ(field_name(long_one.record->name), std::u16string(22, u'L') + u"4");
}
