// The three bytes that tell the mouse a button's function.

#include "protocol/device_function_bytes.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/profile_defaults.h"

namespace norvane {
namespace {

ButtonSlot slot_with(uint8_t function) {
  ButtonSlot s{};
  s.function = function;
  return s;
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
}

}  // namespace
}  // namespace norvane
