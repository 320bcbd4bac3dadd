// A store save writes only when the bytes differ from what the last load or save of
// that file left on disk, and only while that file is still there as it was left.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "storage/macro_library_edit.h"
#include "storage/macro_store.h"
#include "storage/profile_file.h"
#include "storage/profile_store.h"
#include "storage/store_writer.h"
#include "store_test_support.h"

using namespace norvane;
using namespace norvane::test;

namespace {

// Twenty profiles make an image of more than 2 MB, the size that gets huge pages.
constexpr size_t kProfiles = 20;

std::vector<uint8_t> image_of(const ProfileState& page) {
  std::vector<uint8_t> bytes(profile_store_bytes(page.profiles.size()));
  copy_profile_store_image(*page.head, page.profiles, std::as_writable_bytes(std::span(bytes)));
  return bytes;
}

std::vector<uint8_t> image_of(const MacroLibrary& library) {
  std::vector<uint8_t> bytes(macro_store_bytes(library.size()));
  copy_macro_store_image(library, std::as_writable_bytes(std::span(bytes)));
  return bytes;
}

class UnchangedSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (size_t i = 0; i < kProfiles; ++i) create_default_profile(page.profiles, u"P");
    page.select_current_unlocked();
    ASSERT_TRUE(save_profile_store(page, folder.path(), &no_sync));
  }

  SaveResult save() {
    calls.clear();
    return save_profile_store(page, folder.path(), &calls);
  }
  // The save wrote the whole list, and the file holds it.
  void expect_written() {
    EXPECT_EQ(calls.written, profile_store_bytes(page.profiles.size()));
    EXPECT_EQ(calls.renames, 1u);
    EXPECT_TRUE(read_bytes(store_path()) == image_of(page));
  }
  void expect_nothing_written(const std::vector<uint8_t>& on_disk) {
    EXPECT_TRUE(calls.touched_nothing()) << calls.created << " created, " << calls.written << " bytes written";
    EXPECT_TRUE(read_bytes(store_path()) == on_disk);
  }
  std::string store_path() const { return folder / "pro.data"; }

  TempFolder folder;
  NoSyncFileOps no_sync;
  RecordingFileOps calls;
  ProfileState page;
};

}  // namespace

TEST_F(UnchangedSaveTest, AnUnchangedListWritesNothingAndAnyChangedByteWrites) {
  ASSERT_TRUE(save());
  expect_nothing_written(image_of(page));

  const std::vector<std::pair<const char*, std::function<void()>>> changes = {
      {"a byte in the middle profile", [&] { page.profiles[kProfiles / 2]->light_brightness ^= 1; }},
      {"the last byte of the last profile",
       [&] { reinterpret_cast<uint8_t*>(page.profiles.back().get())[sizeof(ProfileRecord) - 1] ^= 0x80; }},
      {"a reserved byte of the head", [&] { page.head->reserved[sizeof page.head->reserved / 2] = 7; }},
      {"the selected index", [&] { page.head->selected_profile_index = 3; }},
      {"a profile added", [&] { create_default_profile(page.profiles, u"P"); }},
      {"the last profile removed, leaving the others as they were", [&] { page.profiles.pop_back(); }},
  };
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    change();
    ASSERT_TRUE(save());
    expect_written();
    ASSERT_TRUE(save());
    expect_nothing_written(image_of(page));
  }
}

// A save that failed may have been the one that was to put these bytes on disk: the
// next save of the same list must not take them for written.
TEST_F(UnchangedSaveTest, AfterAFailedSaveTheSameListIsWrittenAgain) {
  FaultyFileOps faulty;
  for (int failure = 0; failure < 3; ++failure) {
    SCOPED_TRACE(failure);
    page.profiles[failure]->light_brightness ^= 1;
    faulty.write_budget = failure == 0 ? kProfileStoreHeadBytes : SIZE_MAX;
    faulty.fail_fsync = failure == 1;
    faulty.fail_rename = failure == 2;
    const auto old_bytes = read_bytes(store_path());
    ASSERT_FALSE(save_profile_store(page, folder.path(), &faulty).ok());
    ASSERT_TRUE(read_bytes(store_path()) == old_bytes);

    ASSERT_TRUE(save());
    expect_written();
  }
}

