// Store names that someone else may have put in a shared data folder: links to other
// files, named pipes, endless devices and huge files are moved aside unread, and
// everything the stores write is the user's alone.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>

#include "core/profile_defaults.h"
#include "storage/macro_file.h"
#include "storage/macro_store.h"
#include "storage/profile_file.h"
#include "storage/profile_store.h"
#include "store_test_support.h"

using namespace norvane;
using namespace norvane::test;
namespace fs = std::filesystem;

namespace {

// An upper bound only: a load that works returns at once.
constexpr auto kGenerous = std::chrono::seconds(20);

struct stat entry_status(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return info;
}

mode_t permissions(const std::string& path) { return entry_status(path).st_mode & 07777; }

// A profile store of one profile named "Secret": the file another user must not get
// copied into our store.
std::vector<uint8_t> secret_profile_store() {
  ProfileState page;
  auto record = std::make_unique<ProfileRecord>();
  reset_profile_defaults(*record);
  set_field_name(record->name, u"Secret");
  page.profiles.push_back(std::move(record));
  std::vector<uint8_t> bytes(profile_store_bytes(1));
  copy_profile_store_image(*page.head, page.profiles, std::as_writable_bytes(std::span(bytes)));
  return bytes;
}

// Sets umask to 0 while it lives, so the modes seen are the ones the code asked for.
class OpenUmask {
 public:
  OpenUmask() : previous_(::umask(0)) {}
  ~OpenUmask() { ::umask(previous_); }

 private:
  mode_t previous_;
};

enum class Planted { link_to_other_file, link_to_dev_zero, named_pipe };

std::string planted_name(Planted p) {
  switch (p) {
    case Planted::link_to_other_file: return "link to another file";
    case Planted::link_to_dev_zero: return "link to /dev/zero";
    case Planted::named_pipe: return "named pipe";
  }
  return "?";
}

class PlantedStoreEntry : public ::testing::TestWithParam<Planted> {
 protected:
  // Puts the planted entry where `file_name` should be.
  void plant(const std::string& file_name) {
    const std::string path = folder / file_name;
    switch (GetParam()) {
      case Planted::link_to_other_file:
        write_bytes(elsewhere / "private", secret);
        ASSERT_EQ(::symlink((elsewhere / "private").c_str(), path.c_str()), 0);
        break;
      case Planted::link_to_dev_zero:
        ASSERT_EQ(::symlink("/dev/zero", path.c_str()), 0);
        break;
      case Planted::named_pipe:
        ASSERT_EQ(::mkfifo(path.c_str(), 0666), 0);
        break;
    }
    planted_type = entry_status(path).st_mode & S_IFMT;
  }

  // Runs `load` and fails (after unblocking it) if it waits on the planted entry.
  template <typename Load>
  LoadResult load_without_blocking(const std::string& file_name, Load load) {
    auto running = std::async(std::launch::async, load);
    if (running.wait_for(kGenerous) == std::future_status::timeout) {
      // A reader waits on the pipe: a writer that closes at once lets it go on.
      const int fd = ::open((folder / file_name).c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) ::close(fd);
      ADD_FAILURE() << "the load waited on the " << planted_name(GetParam());
    }
    return running.get();
  }

  void expect_moved_aside_unread(const LoadResult& result) {
    EXPECT_EQ(result.outcome, LoadOutcome::damaged_moved_aside) << result.message;
    ASSERT_FALSE(result.aside_path.empty());
    EXPECT_EQ(entry_status(result.aside_path).st_mode & S_IFMT, planted_type) << "set aside as it was";
    if (GetParam() == Planted::link_to_other_file) {
      EXPECT_TRUE(read_bytes(elsewhere / "private") == secret);
    }
  }

  TempFolder folder, elsewhere;
  NoSyncFileOps no_sync;
  StoreOptions options{&no_sync, 1700000000};
  const std::vector<uint8_t> secret = secret_profile_store();
  mode_t planted_type = 0;
};

}  // namespace

TEST_P(PlantedStoreEntry, InPlaceOfTheProfileStoreIsMovedAsideUnreadAndTheDefaultsWritten) {
  plant("pro.data");
  ProfileState page;
  const LoadResult result = load_without_blocking(
      "pro.data", [&] { return load_profile_store(page, folder.path(), u"Profile", options); });

  expect_moved_aside_unread(result);
  ASSERT_EQ(page.profiles.size(), 1u);
  EXPECT_EQ(field_name(page.profiles[0]->name), u"Profile1");
  EXPECT_TRUE(S_ISREG(entry_status(folder / "pro.data").st_mode));
  EXPECT_EQ(read_bytes(folder / "pro.data").size(), profile_store_bytes(1));
}

TEST_P(PlantedStoreEntry, InPlaceOfTheMacroStoreIsMovedAsideUnreadAndTheLibraryStartsEmpty) {
  plant("macro.data");
  MacroLibrary library;
  const LoadResult result =
      load_without_blocking("macro.data", [&] { return load_macro_store(library, folder.path(), options); });

  expect_moved_aside_unread(result);
  EXPECT_TRUE(library.empty());
  struct stat info;
  EXPECT_NE(::lstat((folder / "macro.data").c_str(), &info), 0);
}

