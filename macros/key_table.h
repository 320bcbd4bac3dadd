#pragma once
// The key table: which keyboard usage ID (USB HID Keyboard/Keypad page) each Windows
// virtual-key code is stored as, and the PC set-1 scan code of the typing keys.
// Searched front to back; the first match wins.

#include <cstdint>
#include <span>

namespace norvane {

struct KeyTableEntry {
  uint32_t virtual_key;
  uint32_t usage;
  uint32_t scan_code;  // set-1 make code for usages 4..69; 0 for every other key
};

inline constexpr int kKeyTableSize = 112;

std::span<const KeyTableEntry> key_table();

// The first entry with that virtual key, usage or scan code; null when there is none.
const KeyTableEntry* find_key_by_virtual_key(uint32_t virtual_key);
const KeyTableEntry* find_key_by_usage(uint32_t usage);
const KeyTableEntry* find_key_by_scan_code(uint32_t scan_code);

}  // namespace norvane