// Anything that happened to the file since the last save makes the next save write,
// even when the list did not change: the file may no longer hold it.
TEST_F(UnchangedSaveTest, AFileChangedOnDiskSinceTheLastSaveIsWrittenAgain) {
  const auto other_bytes = [&] {
    auto bytes = image_of(page);
    bytes[kProfileStoreHeadBytes + 10] ^= 0xFF;
    return bytes;
  };
  const std::vector<std::pair<const char*, std::function<void()>>> happenings = {
      {"deleted", [&] { std::filesystem::remove(store_path()); }},
      {"replaced by another file",
       [&] {
         write_bytes(folder / "other", other_bytes());
         std::filesystem::rename(folder / "other", store_path());
       }},
      {"written in place, same size, another modification time",
       [&] {
         const int fd = ::open(store_path().c_str(), O_WRONLY);
         ASSERT_GE(fd, 0);
         const uint8_t byte = 0x5A;
         ASSERT_EQ(::pwrite(fd, &byte, 1, static_cast<off_t>(kProfileStoreHeadBytes + 10)), 1);
         const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
         ASSERT_EQ(::futimens(fd, times), 0);
         ::close(fd);
       }},
      {"made readable by others", [&] { ASSERT_EQ(::chmod(store_path().c_str(), 0644), 0); }},
      {"overwritten by a profile export", [&] {
         ASSERT_TRUE(write_profile_file(*page.profiles[0], store_path(), &no_sync).ok());
       }},
  };
  for (const auto& [what, happen] : happenings) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(save());
    happen();
    ASSERT_TRUE(save());
    expect_written();
    EXPECT_EQ(std::filesystem::status(store_path()).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  }
}

TEST_F(UnchangedSaveTest, AStoreInAnotherFolderIsAFileOfItsOwn) {
  TempFolder elsewhere;
  calls.clear();
  ASSERT_TRUE(save_profile_store(page, elsewhere.path(), &calls));
  EXPECT_EQ(calls.written, profile_store_bytes(kProfiles));
  EXPECT_TRUE(read_bytes(elsewhere / "pro.data") == image_of(page));
  ASSERT_TRUE(save());
  expect_nothing_written(image_of(page));
}

TEST(UnchangedSaveAfterLoad, AStoreLoadedAsItIsOrRepairedAndWrittenIsNotWrittenAgain) {
  NoSyncFileOps no_sync;
  RecordingFileOps calls;
  ProfileState stored;
  for (int i = 0; i < 3; ++i) create_default_profile(stored.profiles, u"Stored");
  stored.head->selected_profile_index = 1;
  const auto whole = image_of(stored);
  auto cut_short = whole;
  cut_short.resize(cut_short.size() - 100);
  auto index_out_of_range = whole;
  index_out_of_range[0] = 9;

  const std::vector<std::pair<const char*, std::vector<uint8_t>>> files = {
      {"as stored", whole}, {"a cut-short profile dropped", cut_short}, {"the index repaired", index_out_of_range}};
  for (const auto& [what, bytes] : files) {
    SCOPED_TRACE(what);
    TempFolder folder;
    write_bytes(folder / "pro.data", bytes);
    ProfileState page;
    const LoadResult loaded = load_profile_store(page, folder.path(), u"P", {&no_sync, 1700000000});
    ASSERT_TRUE(!loaded.saved || loaded.save.ok());
    const auto on_disk = read_bytes(folder / "pro.data");
    ASSERT_TRUE(on_disk == image_of(page));

    calls.clear();
    ASSERT_TRUE(save_profile_store(page, folder.path(), &calls));
    EXPECT_TRUE(calls.touched_nothing());
    EXPECT_TRUE(read_bytes(folder / "pro.data") == on_disk);
  }

  // The first start: the default store the load created is not written again.
  TempFolder first_start;
  ProfileState page;
  ASSERT_EQ(load_profile_store(page, first_start.path(), u"P", {&no_sync, 0}).outcome, LoadOutcome::created_default);
  calls.clear();
  ASSERT_TRUE(save_profile_store(page, first_start.path(), &calls));
  EXPECT_TRUE(calls.touched_nothing());
}

