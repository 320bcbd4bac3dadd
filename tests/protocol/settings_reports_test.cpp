#include "protocol/settings_reports.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

#include "core/profile_defaults.h"
#include "protocol/button_mapping_report.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::vector<uint8_t> bytes_of(const Report& r, size_t first, size_t last) {
  return std::vector<uint8_t>(r.bytes.begin() + static_cast<std::ptrdiff_t>(first),
                              r.bytes.begin() + static_cast<std::ptrdiff_t>(last + 1));
}

unsigned stored_sum(const Report& r, size_t at) { return (r.bytes[at] << 8) | r.bytes[at + 1]; }

unsigned plain_sum(const Report& r, size_t first, size_t last) {
  unsigned s = 0;
  for (size_t i = first; i <= last; ++i) s += r.bytes[i];
  return s & 0xFFFF;
}

class SettingsReportsTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_profile_defaults(p); }
  std::unique_ptr<ProfileRecord> record = std::make_unique<ProfileRecord>();
  ProfileRecord& p = *record;
};

TEST_F(SettingsReportsTest, OpenerIsFixed) {
  const Report r = build_full_send_opener();
  EXPECT_THAT(bytes_of(r, 0, r.length - 1), ElementsAre(0x0C, 0x0A, 0x01, 0xFE, 0x01, 0xFE, 0, 0, 0, 0));
}

TEST_F(SettingsReportsTest, DefaultPollingRate) {
  EXPECT_THAT(bytes_of(build_polling_rate_report(p), 0, 8), ElementsAre(0x06, 0x09, 0x01, 0x74, 0x8B, 0, 0, 0, 0));
  p.polling_rate = 0;
  p.polling_rate_hs = 0;
  EXPECT_THAT(bytes_of(build_polling_rate_report(p), 3, 4), ElementsAre(0x11, 0xEE));
}

TEST_F(SettingsReportsTest, DefaultLighting) {
  const Report r = build_light_report(p);
  ASSERT_EQ(r.length, 15u);
  EXPECT_THAT(bytes_of(r, 0, 2), ElementsAre(0x05, 0x0F, 0x01));
  EXPECT_THAT(bytes_of(r, 3, 10), ElementsAre(0x50, 0x03, 0xA8, 0x00, 0x00, 0xFF, 0x01, 0x04));
  EXPECT_THAT(bytes_of(r, 11, 14), ElementsAre(0x01, 0xFF, 0, 0));
}

TEST_F(SettingsReportsTest, LightingSplitsSleepTimerAndSendsBrightnessOnlyInItsModes) {
  p.sleep_timer = 0x3C;
  p.breath_speed = 1;
  p.light_brightness = 2;
  p.light_color = 0x332211;  // red 0x11, green 0x22, blue 0x33

  p.light_mode = 1;
  Report r = build_light_report(p);
  EXPECT_THAT(bytes_of(r, 3, 8), ElementsAre(0x10, 0x38, 0xC2, 0x11, 0x22, 0x33));
  EXPECT_EQ(stored_sum(r, 11), plain_sum(r, 3, 10));

  p.light_mode = 2;  // speed and colour only: brightness goes as 8
  r = build_light_report(p);
  EXPECT_THAT(bytes_of(r, 3, 5), ElementsAre(0x20, 0x38, 0xC8));
}

TEST_F(SettingsReportsTest, DefaultDpi) {
  const Report r = build_dpi_report(p);
  ASSERT_EQ(r.length, 56u);
  EXPECT_THAT(bytes_of(r, 0, 7), ElementsAre(0x04, 0x38, 0x01, 0, 1, 0x3F, 0, 1));
  EXPECT_THAT(bytes_of(r, 8, 15), ElementsAre(7, 15, 31, 63, 127, 7, 0, 0));
  EXPECT_THAT(bytes_of(r, 16, 23), ElementsAre(0, 0, 0, 0, 0, 2, 0, 0));
  EXPECT_EQ(r.bytes[24], 2);
  // Level colours as red, green, blue: 0x0000FF is red, 0xFF0000 blue, 0x0040FF orange.
  EXPECT_THAT(bytes_of(r, 25, 33), ElementsAre(0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF));
  EXPECT_THAT(bytes_of(r, 43, 49), ElementsAre(0xFF, 0x40, 0, 0xFF, 0xFF, 0xFF, 0x01));
  EXPECT_EQ(stored_sum(r, 50), plain_sum(r, 3, 49));
  EXPECT_THAT(bytes_of(r, 52, 55), ElementsAre(0, 0, 0, 0));
}

