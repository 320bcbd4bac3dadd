#pragma once
// Key codes and key names. Keys are stored as keyboard usage IDs (the codes the mouse
// sends when it plays a key); input arrives as Windows virtual-key codes. The
// conversion follows the physical key, not the character: the key in the place of the
// US Q key is stored as usage 0x14 on every layout, and shown with what it types in the
// layout in use.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "macros/keyboard_layout.h"

namespace norvane {

struct KeyCode {
  bool found = false;
  uint8_t code = 0;  // 0 when not found
  bool operator==(const KeyCode&) const = default;
};

// The UTF-8 text of a language key (empty when the language file lacks it).
using LanguageTextUtf8Fn = std::function<std::string(std::string_view key)>;

// The usage ID stored for a virtual key in `layout`.
KeyCode key_code_from_vk(uint32_t virtual_key, const KeyboardLayout& layout);

// The name of a stored code (UTF-8): a language text, or for typing keys the character
// the key types in `layout`, in upper case. Empty for codes without a name. Each call
// writes "m_key = <name>" to the trace.
std::string key_name_from_code(uint32_t code, const KeyboardLayout& layout, const LanguageTextUtf8Fn& text);

// The name of a virtual key (UTF-8): its language text, or what it types in `layout`
// with no modifier, in upper case; empty when it types nothing.
std::string key_name_from_vk(uint32_t virtual_key, const KeyboardLayout& layout, const LanguageTextUtf8Fn& text);

}  // namespace norvane
