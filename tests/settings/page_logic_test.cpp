// The settings page's rules that need no window: control families, the lighting rule,
// label texts, DPI edit input.

#include <gtest/gtest.h>

#include "core/light_mode.h"
#include "settings/dpi_edit.h"
#include "settings/page_controls.h"
#include "settings/page_labels.h"

using namespace norvane;
using namespace norvane::page_controls;

TEST(LightingRule, ShowsThePanelsOfEachMode) {
  const LightingPanels none{}, speed{false, true, false};
  EXPECT_EQ(lighting_panels(0), none);
  EXPECT_EQ(lighting_panels(1), (LightingPanels{true, false, true}));
  EXPECT_EQ(lighting_panels(2), (LightingPanels{false, true, true}));
  EXPECT_EQ(lighting_panels(5), (LightingPanels{true, false, false}));
  for (int mode : {3, 4, 6, 7, 8, 9, 10, 11}) EXPECT_EQ(lighting_panels(mode), speed) << mode;
  for (int mode : {-1, 12, 255, INT32_MIN}) EXPECT_EQ(lighting_panels(mode), none) << mode;
}

TEST(ControlFamilies, NumberOnlyForMembersInRange) {
  EXPECT_EQ(family_number("ms_1_edit_dpi_1", kDpiEditPrefix, 8), 1);
  EXPECT_EQ(family_number("ms_1_edit_dpi_8", kDpiEditPrefix, 8), 8);
  EXPECT_EQ(family_number("ms_1_btn_key_18", kButtonKeyPrefix, 18), 18);
  for (const char* name : {"ms_1_edit_dpi_0", "ms_1_edit_dpi_9", "ms_1_edit_dpi_03", "ms_1_edit_dpi_",
                           "ms_1_edit_dpi_1x", "ms_1_edit_dpi_-1", "ms_1_label_dpi_1", "ms_1_edit_dpi_100"}) {
    EXPECT_FALSE(family_number(name, kDpiEditPrefix, 8).has_value()) << name;
  }
  // The high-speed rate options share the start of their name with the plain ones.
  EXPECT_FALSE(family_number("ms_1_btn_prate_hs_2", "ms_1_btn_prate_", 4).has_value());
  EXPECT_EQ(family_number("ms_1_btn_prate_hs_7", "ms_1_btn_prate_hs_", 7), 7);
  EXPECT_EQ(numbered(kDpiSliderPrefix, 3), "ms_1_slider_dpi_3");
  const OptionFamily& rate_hs = kOptionFamilies[2];
  EXPECT_EQ(option_for(rate_hs, 0), "ms_1_btn_prate_hs_1");
  EXPECT_EQ(option_for(rate_hs, 6), "ms_1_btn_prate_hs_7");
  EXPECT_EQ(option_for(rate_hs, 7), "");
  EXPECT_EQ(option_for(rate_hs, -1), "");
  EXPECT_EQ(option_for(rate_hs, INT32_MAX), "");
}

TEST(ControlFamilies, SectionsOpenTheirBodies) {
  ASSERT_NE(find_section("ms_1_check_dpi"), nullptr);
  EXPECT_EQ(find_section("ms_1_check_dpi")->body, "ms_1_ver_dpi");
  EXPECT_FALSE(find_section("ms_1_check_dpi")->scrolls);
  EXPECT_TRUE(find_section("ms_1_check_wakeup")->scrolls);
  EXPECT_TRUE(find_section("ms_1_check_power_setting")->scrolls);
  EXPECT_EQ(find_section("ms_1_check_movemode"), nullptr);
}

TEST(PageLabels, Formats) {
  EXPECT_EQ(cpi_text(32), "1600");
  EXPECT_EQ(cpi_text(520), "26000");
  EXPECT_EQ(cpi_text(INT32_MAX), "107374182350");  // a damaged value shows, it does not wrap
  EXPECT_EQ(sleep_timer_label("Sleep after ", 10, "min"), "Sleep after 10 min");
  EXPECT_EQ(light_off_label("Light off after ", 1, "min"), "Light off after 0.5 min");
  EXPECT_EQ(light_off_label("", 7, "min"), "3.5 min");
  EXPECT_EQ(key_debounce_label(4), "8 MS");
}

TEST(DpiEdit, KeepsDigitsAndClampsWhatWasTyped) {
  EXPECT_EQ(digits_only(u"12a3"), u"123");
  EXPECT_EQ(digits_only(u"-4 5\u0663"), u"45");  // other scripts' digits are not decimal here
  EXPECT_EQ(dpi_value_from_edit_text(u"123"), 2);
  EXPECT_EQ(dpi_value_from_edit_text(u""), 1);
  EXPECT_EQ(dpi_value_from_edit_text(u"10"), 1);
  EXPECT_EQ(dpi_value_from_edit_text(u"1600"), 32);
  EXPECT_EQ(dpi_value_from_edit_text(u"30000"), 520);
  EXPECT_EQ(dpi_value_from_edit_text(u"99999999999999999999999999"), 520);
  EXPECT_EQ(read_decimal(u"99999999999999999999999999"), INT64_MAX);
}