TEST_F(SettingsReportsTest, DpiLevelMaskAndValuesAtTheirLimits) {
  p.dpi_enabled[0] = 2;  // only 1 enables a level
  p.dpi_enabled[7] = 1;
  p.dpi_value[0] = INT32_MIN;
  p.dpi_value[1] = 1;
  p.dpi_value[7] = 0x10001;  // bits above 15 are dropped
  p.current_dpi_level = 7;
  const Report r = build_dpi_report(p);
  EXPECT_EQ(r.bytes[5], 0xBE);
  EXPECT_EQ(r.bytes[8], 0);
  EXPECT_EQ(r.bytes[16], 0);
  EXPECT_EQ(r.bytes[9], 0);
  EXPECT_EQ(r.bytes[15], 0);
  EXPECT_EQ(r.bytes[23], 0);
  EXPECT_EQ(r.bytes[24], 8);
}

// Distinct values in every field, so a field written to its neighbour's byte shows.
TEST_F(SettingsReportsTest, EveryFieldLandsOnItsOwnByte) {
  p.lift_off_distance = 0x11;
  p.ripple_control = 0x22;
  p.angle_snap = 0x33;
  p.motion_sync = 0x44;
  p.current_dpi_level = 0x54;
  for (int k = 0; k < kDpiLevels; ++k) {
    p.dpi_value[k] = 0x101 * (k + 1) + 1;
    p.dpi_color[k] = 0x636261u + 0x030303u * static_cast<uint32_t>(k);
  }
  Report r = build_dpi_report(p);
  EXPECT_THAT(bytes_of(r, 3, 7), ElementsAre(0x11, 0x22, 0x3F, 0x33, 0x44));
  EXPECT_THAT(bytes_of(r, 8, 24), ElementsAre(1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8, 0x55));
  EXPECT_THAT(bytes_of(r, 25, 30), ElementsAre(0x61, 0x62, 0x63, 0x64, 0x65, 0x66));
  EXPECT_THAT(bytes_of(r, 46, 49), ElementsAre(0x76, 0x77, 0x78, 0x01));

  p.light_mode = 5;
  p.light_off_timer = 0x21;
  p.key_debounce = 0x17;
  p.light_color = 0x0C0B0A;
  r = build_light_report(p);
  EXPECT_THAT(bytes_of(r, 3, 10), ElementsAre(0x50, 0x03, 0xA8, 0x0A, 0x0B, 0x0C, 0x21, 0x17));
  EXPECT_EQ(stored_sum(r, 11), plain_sum(r, 3, 10));
}

TEST_F(SettingsReportsTest, ButtonMappingCarriesEachSlotsDeviceBytes) {
  p.buttons[3].function = kFunctionMacro;  // slot 3's macro lives at block 0
  p.buttons[1].function = kFunctionMacro;  // slot 1's at block 5
  p.buttons[4].function = kFunctionShortcut;
  p.buttons[4].shortcut_modifiers = kModCtrl | kModAlt;
  p.buttons[4].shortcut_key = 61;
  const Report r = build_button_mapping_report(p);
  ASSERT_EQ(r.length, 59u);
  EXPECT_THAT(bytes_of(r, 0, 17), ElementsAreArray<uint8_t>({0x08, 0x3B, 0x01,
                                                              2, 0, 0,      // left click
                                                              18, 0, 5,     // macro at block 5
                                                              4, 0, 0,      // wheel click
                                                              18, 0, 0,     // macro at block 0
                                                              17, 5, 61}));  // Ctrl+Alt+F4
  EXPECT_THAT(bytes_of(r, 51, 56), ElementsAre(9, 0, 0, 10, 0, 0));  // scroll up, scroll down
  EXPECT_EQ(stored_sum(r, 57), plain_sum(r, 3, 56));
}

}  // namespace
}  // namespace norvane
