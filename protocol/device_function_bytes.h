#pragma once
// The three bytes that tell the mouse a button's function, as sent in the button mapping.

#include "buttons/button_function_table.h"
#include "core/profile_record.h"

namespace norvane {

// The function table's device bytes for the slot's function (0, 0, 0 when it has none);
// a shortcut carries the slot's modifiers and key, a macro 0 and the low byte of the
// slot's macro start block.
DeviceBytes device_function_bytes(int slot_index, const ButtonSlot& slot);

}  // namespace norvane
