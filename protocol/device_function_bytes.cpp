#include "protocol/device_function_bytes.h"

#include "protocol/macro_blocks.h"

namespace norvane {

DeviceBytes device_function_bytes(int slot_index, const ButtonSlot& slot) {
  const ButtonFunction* f = find_button_function(slot.function);
  if (f == nullptr || !f->has_device_bytes) return {0, 0, 0};
  DeviceBytes bytes = f->device_bytes;
  if (slot.function == kFunctionShortcut) {
    bytes[1] = slot.shortcut_modifiers;
    bytes[2] = slot.shortcut_key;
  } else if (slot.function == kFunctionMacro) {
    bytes[1] = 0;
    bytes[2] = static_cast<uint8_t>(macro_start_block(slot_index) & 0xFF);
  }
  return bytes;
}

}  // namespace norvane
