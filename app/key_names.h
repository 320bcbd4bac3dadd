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

// Names in the layout `layout` gives at each call.
KeyCodeNameFn key_names(KeyboardLayoutProvider layout);

// Names in the session's layout (the X server's current group, else the configured one).
KeyCodeNameFn session_key_names();

}  // namespace norvane
