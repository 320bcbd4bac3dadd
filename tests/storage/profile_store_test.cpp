#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <random>

#include "buttons/button_function_table.h"
#include "core/profile_defaults.h"
#include "core/record_block.h"
#include "core/setting_table.h"
#include "storage/profile_store.h"
#include "store_test_support.h"

using namespace norvane;
using namespace norvane::test;

namespace {

constexpr size_t kHead = 507724;
constexpr size_t kRecord = 101544;
const std::u16string kAddText = u"Profile";

int32_t int32_at(const std::vector<uint8_t>& bytes, size_t offset) {
  int32_t v;
  std::memcpy(&v, bytes.data() + offset, 4);
  return v;
}

// A store image built byte by byte: the index, reserved bytes and unused record bytes
// hold a pattern, so anything not carried through shows up as a difference. Fields with
// a range hold values inside it (the pattern where it fits, the default otherwise).
std::vector<uint8_t> store_bytes(int32_t selected, size_t profiles) {
  std::vector<uint8_t> bytes(kHead + profiles * kRecord);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 % 251);
  std::memcpy(bytes.data(), &selected, 4);
  for (size_t p = 0; p < profiles; ++p) {
    ProfileRecord record;
    std::memcpy(&record, bytes.data() + kHead + p * kRecord, kRecord);
    set_field_name(record.name, u"Saved" + std::u16string(1, static_cast<char16_t>(u'A' + p)));
    fix_out_of_range_settings(record);
    for (ButtonSlot& slot : record.buttons) {
      if (find_button_function(slot.function) == nullptr) slot.function = 1;
      slot.shortcut_modifiers &= 0x0F;
      slot.macro_mode = static_cast<int32_t>(static_cast<uint32_t>(slot.macro_mode) % 3);
      slot.macro_repeat = static_cast<int32_t>(static_cast<uint32_t>(slot.macro_repeat) % 256);
      slot.macro_name[kMacroNameUnits - 1] = 0;
      slot.macro_event_count = static_cast<uint16_t>(slot.macro_event_count % 191);
    }
    std::memcpy(bytes.data() + kHead + p * kRecord, &record, kRecord);
  }
  return bytes;
}

class ProfileStoreTest : public ::testing::Test {
 protected:
  LoadResult load() { return load_profile_store(page, folder.path(), kAddText, options); }
  std::string store_path() const { return folder / "pro.data"; }
  // The one file besides pro.data: the damaged original.
  std::string aside_file() const {
    for (const auto& name : folder.names())
      if (name.rfind("pro.data.damaged-", 0) == 0) return folder / name;
    return {};
  }

  TempFolder folder;
  NoSyncFileOps no_sync;
  StoreOptions options{&no_sync, 1700000000};
  ProfileState page;
};

}  // namespace

TEST_F(ProfileStoreTest, FirstStartCreatesTheFoldersAndOneDefaultProfile) {
  const std::string data = folder / "Data/ms_1/";
  const LoadResult result = load_profile_store(page, data, kAddText, options);

  EXPECT_EQ(result.outcome, LoadOutcome::created_default);
  EXPECT_TRUE(result.saved && result.save.ok());
  const auto bytes = read_bytes(data + "pro.data");
  ASSERT_EQ(bytes.size(), 609268u);
  EXPECT_EQ(int32_at(bytes, 0), 0);
  EXPECT_TRUE(std::all_of(bytes.begin(), bytes.begin() + kHead, [](uint8_t b) { return b == 0; }));
  ASSERT_EQ(page.profiles.size(), 1u);
  EXPECT_EQ(field_name(page.profiles[0]->name), u"Profile1");
  EXPECT_EQ(page.current_profile, page.profiles[0].get());
  EXPECT_TRUE(page.send_all);
  ProfileRecord expected{};
  reset_profile_defaults(expected);
  set_field_name(expected.name, u"Profile1");
  EXPECT_EQ(std::memcmp(bytes.data() + kHead, &expected, kRecord), 0);
}

TEST_F(ProfileStoreTest, ThreeProfilesWithTheSecondSelectedSaveAndLoadBack) {
  for (int i = 0; i < 3; ++i) create_default_profile(page.profiles, kAddText);
  page.head->selected_profile_index = 1;
  ASSERT_TRUE(save_profile_store(page, folder.path(), &no_sync));

  const auto bytes = read_bytes(store_path());
  EXPECT_EQ(bytes.size(), 812356u);
  EXPECT_EQ(int32_at(bytes, 0), 1);

  ProfileState loaded;
  EXPECT_EQ(load_profile_store(loaded, folder.path(), kAddText, options).outcome, LoadOutcome::loaded);
  ASSERT_EQ(loaded.profiles.size(), 3u);
  EXPECT_EQ(field_name(loaded.profiles[2]->name), u"Profile3");
  EXPECT_EQ(loaded.current_profile, loaded.profiles[1].get());
}

