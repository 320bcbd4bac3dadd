#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "buttons/button_caption.h"
#include "buttons/button_function_table.h"
#include "core/profile_defaults.h"
#include "protocol/device_function_bytes.h"

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
    EXPECT_EQ(device_function_bytes(0, s), c.device);
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

TEST(DeviceFunctionBytes, ShortcutAndMacroCarryTheirSlotsData) {
  ButtonSlot s = slot_with(kFunctionShortcut);
  EXPECT_EQ(device_function_bytes(0, s), (DeviceBytes{17, 0, 0}));
  s.shortcut_modifiers = 0x0F;
  s.shortcut_key = 0x2B;
  EXPECT_EQ(device_function_bytes(0, s), (DeviceBytes{17, 0x0F, 0x2B}));

  s = slot_with(kFunctionMacro);
  s.shortcut_modifiers = 3;  // ignored for macros
  const uint8_t blocks[kMouseButtons] = {1, 5, 9, 0, 0, 0, 13, 17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (int slot = 0; slot < kMouseButtons; ++slot) {
    EXPECT_EQ(device_function_bytes(slot, s), (DeviceBytes{18, 0, blocks[slot]})) << slot;
  }
  EXPECT_EQ(device_function_bytes(30, s), (DeviceBytes{18, 0, 0}));
}

TEST(DeviceFunctionBytes, NewProfileButtons) {
  auto record = std::make_unique<ProfileRecord>();
  reset_profile_defaults(*record);
  std::vector<DeviceBytes> bytes;
  for (int slot = 0; slot < kMouseButtons; ++slot) bytes.push_back(device_function_bytes(slot, record->buttons[slot]));
  EXPECT_EQ(bytes[0], (DeviceBytes{2, 0, 0}));   // left click
  EXPECT_EQ(bytes[3], (DeviceBytes{13, 0, 0}));  // DPI cycle
  EXPECT_EQ(bytes[6], (DeviceBytes{6, 0, 0}));   // forward
  for (int slot = 12; slot <= 15; ++slot) EXPECT_EQ(bytes[slot], (DeviceBytes{1, 0, 0}));  // off
  EXPECT_EQ(bytes[16], (DeviceBytes{9, 0, 0}));
  EXPECT_EQ(bytes[17], (DeviceBytes{10, 0, 0}));
  EXPECT_EQ(caption_of(record->buttons[17]).key, "scroll_down_text");
}

}  // namespace
}  // namespace norvane
