#pragma once
// A keyboard layout read from an xkbcommon keymap: one group (layout index) of it.
//
// Typing keys get their virtual keys the way Windows layouts hand them out: a key that
// types a letter a..z carries that letter's virtual key; a key that types a character
// with its own US virtual key (, . - = + ; / ` [ \ ] ') carries that one; every other
// typing key keeps its US virtual key when no other key took it, else one of the typing
// virtual keys left over. Every typing virtual key is therefore carried by exactly one
// key, and scan code and virtual key translate into each other both ways.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "macros/keyboard_layout.h"

struct xkb_context;
struct xkb_keymap;

namespace norvane {

// RMLVO names of a keymap; empty fields take xkbcommon's defaults ("evdev", "pc105", "us").
struct KeymapNames {
  std::string rules;
  std::string model;
  std::string layout;
  std::string variant;
  std::string options;
  bool operator==(const KeymapNames&) const = default;
};

class XkbKeyboardLayout final : public KeyboardLayout {
 public:
  // Takes its own reference to `keymap`. A null keymap places every key as the US layout
  // does and types nothing.
  XkbKeyboardLayout(xkb_keymap* keymap, uint32_t group);
  ~XkbKeyboardLayout() override;
  XkbKeyboardLayout(const XkbKeyboardLayout&) = delete;
  XkbKeyboardLayout& operator=(const XkbKeyboardLayout&) = delete;

  // Compiles a keymap from xkb-data (without reading XKB_DEFAULT_* from the
  // environment) and takes its first group. Null when it does not compile.
  static std::unique_ptr<XkbKeyboardLayout> compile(const KeymapNames& names);

  uint32_t scan_code_of(uint32_t virtual_key) const override;
  uint32_t virtual_key_of(uint32_t scan_code) const override;
  std::string typed_text(uint32_t virtual_key) const override;

  // The virtual key of a Linux input key code (X keycode - 8); 0 for unknown keys.
  uint32_t virtual_key_of_input_code(uint32_t input_code) const;

  uint32_t group() const { return group_; }

 private:
  void assign_virtual_keys();
  std::string text_of_input_code(uint32_t input_code) const;

  xkb_keymap* keymap_;
  uint32_t group_;
  std::array<uint8_t, 256> vk_by_input_{};     // input code -> virtual key (0: none)
  std::array<uint16_t, 256> input_by_vk_{};    // virtual key -> input code (0: none)
};

}  // namespace norvane
