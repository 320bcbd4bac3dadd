#include "protocol/link_frames.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "core/profile_defaults.h"
#include "protocol/report_sum.h"
#include "protocol/settings_reports.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;

TEST(ReportSum, SumsInclusiveRangeModulo65536) {
  std::vector<uint8_t> bytes(300, 0xFF);
  bytes[0] = 0x11;
  EXPECT_EQ(report_sum(bytes, 1, 2), 0x01FE);
  EXPECT_EQ(report_sum(bytes, 0, 299), static_cast<uint16_t>(0x11 + 299 * 0xFF));
  EXPECT_EQ(report_sum(bytes, 290, 400), 10 * 0xFF);  // clipped to the buffer

  std::vector<uint8_t> out(4, 0);
  put_sum_high_first(out, 1, 0xABCD);
  EXPECT_THAT(out, ElementsAre(0, 0xAB, 0xCD, 0));
  put_sum_high_first(out, 3, 0x1234);  // would run past the end: left alone
  EXPECT_THAT(out, ElementsAre(0, 0xAB, 0xCD, 0));
}

TEST(EightKilohertzFrame, LightingReportIsWrappedWithSumOverWrapperAndReport) {
  auto record = std::make_unique<ProfileRecord>();
  reset_profile_defaults(*record);
  const Report light = build_light_report(*record);

  const auto frame = frame_8k_general(light.view());
  ASSERT_TRUE(frame.has_value());
  std::vector<uint8_t> expected = {0x04, 0x14, 0x00};
  expected.insert(expected.end(), light.bytes.begin(), light.bytes.begin() + 15);
  // 4 + 20 + the report bytes (its own sum 0x01, 0xFF included) = 812.
  expected.push_back(0x03);
  expected.push_back(0x2C);
  expected.resize(65, 0);
  EXPECT_EQ(std::vector<uint8_t>(frame->begin(), frame->end()), expected);
}

TEST(EightKilohertzFrame, ReportsThatCannotFitAreRefused) {
  const std::vector<uint8_t> sixty(60, 1);
  const std::vector<uint8_t> sixty_one(61, 1);
  const auto fits = frame_8k_general(sixty);
  ASSERT_TRUE(fits.has_value());
  EXPECT_EQ((*fits)[1], 65);
  EXPECT_EQ((*fits)[63], 0);  // 4 + 65 + 60 ones = 129 at 63, 64
  EXPECT_EQ((*fits)[64], 129);
  EXPECT_FALSE(frame_8k_general(sixty_one).has_value());
}

TEST(EightKilohertzFrame, MacroFramesCarryTheirOwnSums) {
  MacroChunkImage chunk{};
  for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<uint8_t>(0xF0 + i);
  const Frame8k first = frame_8k_macro_first(chunk);
  const Frame8k second = frame_8k_macro_second(chunk);

  EXPECT_EQ(first[3], chunk[0]);
  EXPECT_EQ(first[61], chunk[58]);
  const uint16_t first_sum = report_sum(first, 0, 61);
  EXPECT_THAT(std::vector<uint8_t>(first.begin() + 62, first.end()),
              ElementsAre(first_sum >> 8, first_sum & 0xFF, 0));

  EXPECT_EQ(second[3], chunk[59]);
  EXPECT_EQ(second[54], chunk[110]);
  const uint16_t second_sum = report_sum(second, 0, 54);
  EXPECT_EQ(second[55], second_sum >> 8);
  EXPECT_EQ(second[56], second_sum & 0xFF);
  EXPECT_TRUE(std::all_of(second.begin() + 57, second.end(), [](uint8_t b) { return b == 0; }));
}

}  // namespace
}  // namespace norvane
