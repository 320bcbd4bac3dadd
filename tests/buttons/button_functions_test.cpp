#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "buttons/button_caption.h"
#include "buttons/button_function_table.h"
#include "core/profile_defaults.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;

// Language texts in brackets around the key, key names as "key<usage>".
std::u16string fake_text(std::string_view key) {
  std::u16string s = u"[";
  for (char c : key) s += static_cast<char16_t>(c);
  return s + u"]";
}
std::u16string fake_key_name(uint8_t usage) {
  std::u16string s = u"key";
  for (char c : std::to_string(usage)) s += static_cast<char16_t>(c);
  return s;
}

ButtonSlot slot_with(uint8_t function) {
  ButtonSlot s{};
  s.function = function;
  return s;
}

ButtonCaption caption_of(const ButtonSlot& s) { return button_caption(s, fake_text, fake_key_name); }

TEST(ButtonFunctionTable, MenuOffersFiftyTwoDistinctItems) {
  std::set<std::string_view> items;
  for (const ButtonFunction& f : button_function_table()) {
    if (!f.menu_item.empty()) items.insert(f.menu_item);
  }
  EXPECT_EQ(items.size(), 52u);
}

TEST(ButtonFunctionTable, MenuItemsMapToCodesIgnoringCase) {
  EXPECT_EQ(function_code_for_menu_item("ms_1_button_off"), 0);
  EXPECT_EQ(function_code_for_menu_item("MS_1_Forward"), 4);
  EXPECT_EQ(function_code_for_menu_item("ms_1_SHORTCUT"), kFunctionShortcut);
  EXPECT_EQ(function_code_for_menu_item("ms_1_select_macro"), kFunctionMacro);
  EXPECT_EQ(function_code_for_menu_item("ms_1_screen_capture"), 50);
  EXPECT_EQ(function_code_for_menu_item("ms_1_my_computer"), 89);
  // Unknown names, and codes no item assigns, fall back to left click.
  EXPECT_EQ(function_code_for_menu_item("ms_1_undo"), 1);
  EXPECT_EQ(function_code_for_menu_item(""), 1);
  EXPECT_EQ(function_code_for_menu_item("ms_1_forward "), 1);
}

TEST(ButtonFunctionTable, CodesOutsideTheMenuKeepCaptionsAndDeviceBytes) {
  struct Case {
    uint8_t code;
    const char* caption_key;
    DeviceBytes device;
  };
  const Case cases[] = {
      {51, "task_view_text", {0, 0, 0}},
      {39, "undo_text", {17, 1, 29}},
      {54, "profile_cycle_text", {52, 0, 0}},
      {55, "profile_up_text", {53, 0, 0}},
      {56, "profile_down_text", {54, 0, 0}},
      {47, "", {17, 1, 17}},
      {48, "", {17, 1, 46}},
      {49, "", {17, 1, 45}},
      {19, "", {19, 0, 0}},
      {21, "", {43, 0, 0}},
      {24, "", {40, 0, 0}},
      {52, "", {60, 0, 0}},
      {115, "", {20, 0, 0}},
      // Forward and backward are swapped on the device side.
      {4, "forward_text", {6, 0, 0}},
      {5, "backward_text", {5, 0, 0}},
      {50, "screen_capture_text", {17, 10, 22}},
      {23, "led_loop_text", {41, 0, 3}},
      // Codes the table does not know.
      {15, "", {0, 0, 0}},
      {255, "", {0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.code));
    const ButtonSlot s = slot_with(c.code);
    const ButtonCaption caption = caption_of(s);
    EXPECT_TRUE(caption.is_language_key);
    EXPECT_EQ(caption.key, c.caption_key);
    const ButtonFunction* f = find_button_function(c.code);
    EXPECT_EQ((f && f->has_device_bytes ? f->device_bytes : DeviceBytes{0, 0, 0}), c.device);
  }
}

TEST(ButtonCaption, ShortcutComposesModifiersInFixedOrderThenKeyName) {
  ButtonSlot s = slot_with(kFunctionShortcut);
  s.shortcut_key = 4;
  ButtonCaption caption = caption_of(s);
  EXPECT_FALSE(caption.is_language_key);
  EXPECT_EQ(caption.text, u"key4");

  s.shortcut_modifiers = kModWin | kModAlt | kModShift | kModCtrl;
  caption = caption_of(s);
  EXPECT_EQ(caption.text,
            u"[keyboard_ctrl_text]+[keyboard_shift_text]+[keyboard_alt_text]+[keyboard_win_text]+key4");

  s.shortcut_modifiers = kModWin | kModShift;
  EXPECT_EQ(caption_of(s).text, u"[keyboard_shift_text]+[keyboard_win_text]+key4");
  // Bits above the four modifiers are not names.
  s.shortcut_modifiers = 0xF0;
  EXPECT_EQ(caption_of(s).text, u"key4");
}

TEST(ButtonCaption, MacroCaptionIsPrefixAndNameEvenUnterminated) {
  ButtonSlot s = slot_with(kFunctionMacro);
  const std::u16string name = u"Reload";
  std::copy(name.begin(), name.end(), s.macro_name);
  ButtonCaption caption = caption_of(s);
  EXPECT_FALSE(caption.is_language_key);
  EXPECT_EQ(caption.text, u"[assign_macro_text]Reload");

  std::fill(std::begin(s.macro_name), std::end(s.macro_name), u'z');
  EXPECT_EQ(caption_of(s).text, u"[assign_macro_text]" + std::u16string(kMacroNameUnits, u'z'));
}

}  // namespace
}  // namespace norvane
