// Virtual keys of real layouts: every key carries one virtual key and scan code and
// virtual key translate back and forth; letters go to the key that types them.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "macros/key_positions.h"
#include "tests/macros/keymaps.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

struct LayoutName {
  const char* layout;
  const char* variant;
};

class EveryLayout : public ::testing::TestWithParam<LayoutName> {};

TEST_P(EveryLayout, VirtualKeysAndScanCodesTranslateBothWays) {
  auto layout = xkb_layout(GetParam().layout, GetParam().variant);
  ASSERT_NE(layout, nullptr);
  std::set<uint32_t> seen;
  for (const KeyPosition& p : key_positions()) {
    if (!p.typing) continue;
    const uint32_t vk = layout->virtual_key_of(p.scan_code);
    ASSERT_NE(vk, 0u) << "scan " << p.scan_code;
    EXPECT_TRUE(seen.insert(vk).second) << "virtual key " << vk << " on two keys";
    EXPECT_EQ(layout->scan_code_of(vk), p.scan_code) << "virtual key " << vk;
  }
}

TEST_P(EveryLayout, EachLetterIsTheKeyThatTypesIt) {
  auto layout = xkb_layout(GetParam().layout, GetParam().variant);
  ASSERT_NE(layout, nullptr);
  for (char c = 'A'; c <= 'Z'; ++c) {
    const std::string typed = layout->typed_text(static_cast<uint32_t>(c));
    EXPECT_EQ(typed, std::string(1, static_cast<char>(c - 'A' + 'a'))) << c;
  }
}

INSTANTIATE_TEST_SUITE_P(Latin, EveryLayout,
                         ::testing::Values(LayoutName{"us", ""}, LayoutName{"fr", ""}, LayoutName{"de", ""},
                                           LayoutName{"us", "dvorak"}, LayoutName{"fr", "bepo"},
                                           LayoutName{"gb", ""}, LayoutName{"ch", ""}, LayoutName{"be", ""}),
                         [](const auto& info) {
                           return std::string(info.param.layout) + (*info.param.variant ? "_" : "") +
                                  info.param.variant;
                         });

TEST(KeyboardLayout, NonLatinLayoutKeepsTheUsPlacesAndTypesItsOwnLetters) {
  auto ru = xkb_layout("ru");
  ASSERT_NE(ru, nullptr);
  EXPECT_EQ(ru->scan_code_of(0x41), 0x1Eu);
  EXPECT_EQ(ru->typed_text(0x41), "\xD1\x84");  // ф
  EXPECT_EQ(upper_case_utf8(ru->typed_text(0x41)), "\xD0\xA4");  // Ф
}

TEST(KeyboardLayout, UpperCaseKeepsWhatItCannotConvert) {
  EXPECT_EQ(upper_case_utf8("a\xC3\xA9z"), "A\xC3\x89Z");  // aéz
  EXPECT_EQ(upper_case_utf8("&1;"), "&1;");
  EXPECT_EQ(upper_case_utf8("\xFF" "a\xC3"), "\xFF" "A\xC3");  // malformed bytes stay
}

}  // namespace
