#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "core/light_mode.h"
#include "core/profile_defaults.h"
#include "storage/profile_file.h"
#include "storage/record_names.h"
#include "tests/storage/store_test_support.h"

using namespace norvane;
using namespace norvane::test;

namespace {

std::unique_ptr<ProfileRecord> sample_profile() {
  auto record = std::make_unique<ProfileRecord>();
  reset_profile_defaults(*record);
  set_field_name(record->name, u"Work");
  record->light_brightness = 10;  // the edges of their ranges are kept
  record->dpi_value[7] = 520;
  record->polling_rate_hs = 0;
  record->buttons[4].function = kFunctionMacro;
  record->buttons[4].macro_event_count = kMaxMacroEvents;
  // A slot nothing shows, full of bytes that only have to come through.
  std::memset(&record->buttons[22], 0xA5, sizeof record->buttons[22]);
  set_field_name(record->buttons[22].macro_name, u"kept");
  record->buttons[22].macro_event_count = 17;
  return record;
}

std::vector<uint8_t> bytes_of(const ProfileRecord& record) {
  const auto* p = reinterpret_cast<const uint8_t*>(&record);
  return {p, p + sizeof record};
}

TEST(ProfileFile, WrittenAndReadBackByteForByte) {
  TempFolder folder;
  const auto record = sample_profile();
  ASSERT_TRUE(write_profile_file(*record, folder / "work.pro").ok());
  EXPECT_EQ(read_bytes(folder / "work.pro"), bytes_of(*record));

  const ProfileFileRead read = read_profile_file(folder / "work.pro");
  ASSERT_TRUE(read.ok());
  EXPECT_TRUE(read.repairs.empty());
  EXPECT_EQ(read.bytes_read, kProfileFileBytes);
  EXPECT_EQ(bytes_of(*read.record), bytes_of(*record));
}

TEST(ProfileFile, AFileOfAnotherSizeOrNoFileIsRefused) {
  TempFolder folder;
  const std::vector<uint8_t> image = bytes_of(*sample_profile());
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    uint64_t bytes_read;
  };
  std::vector<uint8_t> longer = image;
  longer.resize(image.size() * 3, 0x11);
  const Case cases[] = {
      {"empty", {}, 0},
      {"short", std::vector<uint8_t>(image.begin(), image.end() - 1), kProfileFileBytes - 1},
      {"long", longer, kProfileFileBytes + 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    write_bytes(folder / c.name, c.bytes);
    const ProfileFileRead read = read_profile_file(folder / c.name);
    EXPECT_EQ(read.error, ProfileFileError::wrong_size);
    EXPECT_EQ(read.bytes_read, c.bytes_read);
    EXPECT_EQ(read.record, nullptr);
    EXPECT_EQ(read_bytes(folder / c.name), c.bytes) << "reading never changes the file";
  }

  const ProfileFileRead missing = read_profile_file(folder / "missing.pro");
  EXPECT_EQ(missing.error, ProfileFileError::unreadable);
  EXPECT_EQ(missing.system_error, ENOENT);
  const ProfileFileRead a_folder = read_profile_file(folder.path());
  EXPECT_EQ(a_folder.error, ProfileFileError::unreadable);
  EXPECT_EQ(a_folder.system_error, EISDIR);

  // Picked through a link, a profile file imports; a named pipe is refused at once.
  write_bytes(folder / "work.pro", image);
  ASSERT_EQ(::symlink((folder / "work.pro").c_str(), (folder / "linked.pro").c_str()), 0);
  EXPECT_TRUE(read_profile_file(folder / "linked.pro").ok());
  ASSERT_EQ(::mkfifo((folder / "pipe.pro").c_str(), 0600), 0);
  EXPECT_EQ(read_profile_file(folder / "pipe.pro").error, ProfileFileError::unreadable);
}

TEST(ProfileFile, NamesCountsAndShownValuesAreSetRightAndTraced) {
  TempFolder folder;
  auto record = sample_profile();
  // A name filling its field, its last kept unit the first half of a surrogate pair.
  for (int i = 0; i < kProfileNameUnits; ++i) record->name[i] = u'n';
  record->name[kProfileNameUnits - 2] = u'\xD83D';
  record->name[kProfileNameUnits - 1] = u'\xDE00';
  for (int i = 0; i < kMacroNameUnits; ++i) record->buttons[3].macro_name[i] = u'm';
  record->buttons[4].macro_event_count = 191;
  record->polling_rate = 9;
  record->light_mode = kLightModeCount;
  record->key_debounce = INT32_MIN;
  record->dpi_value[2] = -5;
  record->dpi_value[3] = 521;
  record->buttons[5].function = 255;
  write_bytes(folder / "damaged.pro", bytes_of(*record));

  TraceRecorder trace;
  const ProfileFileRead read = read_profile_file(folder / "damaged.pro");
  ASSERT_TRUE(read.ok());
  const ProfileRecord& r = *read.record;
  EXPECT_EQ(field_name(r.name), std::u16string(kProfileNameUnits - 2, u'n'));
  EXPECT_EQ(field_name(r.buttons[3].macro_name), std::u16string(kMacroNameUnits - 1, u'm'));
  EXPECT_EQ(r.buttons[4].macro_event_count, kMaxMacroEvents);
  EXPECT_EQ(r.polling_rate, 3);
  EXPECT_EQ(r.light_mode, 5);
  EXPECT_EQ(r.key_debounce, 4);
  EXPECT_EQ(r.dpi_value[2], 32);
  EXPECT_EQ(r.dpi_value[3], 64);
  EXPECT_EQ(r.light_brightness, 10);
  EXPECT_EQ(r.dpi_value[7], 520);
  EXPECT_EQ(r.polling_rate_hs, 0);
  EXPECT_EQ(std::memcmp(&r.buttons[22], &record->buttons[22], sizeof r.buttons[22]), 0);
  ProfileRecord defaults{};
  reset_profile_defaults(defaults);
  EXPECT_EQ(r.buttons[5].function, defaults.buttons[5].function);
  EXPECT_EQ(read.repairs.size(), 9u);
  EXPECT_TRUE(trace.contains("polling_rate 9 set to 3"));
  EXPECT_TRUE(trace.contains("dpi_value[2] -5 set to 32"));
  EXPECT_TRUE(trace.contains("macro event count 191 clamped to 190"));
}

TEST(ProfileFile, AFailedExportLeavesTheOldFileAndNoTemporary) {
  TempFolder folder;
  const auto old_record = sample_profile();
  ASSERT_TRUE(write_profile_file(*old_record, folder / "work.pro").ok());
  auto new_record = sample_profile();
  new_record->sleep_timer = 20;

  FaultyFileOps ops;
  ops.write_budget = 4096;
  const SaveResult failed = write_profile_file(*new_record, folder / "work.pro", &ops);
  EXPECT_FALSE(failed.ok());
  EXPECT_EQ(failed.error, std::errc::no_space_on_device);
  EXPECT_EQ(read_bytes(folder / "work.pro"), bytes_of(*old_record));
  EXPECT_EQ(folder.names(), std::vector<std::string>{"work.pro"});

  const SaveResult no_folder = write_profile_file(*new_record, folder / "work.pro/inside.pro");
  EXPECT_FALSE(no_folder.ok()) << "a file where a folder should be";
}

}  // namespace
