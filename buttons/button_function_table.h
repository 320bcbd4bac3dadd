#pragma once
// The vocabulary of button functions: each function code stored in a ButtonSlot,
// the assignment-menu item that produces it, the language key of its caption and
// the three bytes that stand for it in the button mapping sent to the mouse.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace norvane {

// Device byte 0 of a keyboard key combination (byte 1 modifiers, byte 2 key usage)
// and of a macro (byte 2 the macro's first memory block).
inline constexpr uint8_t kDeviceKeyCombination = 17;
inline constexpr uint8_t kDeviceMacro = 18;

using DeviceBytes = std::array<uint8_t, 3>;

struct ButtonFunction {
  uint8_t code;
  std::string_view menu_item;    // empty: no menu item assigns this code
  std::string_view caption_key;  // empty: composed (shortcut, macro) or no caption
  bool has_device_bytes;         // false: sent as 0, 0, 0
  DeviceBytes device_bytes;
};

// Every known function, ordered by code.
std::span<const ButtonFunction> button_function_table();

// The entry of `code`, or null when the code is unknown.
const ButtonFunction* find_button_function(uint8_t code);

// The entry of the menu item `item_name`, matched without regard to letter case; null
// when no menu item has that name.
const ButtonFunction* find_menu_item(std::string_view item_name);

// The code assigned by a menu item, matched without regard to letter case;
// a name that matches no item gives left click (1).
uint8_t function_code_for_menu_item(std::string_view item_name);

}  // namespace norvane
