#pragma once
// Names of stored key codes for the program's windows: the key names of
// macros/key_codes with the language file's texts, in the keyboard layout in use at the
// moment a name is asked for. UI thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "macros/keyboard_layout.h"

namespace norvane {

using KeyboardLayoutProvider = std::function<std::shared_ptr<const KeyboardLayout>()>;
using KeyCodeNameFn = std::function<std::u16string(uint8_t code)>;
// The keyboard usage stored for a virtual key; 0 when the key is not one the mouse plays.
using VirtualKeyCodeFn = std::function<uint8_t(uint32_t virtual_key)>;

// Names in the layout `layout` gives at each call.
KeyCodeNameFn key_names(KeyboardLayoutProvider layout);

// Names in the session's layout (the X server's current group, else the configured one).
KeyCodeNameFn session_key_names();

// Usages of virtual keys in the layout `layout` gives at each call.
VirtualKeyCodeFn key_codes(KeyboardLayoutProvider layout);

// Names and usages in the session's layout, sharing one view of it.
struct SessionKeys {
  KeyCodeNameFn name;
  VirtualKeyCodeFn code;
};
SessionKeys session_keys();

}  // namespace norvane