INSTANTIATE_TEST_SUITE_P(Entries, PlantedStoreEntry,
                         ::testing::Values(Planted::link_to_other_file, Planted::link_to_dev_zero,
                                           Planted::named_pipe),
                         [](const auto& info) {
                           std::string name = planted_name(info.param);
                           for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

// Files far larger than any store the program writes are not read into memory: they
// are moved aside whole (a sparse file stands in for a huge one, costing no disk).
TEST(OversizedStores, AreMovedAsideUnreadInsteadOfFillingMemory) {
  TempFolder folder;
  NoSyncFileOps no_sync;
  const StoreOptions options{&no_sync, 1700000000};
  const auto make_sparse = [&](const std::string& name, size_t bytes) {
    const int fd = ::open((folder / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(bytes)), 0);
    ::close(fd);
  };
  const size_t too_many_profiles = profile_store_bytes(kMaxStoredProfiles + 1);
  const size_t too_many_macros = macro_store_bytes(kMaxStoredMacros + 1);
  make_sparse("pro.data", too_many_profiles);
  make_sparse("macro.data", too_many_macros);
  const ino_t profile_inode = entry_status(folder / "pro.data").st_ino;

  ProfileState page;
  const LoadResult profiles = load_profile_store(page, folder.path(), u"Profile", options);
  EXPECT_EQ(profiles.outcome, LoadOutcome::damaged_moved_aside) << profiles.message;
  EXPECT_EQ(page.profiles.size(), 1u);
  ASSERT_FALSE(profiles.aside_path.empty());
  EXPECT_EQ(entry_status(profiles.aside_path).st_ino, profile_inode) << "moved, not copied";
  EXPECT_EQ(static_cast<size_t>(entry_status(profiles.aside_path).st_size), too_many_profiles);

  MacroLibrary library;
  const LoadResult macros = load_macro_store(library, folder.path(), options);
  EXPECT_EQ(macros.outcome, LoadOutcome::damaged_moved_aside) << macros.message;
  EXPECT_TRUE(library.empty());
  ASSERT_FALSE(macros.aside_path.empty());
  EXPECT_EQ(static_cast<size_t>(entry_status(macros.aside_path).st_size), too_many_macros);

  // A store at the limit is still a store.
  make_sparse("macro.data", macro_store_bytes(kMaxStoredMacros));
  EXPECT_NE(load_macro_store(library, folder.path(), options).outcome, LoadOutcome::damaged_moved_aside);
  EXPECT_EQ(library.size(), kMaxStoredMacros);
}

// Stores, folders and copies of damaged stores are the user's alone, whatever the umask.
TEST(StoreFileModes, StoresAndTheirFoldersArePrivateAndACopyIsNeverWiderThanItsOriginal) {
  const OpenUmask open_umask;
  TempFolder folder;
  NoSyncFileOps no_sync;
  const std::string store_folder = folder / "Data/ms_1";

  ProfileState page;
  load_profile_store(page, store_folder, u"Profile", {&no_sync, 0});
  ASSERT_TRUE(save_macro_store(MacroLibrary{}, store_folder, &no_sync));
  EXPECT_EQ(permissions(store_folder + "/pro.data"), 0600u);
  EXPECT_EQ(permissions(store_folder + "/macro.data"), 0600u);
  EXPECT_EQ(permissions(folder / "Data"), 0700u);
  EXPECT_EQ(permissions(store_folder), 0700u);

  // A store written by someone with a wider umask becomes private with the next save.
  ASSERT_EQ(::chmod((store_folder + "/pro.data").c_str(), 0644), 0);
  ASSERT_TRUE(save_profile_store(page, store_folder, &no_sync));
  EXPECT_EQ(permissions(store_folder + "/pro.data"), 0600u);

  // Where the original cannot get a second name, its repaired store is kept aside as
  // a copy; the copy is readable by no one the original was not.
  class NoLinks : public NoSyncFileOps {
   public:
    int link(const char*, const char*) override {
      errno = EPERM;
      return -1;
    }
  } no_links;
  auto bytes = read_bytes(store_folder + "/pro.data");
  bytes.resize(bytes.size() + 10);  // a cut-short record to drop: a repair, with a copy kept
  write_bytes(store_folder + "/pro.data", bytes);
  ASSERT_EQ(::chmod((store_folder + "/pro.data").c_str(), 0440), 0);
  ProfileState repaired;
  const LoadResult result = load_profile_store(repaired, store_folder, u"Profile", {&no_links, 1700000000});
  ASSERT_EQ(result.outcome, LoadOutcome::repaired);
  ASSERT_FALSE(result.aside_path.empty());
  EXPECT_TRUE(read_bytes(result.aside_path) == bytes);
  EXPECT_EQ(permissions(result.aside_path), 0400u);
  EXPECT_EQ(permissions(store_folder + "/pro.data"), 0600u);

  // Exported files may hold recorded keystrokes: the user's alone as well.
  ASSERT_TRUE(write_profile_file(*repaired.profiles[0], folder / "exported.pro", &no_sync).ok());
  ASSERT_TRUE(write_macro_file(folder / "exported.macro", MacroRecord{}, &no_sync).ok());
  EXPECT_EQ(permissions(folder / "exported.pro"), 0600u);
  EXPECT_EQ(permissions(folder / "exported.macro"), 0600u);
}