TEST_F(ProfileStoreTest, LoadThenSaveReproducesTheFileByteForByte) {
  const auto original = store_bytes(2, 3);
  write_bytes(store_path(), original);
  const LoadResult result = load();
  EXPECT_EQ(result.outcome, LoadOutcome::loaded) << result.message;
  EXPECT_EQ(page.current_profile, page.profiles[2].get());
  ASSERT_TRUE(save_profile_store(page, folder.path(), &no_sync));
  EXPECT_TRUE(read_bytes(store_path()) == original);
  EXPECT_EQ(folder.names().size(), 1u);
}

// Files with nothing to keep: set aside whole, defaults written in their place.
TEST_F(ProfileStoreTest, AStoreWithNoWholeProfileIsMovedAsideAndReplacedByDefaults) {
  const auto head_only = store_bytes(0, 0);
  const std::vector<std::vector<uint8_t>> damaged = {
      {}, std::vector<uint8_t>(head_only.begin(), head_only.begin() + 1000), head_only,
      store_bytes(0, 1)};
  for (size_t i = 0; i < damaged.size(); ++i) {
    SCOPED_TRACE(i);
    TempFolder case_folder;
    // The last case: a head block and a profile cut short by one byte.
    auto bytes = damaged[i];
    if (i == 3) bytes.pop_back();
    write_bytes(case_folder / "pro.data", bytes);
    ProfileState fresh;
    const LoadResult result = load_profile_store(fresh, case_folder.path(), kAddText, options);

    EXPECT_EQ(result.outcome, LoadOutcome::damaged_moved_aside);
    EXPECT_TRUE(read_bytes(result.aside_path) == bytes);
    EXPECT_EQ(read_bytes(case_folder / "pro.data").size(), 609268u);
    ASSERT_EQ(fresh.profiles.size(), 1u);
    EXPECT_EQ(fresh.selected_profile_index(), 0);
    EXPECT_EQ(field_name(fresh.profiles[0]->name), u"Profile1");
    EXPECT_FALSE(result.message.empty());
  }
}

TEST_F(ProfileStoreTest, ACutShortLastProfileIsDroppedAndTheOriginalKeptAside) {
  auto original = store_bytes(1, 3);
  original.resize(original.size() - 5000);
  write_bytes(store_path(), original);

  const LoadResult result = load();
  EXPECT_EQ(result.outcome, LoadOutcome::repaired);
  EXPECT_NE(result.message.find("cut-short"), std::string::npos);
  ASSERT_EQ(page.profiles.size(), 2u);
  EXPECT_EQ(page.current_profile, page.profiles[1].get());
  EXPECT_TRUE(read_bytes(aside_file()) == original);
  // The store on disk now holds the two whole profiles, head block unchanged.
  const auto rewritten = read_bytes(store_path());
  EXPECT_TRUE(std::vector<uint8_t>(original.begin(), original.begin() + kHead + 2 * kRecord) == rewritten);
}

TEST_F(ProfileStoreTest, AnIndexOutOfRangeSelectsTheFirstProfile) {
  for (int32_t index : {2, 99, -1}) {
    SCOPED_TRACE(index);
    TempFolder case_folder;
    write_bytes(case_folder / "pro.data", store_bytes(index, 2));
    ProfileState fresh;
    const LoadResult result = load_profile_store(fresh, case_folder.path(), kAddText, options);
    EXPECT_EQ(result.outcome, LoadOutcome::repaired);
    EXPECT_EQ(fresh.current_profile, fresh.profiles[0].get());
    EXPECT_EQ(int32_at(read_bytes(case_folder / "pro.data"), 0), 0);
    EXPECT_FALSE(result.aside_path.empty());
  }
}

TEST_F(ProfileStoreTest, BrokenNamesAndMacroCountsAreRepairedAndTraced) {
  auto bytes = store_bytes(0, 2);
  ProfileRecord record;
  std::memcpy(&record, bytes.data() + kHead + kRecord, kRecord);
  std::fill(std::begin(record.name), std::end(record.name), u'n');
  record.buttons[4].macro_event_count = 500;
  std::fill(std::begin(record.buttons[20].macro_name), std::end(record.buttons[20].macro_name), u'm');
  std::memcpy(bytes.data() + kHead + kRecord, &record, kRecord);
  write_bytes(store_path(), bytes);

  TraceRecorder traces;
  EXPECT_EQ(load().outcome, LoadOutcome::repaired);
  const ProfileRecord& repaired = *page.profiles[1];
  EXPECT_EQ(field_name(repaired.name), std::u16string(99, u'n'));
  EXPECT_EQ(repaired.buttons[4].macro_event_count, 190);
  EXPECT_EQ(field_name(repaired.buttons[20].macro_name).size(), 23u);
  EXPECT_TRUE(traces.contains("profile 1: name had no terminating zero"));
  EXPECT_TRUE(traces.contains("macro event count 500 clamped to 190"));
  EXPECT_TRUE(read_bytes(aside_file()) == bytes);
}

