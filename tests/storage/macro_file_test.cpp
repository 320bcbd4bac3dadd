// Macro files: a file written by export reads back byte for byte, and a file that is
// not a whole, sound macro is refused with its reason before it reaches the library.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>

#include "storage/macro_file.h"
#include "storage/record_names.h"
#include "store_test_support.h"

using namespace norvane;
using namespace norvane::test;

namespace {

MacroRecord jump() {
  MacroRecord record{};
  set_field_name(record.name, u"Jump");
  record.repeat = 7;
  record.event_count = 3;
  record.events[0] = MacroEvent{0, 44, kKindPress, 0, 30, 0, 0, 0};
  record.events[1] = MacroEvent{0, 44, kKindRelease, 0, 200, 0, 0, 0};
  record.events[2] = MacroEvent{0, kCodeMouseMove, kKindMove, 0, 1, 0, -12, 999};
  return record;
}

std::vector<uint8_t> bytes_of(const MacroRecord& record) {
  std::vector<uint8_t> bytes(sizeof record);
  std::memcpy(bytes.data(), &record, sizeof record);
  return bytes;
}

class MacroFileTest : public ::testing::Test {
 protected:
  std::string path(const char* name = "jump.macro") const { return folder / name; }
  MacroFileRead read_back(const MacroRecord& record) {
    write_bytes(path(), bytes_of(record));
    return read_macro_file(path());
  }
  TempFolder folder;
  NoSyncFileOps no_sync;
};

TEST_F(MacroFileTest, AnExportedMacroIsItsRecordAndReadsBackUnchanged) {
  const MacroRecord record = jump();
  ASSERT_TRUE(write_macro_file(path(), record, &no_sync));
  EXPECT_EQ(read_bytes(path()), bytes_of(record));

  const MacroFileRead read = read_macro_file(path());
  ASSERT_EQ(read.problem, MacroFileProblem::none) << read.detail;
  ASSERT_NE(read.record, nullptr);
  EXPECT_EQ(std::memcmp(read.record.get(), &record, sizeof record), 0);
  EXPECT_FALSE(read.name_cut);
}

TEST_F(MacroFileTest, AFailedWriteKeepsTheOldFile) {
  ASSERT_TRUE(write_macro_file(path(), jump(), &no_sync));
  MacroRecord other = jump();
  other.event_count = 0;
  FaultyFileOps full;
  full.write_budget = 100;
  const SaveResult result = write_macro_file(path(), other, &full);
  EXPECT_FALSE(result.ok());
  EXPECT_FALSE(result.detail.empty());
  EXPECT_EQ(read_bytes(path()), bytes_of(jump()));
  EXPECT_EQ(folder.names(), std::vector<std::string>{"jump.macro"}) << "no temporary file left";
}

TEST_F(MacroFileTest, FilesThatAreNotOneSoundMacroAreRefusedWithTheirReason) {
  std::vector<uint8_t> bytes = bytes_of(jump());
  bytes.pop_back();
  write_bytes(path(), bytes);
  EXPECT_EQ(read_macro_file(path()).problem, MacroFileProblem::wrong_size);
  bytes.push_back(0);
  bytes.push_back(0);
  write_bytes(path(), bytes);
  EXPECT_EQ(read_macro_file(path()).problem, MacroFileProblem::wrong_size);
  write_bytes(path(), {});
  EXPECT_EQ(read_macro_file(path()).problem, MacroFileProblem::wrong_size);

  MacroRecord record = jump();
  record.event_count = 191;
  EXPECT_EQ(read_back(record).problem, MacroFileProblem::bad_event_count);
  record.event_count = -1;
  EXPECT_EQ(read_back(record).problem, MacroFileProblem::bad_event_count);

  record = jump();
  record.events[1].kind = 3;
  EXPECT_EQ(read_back(record).problem, MacroFileProblem::bad_event_kind);
  record.event_count = 1;  // the odd event lies past the count: not part of the macro
  EXPECT_EQ(read_back(record).problem, MacroFileProblem::none);

  record = jump();  // 64 movements: 192 units
  record.event_count = 64;
  for (int i = 0; i < 64; ++i) record.events[i] = MacroEvent{0, kCodeMouseMove, kKindMove, 0, 1, 0, 1, 1};
  const MacroFileRead large = read_back(record);
  EXPECT_EQ(large.problem, MacroFileProblem::too_large);
  EXPECT_EQ(large.record, nullptr);
  EXPECT_NE(large.detail.find("192"), std::string::npos) << large.detail;
}

TEST_F(MacroFileTest, MissingFilesAndFoldersAreUnreadable) {
  const MacroFileRead missing = read_macro_file(path("none.macro"));
  EXPECT_EQ(missing.problem, MacroFileProblem::unreadable);
  EXPECT_EQ(missing.error, ENOENT);
  EXPECT_EQ(read_macro_file(folder.path()).problem, MacroFileProblem::unreadable);
}

// A file picked to import may be reached through a link; a named pipe or a device is
// refused at once instead of blocking the window or reading without end.
TEST_F(MacroFileTest, ALinkedFileImportsAndPipesAndDevicesAreRefusedWithoutWaiting) {
  write_bytes(path(), bytes_of(jump()));
  ASSERT_EQ(::symlink(path().c_str(), path("linked.macro").c_str()), 0);
  const MacroFileRead linked = read_macro_file(path("linked.macro"));
  ASSERT_EQ(linked.problem, MacroFileProblem::none) << linked.detail;
  EXPECT_EQ(field_name(linked.record->name), u"Jump");

  ASSERT_EQ(::mkfifo(path("pipe.macro").c_str(), 0600), 0);
  EXPECT_EQ(read_macro_file(path("pipe.macro")).problem, MacroFileProblem::unreadable);
  ASSERT_EQ(::symlink("/dev/zero", path("zero.macro").c_str()), 0);
  EXPECT_EQ(read_macro_file(path("zero.macro")).problem, MacroFileProblem::unreadable);
}

TEST_F(MacroFileTest, ANameWithoutItsEndIsCutAndTheEventsPastTheCountAreZeroed) {
  MacroRecord record = jump();
  for (int i = 0; i < kMacroNameUnits; ++i) record.name[i] = u'a' + static_cast<char16_t>(i);
  record.name[22] = 0xD83D;  // a pair across the cut: both halves go
  record.name[23] = 0xDE00;
  record.events[100] = MacroEvent{0, 9, kKindPress, 0, 10, 0, 0, 0};
  const MacroFileRead read = read_back(record);
  ASSERT_EQ(read.problem, MacroFileProblem::none);
  EXPECT_TRUE(read.name_cut);
  EXPECT_EQ(field_name(read.record->name), u"abcdefghijklmnopqrstuv");
  EXPECT_EQ(read.record->events[100].code, 0);
  EXPECT_EQ(read.record->events[2].y, 999);
  EXPECT_EQ(read.record->repeat, 7) << "carried unchanged";
}

}  // namespace
