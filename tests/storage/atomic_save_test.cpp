#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <cstring>
#include <thread>

#include "storage/macro_store.h"
#include "storage/profile_store.h"
#include "store_test_support.h"

using namespace norvane;
using namespace norvane::test;

namespace {

constexpr size_t kHead = 507724;
constexpr size_t kRecord = 101544;

class AtomicSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 2; ++i) create_default_profile(page.profiles, u"Old");
    ASSERT_TRUE(save_profile_store(page, folder.path(), &no_sync));
    old_bytes = read_bytes(folder / "pro.data");
    // The list the failing save tries to write.
    create_default_profile(page.profiles, u"New");
    page.head->selected_profile_index = 2;
  }

  // The old store is in place, whole and loadable, with nothing left beside it.
  void expect_old_store_intact() {
    EXPECT_TRUE(read_bytes(folder / "pro.data") == old_bytes);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"pro.data"});
    ProfileState reloaded;
    EXPECT_EQ(load_profile_store(reloaded, folder.path(), u"Old", {&no_sync, 0}).outcome, LoadOutcome::loaded);
    EXPECT_EQ(reloaded.profiles.size(), 2u);
  }

  TempFolder folder;
  NoSyncFileOps no_sync;
  FaultyFileOps faulty;
  ProfileState page;
  std::vector<uint8_t> old_bytes;
};

}  // namespace

TEST_F(AtomicSaveTest, AWriteThatFailsPartWayLeavesTheOldStore) {
  for (size_t budget : {size_t{0}, size_t{1}, kHead, kHead + kRecord + 10, kHead + 3 * kRecord - 1}) {
    SCOPED_TRACE(budget);
    faulty.write_budget = budget;
    const SaveResult result = save_profile_store(page, folder.path(), &faulty);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.error, std::errc::no_space_on_device);
    expect_old_store_intact();
  }
}

TEST_F(AtomicSaveTest, AFailedFlushOrRenameLeavesTheOldStore) {
  faulty.fail_fsync = true;
  EXPECT_EQ(save_profile_store(page, folder.path(), &faulty).error, std::errc::io_error);
  expect_old_store_intact();
  faulty.fail_fsync = false;
  faulty.fail_rename = true;
  EXPECT_FALSE(save_profile_store(page, folder.path(), &faulty).ok());
  expect_old_store_intact();
  faulty.fail_rename = false;
  ASSERT_TRUE(save_profile_store(page, folder.path(), &faulty));
  EXPECT_EQ(read_bytes(folder / "pro.data").size(), kHead + 3 * kRecord);
}

TEST_F(AtomicSaveTest, AFolderThatCannotBeCreatedIsReportedAndTheLoadKeepsItsDefaults) {
  write_bytes(folder / "Data", {1});  // a file where the data folder should be
  ProfileState fresh;
  const LoadResult result = load_profile_store(fresh, folder / "Data/ms_1", u"P", {&no_sync, 0});
  EXPECT_TRUE(result.saved);
  EXPECT_FALSE(result.save.ok());
  EXPECT_EQ(fresh.profiles.size(), 1u);
  MacroLibrary macros;
  EXPECT_FALSE(save_macro_store(macros, folder / "Data/ms_1", &no_sync).ok());
}

TEST_F(AtomicSaveTest, TemporaryFilesOfAnInterruptedSaveAreRemovedAtLoad) {
  write_bytes(folder / "pro.data.tmp-123-0", std::vector<uint8_t>(50, 1));
  write_bytes(folder / "pro.data.keep", {2});
  ProfileState reloaded;
  load_profile_store(reloaded, folder.path(), u"Old", {&no_sync, 0});
  const auto names = folder.names();
  EXPECT_EQ(std::count(names.begin(), names.end(), "pro.data.tmp-123-0"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "pro.data.keep"), 1);
}

