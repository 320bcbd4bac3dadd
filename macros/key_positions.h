#pragma once
// The physical keys of a PC keyboard: Linux input key code, PC set-1 scan code and, for
// every key whose meaning does not depend on the layout, its fixed virtual-key code.
// Typing keys (letters, digits, punctuation) carry the virtual key of the US layout
// here; a layout may hand them others (see xkb_keyboard_layout).

#include <cstdint>
#include <span>

namespace norvane {

struct KeyPosition {
  uint16_t input_code;  // Linux input key code (KEY_*); the X keycode is 8 more
  uint16_t scan_code;   // set-1 make code, 0xE0xx for extended keys
  uint8_t virtual_key;  // fixed key, or the US layout's key for a typing key
  bool typing;          // its virtual key follows what it types in the layout
};

std::span<const KeyPosition> key_positions();

// The position of a Linux input key code / of a scan code; null when unknown.
const KeyPosition* find_position_by_input_code(uint32_t input_code);
const KeyPosition* find_position_by_scan_code(uint32_t scan_code);

}  // namespace norvane
