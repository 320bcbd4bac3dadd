#pragma once
// The keyboard layout in use, as the key codes and names ask it: which physical key
// carries a virtual-key code, which virtual-key code a physical key carries, and what a
// key types with no modifier. Virtual-key codes keep their Windows meaning in the layout
// (0x41 is the key that types A); physical keys are named by their PC set-1 scan code.

#include <cstdint>
#include <string>

namespace norvane {

class KeyboardLayout {
 public:
  virtual ~KeyboardLayout() = default;
  // The scan code of the key carrying `virtual_key` (without the 0xE0 prefix of extended
  // keys); 0 when no key carries it.
  virtual uint32_t scan_code_of(uint32_t virtual_key) const = 0;
  // The virtual key of the key with `scan_code` (0xE0xx for extended keys); 0 when none.
  virtual uint32_t virtual_key_of(uint32_t scan_code) const = 0;
  // The UTF-8 text the key carrying `virtual_key` types with no modifier pressed (a dead
  // key gives its spacing accent); empty when it types nothing or no key carries it.
  virtual std::string typed_text(uint32_t virtual_key) const = 0;
};

// `text` in upper case (per character; characters without an upper case stay as they are).
std::string upper_case_utf8(const std::string& text);

}  // namespace norvane