// The UI thread grows and shrinks the list while two workers save it. Every file on
// disk must be a list as it was at one moment: N records, the last one selected and
// named after its position.
TEST(ConcurrentSaves, NeverWriteATornList) {
  TempFolder folder;
  NoSyncFileOps no_sync;
  ProfileState page;
  create_default_profile(page.profiles, u"P");
  std::atomic<bool> done{false};
  std::atomic<int> torn{0}, failed{0}, saves{0};

  auto saver = [&] {
    while (!done) {
      if (!save_profile_store(page, folder.path(), &no_sync)) ++failed;
      ++saves;
      const auto bytes = read_bytes(folder / "pro.data");
      if (bytes.size() < kHead + kRecord || (bytes.size() - kHead) % kRecord != 0) {
        ++torn;
        continue;
      }
      const size_t n = (bytes.size() - kHead) / kRecord;
      int32_t selected;
      std::memcpy(&selected, bytes.data(), 4);
      ProfileRecord last;
      std::memcpy(&last, bytes.data() + kHead + (n - 1) * kRecord, kRecord);
      if (static_cast<size_t>(selected) != n - 1 || field_name(last.name) != numbered_name(u"P", n)) ++torn;
    }
  };
  std::thread first(saver), second(saver);
  bool growing = true;
  while (saves < 40) {
    {
      std::lock_guard<std::mutex> lock(page.mutex);
      if (growing) {
        create_default_profile(page.profiles, u"P");
      } else {
        page.profiles.pop_back();
      }
      if (page.profiles.size() == 6 || page.profiles.size() == 1) growing = !growing;
      page.head->selected_profile_index = static_cast<int32_t>(page.profiles.size() - 1);
      page.select_current_unlocked();
    }
    std::this_thread::yield();
  }
  done = true;
  first.join();
  second.join();

  EXPECT_EQ(torn, 0);
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"pro.data"});
}

namespace {

// Records the order of renames; the first write of `hold` waits until released.
struct OrderedOps : NoSyncFileOps {
  OrderedOps(std::vector<std::string>& order, std::mutex& order_mutex, std::string name)
      : order(order), order_mutex(order_mutex), name(std::move(name)) {}
  ssize_t write(int fd, const void* data, size_t size) override {
    if (hold && !held) {
      held = true;
      writing.set_value();
      release.get_future().wait();
    }
    return NoSyncFileOps::write(fd, data, size);
  }
  int rename(const char* from, const char* to) override {
    const int r = NoSyncFileOps::rename(from, to);
    std::lock_guard<std::mutex> lock(order_mutex);
    order.push_back(name);
    return r;
  }
  std::vector<std::string>& order;
  std::mutex& order_mutex;
  std::string name;
  bool hold = false, held = false;
  std::promise<void> writing, release;
};

}  // namespace

// A save that took its copy first and is still writing, and a second save that
// starts after the list changed: the second one's list is what stays on disk.
TEST(ConcurrentSaves, TheLastSnapshotWins) {
  TempFolder folder;
  ProfileState page;
  create_default_profile(page.profiles, u"P");
  std::vector<std::string> order;
  std::mutex order_mutex;
  OrderedOps slow(order, order_mutex, "first"), fast(order, order_mutex, "second");
  slow.hold = true;

  std::thread first([&] { EXPECT_TRUE(save_profile_store(page, folder.path(), &slow)); });
  slow.writing.get_future().wait();
  {
    std::lock_guard<std::mutex> lock(page.mutex);  // not held by the writing save
    create_default_profile(page.profiles, u"P");
    page.head->selected_profile_index = 1;
  }
  std::thread second([&] { EXPECT_TRUE(save_profile_store(page, folder.path(), &fast)); });
  slow.release.set_value();
  first.join();
  second.join();

  EXPECT_EQ(order, (std::vector<std::string>{"first", "second"}));
  const auto bytes = read_bytes(folder / "pro.data");
  EXPECT_EQ(bytes.size(), kHead + 2 * kRecord);
  EXPECT_EQ(bytes[0], 1);
}
