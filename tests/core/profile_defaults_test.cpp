#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/profile_defaults.h"

using namespace norvane;

namespace {

// The expected defaults written at raw byte offsets, independent of the struct
// declaration, so a field at a wrong place shows up as a byte difference.
std::vector<uint8_t> expected_default_image() {
  std::vector<uint8_t> img(sizeof(ProfileRecord), 0);
  auto i32 = [&](size_t off, int32_t v) { std::memcpy(&img[off], &v, 4); };
  auto u16 = [&](size_t off, uint16_t v) { std::memcpy(&img[off], &v, 2); };
  i32(2200, 420);
  i32(2204, 3);
  i32(2212, 6);
  const int32_t dpi[8] = {8, 16, 32, 64, 128, 520, 0, 0};
  const int32_t en[8] = {1, 1, 1, 1, 1, 1, 0, 0};
  for (int k = 0; k < 8; ++k) {
    i32(2244 + 4 * k, dpi[k]);
    i32(2276 + 4 * k, dpi[k]);
    i32(2308 + 4 * k, en[k]);
  }
  i32(2340, 8);
  i32(2344, 6);
  i32(2348, 10);
  i32(2352, 1);
  i32(2356, 3);
  i32(2360, 6);
  i32(2368, 1);
  i32(2376, 1);
  i32(2380, 1);
  i32(2384, 5);
  i32(2388, 3);
  img[2392] = 1;
  i32(2396, 4);
  i32(2400, 1);
  i32(2404, 0xFF0000);
  const uint32_t dc[8] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFFFF00, 0xFF00FF, 0x0040FF, 0xFFFFFF};
  const uint32_t sc[8] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFF00FF, 0x00FFFF, 0xFFFFFF, 0xFFFFFF, 0x0080FF};
  for (int k = 0; k < 8; ++k) {
    i32(2408 + 4 * k, static_cast<int32_t>(dc[k]));
    i32(2440 + 4 * k, static_cast<int32_t>(sc[k]));
  }
  const uint8_t fn[18] = {1, 2, 3, 6, 0, 0, 4, 5, 0, 0, 0, 0, 0, 0, 0, 0, 11, 12};
  for (int s = 0; s < 18; ++s) {
    const size_t base = 2472 + 4128 * static_cast<size_t>(s);
    img[base + 0] = static_cast<uint8_t>(s);
    img[base + 1] = fn[s];
    u16(base + 8, 562);
    i32(base + 1072, -1);
    i32(base + 1076, -1);
  }
  return img;
}

}  // namespace

TEST(ProfileDefaults, NewRecordMatchesTheDefaultImageByteForByte) {
  auto rec = std::make_unique<ProfileRecord>();
  std::memset(rec.get(), 0, sizeof *rec);
  reset_profile_defaults(*rec);
  const auto expected = expected_default_image();
  const auto* got = reinterpret_cast<const uint8_t*>(rec.get());
  for (size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(got[i], expected[i]) << "first difference at byte " << i;
  }
}

TEST(ProfileDefaults, ResetKeepsNameAndMoveModeAndClearsEveryButtonSlot) {
  auto rec = std::make_unique<ProfileRecord>();
  std::memset(rec.get(), 0xAB, sizeof *rec);
  const std::u16string name = u"Work";
  std::memcpy(rec->name, name.c_str(), (name.size() + 1) * 2);
  rec->move_mode = 1;
  reset_profile_defaults(*rec);
  EXPECT_EQ(std::u16string(rec->name), u"Work");
  EXPECT_EQ(rec->move_mode, 1);
  // The button area is zero-filled first: slots 18..23 and the macro areas are clear.
  for (int s = 18; s < kButtonSlots; ++s) {
    const auto* b = reinterpret_cast<const uint8_t*>(&rec->buttons[s]);
    for (size_t i = 0; i < sizeof(ButtonSlot); ++i) ASSERT_EQ(b[i], 0) << "slot " << s << " byte " << i;
  }
  EXPECT_EQ(rec->buttons[5].macro_events[189].x, 0);
  EXPECT_EQ(rec->text_2[0], 0);
}

TEST(ProfileDefaults, DpiResetTouchesOnlyDpiFields) {
  auto rec = std::make_unique<ProfileRecord>();
  std::memset(rec.get(), 0, sizeof *rec);
  reset_profile_defaults(*rec);
  rec->current_dpi_level = 6;
  rec->dpi_value[2] = 77;
  rec->dpi_enabled[7] = 1;
  rec->dpi_color[0] = 0x123456;
  rec->light_mode = 2;
  reset_dpi_defaults(*rec);
  EXPECT_EQ(rec->current_dpi_level, 1);
  EXPECT_EQ(rec->dpi_value[2], 32);
  EXPECT_EQ(rec->dpi_value_2[5], 520);
  EXPECT_EQ(rec->dpi_enabled[7], 0);
  EXPECT_EQ(rec->dpi_color[0], 0x0000FFu);
  EXPECT_EQ(rec->light_mode, 2);
}

TEST(ProfileDefaults, TypedCpiIsClampedAndStoredInUnitsOfFifty) {
  EXPECT_EQ(dpi_value_from_typed_cpi(10), 1);
  EXPECT_EQ(dpi_value_from_typed_cpi(0), 1);
  EXPECT_EQ(dpi_value_from_typed_cpi(-400), 1);
  EXPECT_EQ(dpi_value_from_typed_cpi(123), 2);
  EXPECT_EQ(dpi_value_from_typed_cpi(26000), 520);
  EXPECT_EQ(dpi_value_from_typed_cpi(30000), 520);
  EXPECT_EQ(dpi_value_from_typed_cpi(99999999999LL), 520);
}

TEST(ProfileDefaults, ColourConversionsShowBlueAsOpaqueBlue) {
  EXPECT_EQ(colorref_to_argb(0xFF0000), 0xFF0000FFu);
  EXPECT_EQ(colorref_to_argb(0x0000FF), 0xFFFF0000u);
  EXPECT_EQ(argb_to_colorref(0xFFFF0000u), 0x0000FFu);
  EXPECT_EQ(argb_to_colorref(colorref_to_argb(0x123456)), 0x123456u);
}
