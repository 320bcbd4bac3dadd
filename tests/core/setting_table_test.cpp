#include "core/setting_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/profile_defaults.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;

std::unique_ptr<ProfileRecord> default_record() {
  auto record = std::make_unique<ProfileRecord>();
  std::memset(record.get(), 0, sizeof *record);
  reset_profile_defaults(*record);
  return record;
}

std::vector<std::string> descriptions(const std::vector<SettingFix>& fixes) {
  std::vector<std::string> out;
  for (const SettingFix& fix : fixes) out.push_back(describe(fix));
  return out;
}

// The first byte at which two records differ, or -1.
long first_difference(const ProfileRecord& a, const ProfileRecord& b) {
  const auto* x = reinterpret_cast<const unsigned char*>(&a);
  const auto* y = reinterpret_cast<const unsigned char*>(&b);
  for (size_t i = 0; i < sizeof(ProfileRecord); ++i) {
    if (x[i] != y[i]) return static_cast<long>(i);
  }
  return -1;
}

TEST(SettingTable, OutOfRangeValuesGoBackToTheirDefaultsAndNothingElseMoves) {
  auto record = default_record();
  // Values a sound record never holds, among odd values that are still valid.
  record->dpi_value[3] = INT32_MIN;
  record->dpi_value[6] = 521;
  record->polling_rate = 9;
  record->light_mode = 200;
  record->light_brightness = 0;
  record->light_color = 0x1000000;
  record->move_mode = 7;
  record->dpi_value[7] = 0;        // an unused level
  record->dpi_enabled[2] = 7;      // anything but 1 disables
  record->reserved_a = -5;         // nothing reads the reserved words
  record->spare_color[1] = 0xFFFFFFFF;
  record->name[0] = u'P';
  record->buttons[3].function = 200;
  auto expected = std::make_unique<ProfileRecord>(*record);
  expected->dpi_value[3] = 64;
  expected->dpi_value[6] = 0;
  expected->polling_rate = 3;
  expected->light_mode = 5;
  expected->light_brightness = 8;
  expected->light_color = 0xFF0000;
  expected->move_mode = 0;

  const std::vector<SettingFix> fixes = fix_out_of_range_settings(*record);

  EXPECT_THAT(descriptions(fixes),
              ElementsAre("dpi_value[3] -2147483648 set to 64", "dpi_value[6] 521 set to 0",
                          "light_brightness 0 set to 8", "polling_rate 9 set to 3", "move_mode 7 set to 0",
                          "light_mode 200 set to 5", "light_color 16777216 set to 16711680"));
  EXPECT_EQ(first_difference(*record, *expected), -1);
}

TEST(SettingTable, DefaultRecordNeedsNoFixAndADamagedOneEndsInRange) {
  auto record = default_record();
  EXPECT_TRUE(fix_out_of_range_settings(*record).empty());

  // A record of garbage: every checked element comes back in range, the rest stays.
  std::memset(record.get(), 0xAB, sizeof *record);
  auto before = std::make_unique<ProfileRecord>(*record);
  EXPECT_FALSE(fix_out_of_range_settings(*record).empty());
  for (const SettingField* f : kSettingFields) {
    for (int k = 0; k < f->count; ++k) {
      const int64_t value = setting_value(*record, *f, k);
      EXPECT_TRUE(f->range.contains(value)) << f->name << "[" << k << "] = " << value;
      if (value == setting_value(*before, *f, k)) continue;
      EXPECT_EQ(value, f->defaults.at(k)) << f->name << "[" << k << "]";
    }
  }
  EXPECT_EQ(std::memcmp(record->buttons, before->buttons, sizeof record->buttons), 0);
  EXPECT_TRUE(fix_out_of_range_settings(*record).empty());
}

TEST(SettingTable, DpiResetWritesOnlyTheDpiFields) {
  auto record = std::make_unique<ProfileRecord>();
  std::memset(record.get(), 0xAB, sizeof *record);
  auto before = std::make_unique<ProfileRecord>(*record);
  reset_dpi_defaults(*record);
  // Raw offsets: current_dpi_level, dpi_value, dpi_value_2, dpi_enabled, dpi_color.
  auto in_dpi_fields = [](size_t i) {
    return i == 2352 || i == 2353 || i == 2354 || i == 2355 || (i >= 2244 && i < 2340) || (i >= 2408 && i < 2440);
  };
  const auto* now = reinterpret_cast<const unsigned char*>(record.get());
  const auto* was = reinterpret_cast<const unsigned char*>(before.get());
  for (size_t i = 0; i < sizeof(ProfileRecord); ++i) {
    if (in_dpi_fields(i)) continue;
    ASSERT_EQ(now[i], was[i]) << "byte " << i;
  }
  EXPECT_EQ(record->current_dpi_level, 1);
  EXPECT_EQ(record->dpi_value_2[5], 520);
  EXPECT_EQ(record->dpi_color[7], 0xFFFFFFu);
}

TEST(SettingTable, ValuesKeepTheirSignAndWidth) {
  auto record = default_record();
  set_setting_value(*record, setting::dpi_value, 2, -7);
  set_setting_value(*record, setting::reserved_h, 0, 0x1FF);  // a byte field keeps its low byte
  set_setting_value(*record, setting::text_2, 499, 0x263A);
  EXPECT_EQ(record->dpi_value[2], -7);
  EXPECT_EQ(setting_value(*record, setting::dpi_value, 2), -7);
  EXPECT_EQ(record->reserved_h, 0xFF);
  EXPECT_EQ(record->unused_h[0], 0);
  EXPECT_EQ(record->text_2[499], u'\u263A');
  EXPECT_EQ(record->dpi_color[0], 0x0000FFu);
  EXPECT_EQ(setting_value(*record, setting::spare_color, 5), 0xFFFFFF);
}

}  // namespace
}  // namespace norvane
