// The store writer: saves return at once whatever the disk does, the last copy of a
// file wins, and every failure comes back with its folder and reason.

#include "storage/store_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "storage/macro_store.h"
#include "storage/profile_store.h"
#include "storage/store_image.h"
#include "store_test_support.h"

using namespace norvane;
using namespace norvane::test;

namespace {

void rename_current(ProfileState& page, std::u16string_view name) {
  page.edit_current([&](ProfileRecord& record) { set_field_name(record.name, name); });
}

std::u16string stored_profile_name(const std::string& folder) {
  const auto bytes = read_bytes(folder + "/pro.data");
  if (bytes.size() < profile_store_bytes(1)) return u"<none>";
  ProfileRecord record;
  std::memcpy(&record, bytes.data() + kProfileStoreHeadBytes, sizeof record);
  return std::u16string(field_name(record.name));
}

size_t count_created(const std::vector<std::string>& paths, const std::string& file) {
  return static_cast<size_t>(
      std::count_if(paths.begin(), paths.end(), [&](const std::string& p) { return p.find(file) != std::string::npos; }));
}

class StoreWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    create_default_profile(page.profiles, u"A");
    page.select_current_unlocked();
  }

  TempFolder folder;
  ProfileState page;
  MacroLibrary library;
};

}  // namespace

// A save on a disk that does not answer (a huge store, a slow or hung mount) must not
// hold the thread that asked for it, nor the profile list's lock while it writes.
TEST_F(StoreWriterTest, ASaveReturnsAtOnceAndTheLastCopyOfEachFileWins) {
  GatedFileOps gate;
  gate.close_gate();
  StoreWriter writer(&gate);

  rename_current(page, u"First");
  writer.save_profile_store(page, folder.path());
  ASSERT_TRUE(gate.wait_until_a_write_waits());
  EXPECT_NE(gate.writing_threads().front(), std::this_thread::get_id());
  {
    std::unique_lock<std::mutex> lock(page.mutex, std::try_to_lock);
    EXPECT_TRUE(lock.owns_lock()) << "the list is copied before the write, not held during it";
  }

  // While the first write hangs, more saves come: only the last of each file is written.
  rename_current(page, u"Second");
  writer.save_profile_store(page, folder.path());
  rename_current(page, u"Third");
  writer.save_profile_store(page, folder.path());
  library.push_back(std::make_unique<MacroRecord>());
  writer.save_macro_store(library, folder.path());
  library.push_back(std::make_unique<MacroRecord>());
  writer.save_macro_store(library, folder.path());
  library.clear();  // the image was taken at the call: the library may change at once

  gate.open_gate();
  writer.wait_idle();
  EXPECT_TRUE(gate.every_write_let_through());
  EXPECT_EQ(stored_profile_name(folder.path()), u"Third");
  EXPECT_EQ(count_created(gate.created(), "pro.data"), 2u);
  EXPECT_EQ(read_bytes(folder / "macro.data").size(), macro_store_bytes(2));
  EXPECT_EQ(count_created(gate.created(), "macro.data"), 1u);
}

TEST_F(StoreWriterTest, AFailedSaveComesBackWithItsFolderAndReasonAndTheNextSaveTriesAgain) {
  FaultyFileOps faulty;
  std::mutex mutex;
  std::vector<StoreSaveOutcome> outcomes;
  StoreWriter writer(&faulty);
  writer.set_outcome_handler([&](const StoreSaveOutcome& outcome) {
    std::lock_guard<std::mutex> lock(mutex);
    outcomes.push_back(outcome);
  });

  writer.save_profile_store(page, folder.path());
  writer.wait_idle();
  rename_current(page, u"Changed");
  faulty.write_budget = 0;  // the disk is full
  writer.save_profile_store(page, folder.path());
  writer.save_macro_store(library, folder.path() + "/pro.data");  // a file where a folder should be
  writer.wait_idle();
  EXPECT_EQ(stored_profile_name(folder.path()), u"A1") << "the old store stays whole";

  faulty.write_budget = SIZE_MAX;
  writer.save_profile_store(page, folder.path());
  writer.wait_idle();
  EXPECT_EQ(stored_profile_name(folder.path()), u"Changed");

  std::lock_guard<std::mutex> lock(mutex);
  ASSERT_EQ(outcomes.size(), 4u);
  EXPECT_TRUE(outcomes[0].result.ok());
  EXPECT_EQ(outcomes[1].folder, folder.path());
  EXPECT_EQ(outcomes[1].result.error, std::errc::no_space_on_device);
  EXPECT_EQ(outcomes[2].result.error, std::errc::not_a_directory);
  EXPECT_TRUE(outcomes[3].result.ok());
}

TEST_F(StoreWriterTest, GoingAwayWritesWhatIsQueued) {
  GatedFileOps gate;
  gate.close_gate();
  {
    StoreWriter writer(&gate);
    writer.save_profile_store(page, folder.path());
    ASSERT_TRUE(gate.wait_until_a_write_waits());
    rename_current(page, u"Last");
    writer.save_profile_store(page, folder.path());
    gate.open_gate();
  }
  EXPECT_EQ(stored_profile_name(folder.path()), u"Last");
}