// A load that repairs a record in memory without writing the repaired store leaves the
// file as it was: the next save must write the repaired list. Here the disk is full,
// so the load's save fails; or, with no second name to be had for the original either,
// the load keeps it in place and does not write at all.
TEST(UnchangedSaveAfterLoad, ARepairTheLoadDidNotWriteIsWrittenByTheNextSave) {
  class NoLinks : public FaultyFileOps {
   public:
    int link(const char*, const char*) override {
      errno = EPERM;
      return -1;
    }
  };
  FaultyFileOps full_disk;
  NoLinks full_disk_without_links;
  for (FaultyFileOps* ops : {&full_disk, static_cast<FaultyFileOps*>(&full_disk_without_links)}) {
    SCOPED_TRACE(ops == &full_disk ? "the save failed" : "nothing written");
    TempFolder folder;
    ProfileState stored;
    create_default_profile(stored.profiles, u"Stored");
    auto bytes = image_of(stored);
    bytes[0] = 5;  // the selected index: out of range, repaired to 0
    write_bytes(folder / "pro.data", bytes);

    ops->write_budget = 0;
    ProfileState page;
    const LoadResult loaded = load_profile_store(page, folder.path(), u"P", {ops, 1700000000});
    ASSERT_EQ(loaded.outcome, LoadOutcome::repaired);
    ASSERT_FALSE(loaded.saved && loaded.save.ok());
    ASSERT_TRUE(read_bytes(folder / "pro.data") == bytes);

    RecordingFileOps calls;
    ASSERT_TRUE(save_profile_store(page, folder.path(), &calls));
    EXPECT_EQ(calls.written, bytes.size());
    EXPECT_TRUE(read_bytes(folder / "pro.data") == image_of(page));
  }
}

TEST(UnchangedMacroSave, WritesOnlyWhatChangedDirectlyAndThroughTheStoreWriter) {
  TempFolder folder;
  const std::string path = folder / "macro.data";
  MacroLibrary library;
  for (int i = 0; i < 3; ++i) {
    library.push_back(std::make_unique<MacroRecord>());
    set_field_name(library.back()->name, u"M" + std::u16string(1, static_cast<char16_t>(u'0' + i)));
  }
  write_bytes(path, image_of(library));
  MacroLibrary loaded;
  ASSERT_EQ(load_macro_store(loaded, folder.path()).outcome, LoadOutcome::loaded);

  RecordingFileOps calls;
  ASSERT_TRUE(save_macro_store(loaded, folder.path(), &calls));
  EXPECT_TRUE(calls.touched_nothing());

  loaded[1]->events[0] = MacroEvent{0, 4, 1, 0, 10, 0, 3, 4};
  loaded[1]->event_count = 1;
  ASSERT_TRUE(save_macro_store(loaded, folder.path(), &calls));
  EXPECT_EQ(calls.written, macro_store_bytes(3));
  EXPECT_TRUE(read_bytes(path) == image_of(loaded));

  calls.clear();
  ASSERT_TRUE(delete_macro(loaded, 2, folder.path(), &calls).ok());
  EXPECT_EQ(calls.written, macro_store_bytes(2));

  // Through the writer: the image taken on this thread is compared on the writer's.
  StoreWriter writer(&calls);
  calls.clear();
  writer.save_macro_store(loaded, folder.path());
  writer.wait_idle();
  EXPECT_TRUE(calls.touched_nothing());
  loaded.clear();
  writer.save_macro_store(loaded, folder.path());
  writer.wait_idle();
  EXPECT_EQ(calls.renames, 1u);
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
}