TEST_F(ProfileStoreTest, OutOfRangeValuesAreSetToTheirDefaultsAndTheRestOfTheProfileIsKept) {
  auto bytes = store_bytes(0, 2);
  ProfileRecord record;
  std::memcpy(&record, bytes.data() + kHead + kRecord, kRecord);
  const ProfileRecord sound = record;
  record.dpi_value[2] = INT32_MIN;
  record.polling_rate = 9;
  record.buttons[3].function = 255;
  record.buttons[5].macro_mode = -4;
  record.buttons[6].macro_repeat = 70000;
  record.buttons[7].shortcut_modifiers = 0xF1;
  std::memcpy(bytes.data() + kHead + kRecord, &record, kRecord);
  write_bytes(store_path(), bytes);

  TraceRecorder traces;
  EXPECT_EQ(load().outcome, LoadOutcome::repaired);
  ProfileRecord defaults{};
  reset_profile_defaults(defaults);
  ProfileRecord expected = sound;
  expected.dpi_value[2] = defaults.dpi_value[2];
  expected.polling_rate = defaults.polling_rate;
  expected.buttons[3].function = defaults.buttons[3].function;
  expected.buttons[3].function_param = defaults.buttons[3].function_param;
  expected.buttons[5].macro_mode = defaults.buttons[5].macro_mode;
  expected.buttons[6].macro_repeat = defaults.buttons[6].macro_repeat;
  expected.buttons[7].shortcut_modifiers = defaults.buttons[7].shortcut_modifiers;
  EXPECT_EQ(std::memcmp(page.profiles[1].get(), &expected, kRecord), 0);
  EXPECT_EQ(std::memcmp(page.profiles[0].get(), bytes.data() + kHead, kRecord), 0);
  EXPECT_TRUE(traces.contains("profile 1: dpi_value[2] -2147483648 set to 32"));
  EXPECT_TRUE(traces.contains("profile 1: polling_rate 9 set to"));
  EXPECT_TRUE(traces.contains("profile 1 button 3: function 255 set to"));
  EXPECT_TRUE(traces.contains("profile 1 button 5: macro mode -4 set to"));
  EXPECT_TRUE(traces.contains("profile 1 button 6: macro repeat 70000 set to"));
  EXPECT_TRUE(traces.contains("profile 1 button 7: shortcut modifiers 0xF1 set to"));
  EXPECT_TRUE(read_bytes(aside_file()) == bytes);
}

TEST_F(ProfileStoreTest, RandomBytesLoadIntoAValidListWithoutLosingTheFile) {
  std::mt19937 random(7);
  for (size_t size : {size_t{100}, kHead + 3 * kRecord + 77}) {
    SCOPED_TRACE(size);
    TempFolder case_folder;
    std::vector<uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    write_bytes(case_folder / "pro.data", bytes);
    ProfileState fresh;
    const LoadResult result = load_profile_store(fresh, case_folder.path(), kAddText, options);

    EXPECT_NE(result.outcome, LoadOutcome::loaded);
    EXPECT_TRUE(read_bytes(result.aside_path) == bytes);
    ASSERT_FALSE(fresh.profiles.empty());
    EXPECT_EQ(fresh.current_profile, fresh.profiles[static_cast<size_t>(fresh.selected_profile_index())].get());
    for (const auto& p : fresh.profiles) {
      EXPECT_LT(field_name(p->name).size(), 100u);
      for (const ButtonSlot& slot : p->buttons) EXPECT_LE(slot.macro_event_count, 190);
    }
  }
}

TEST_F(ProfileStoreTest, AStoreThatCannotBeReadIsMovedAsideWhole) {
  std::filesystem::create_directories(folder / "pro.data");
  write_bytes(folder / "pro.data/inside", {1, 2, 3});
  const LoadResult result = load();
  EXPECT_EQ(result.outcome, LoadOutcome::damaged_moved_aside);
  EXPECT_TRUE(read_bytes(result.aside_path + "/inside") == std::vector<uint8_t>({1, 2, 3}));
  EXPECT_EQ(read_bytes(store_path()).size(), 609268u);
}

TEST_F(ProfileStoreTest, AStoreIsReadIntoOneBlockThatGoesWithItsProfiles) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "records are ordinary allocations under AddressSanitizer";
#endif
  write_bytes(store_path(), store_bytes(0, 40));
  const size_t before = record_blocks_in_use();
  ASSERT_EQ(load().outcome, LoadOutcome::loaded);
  ASSERT_EQ(page.profiles.size(), 40u);
  EXPECT_EQ(record_blocks_in_use(), before + 1);
  EXPECT_EQ(reinterpret_cast<char*>(page.profiles[39].get()) - reinterpret_cast<char*>(page.profiles[0].get()),
            static_cast<std::ptrdiff_t>(39 * sizeof(ProfileRecord)));
  page.current_profile = nullptr;
  page.profiles.clear();
  EXPECT_EQ(record_blocks_in_use(), before);
}
