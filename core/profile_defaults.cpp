#include "core/profile_defaults.h"

#include <algorithm>
#include <cstring>

namespace norvane {

void reset_dpi_defaults(ProfileRecord& r) {
  for (const SettingField* f : kSettingFields) {
    if (f->reset == SettingReset::dpi) reset_setting(r, *f);
  }
}

void reset_profile_defaults(ProfileRecord& r) {
  for (const SettingField* f : kSettingFields) {
    if (f->reset != SettingReset::kept) reset_setting(r, *f);
  }

  std::memset(r.buttons, 0, sizeof r.buttons);
  for (int slot = 0; slot < kMouseButtons; ++slot) {
    ButtonSlot& b = r.buttons[slot];
    b.button_index = static_cast<uint8_t>(slot);
    b.function = kDefaultButtonFunctions[static_cast<size_t>(slot)];
    b.function_param = 0;
    b.slot_word = 562;
    b.macro_list_index = -1;
    b.slot_reserved = -1;
  }
}

int32_t dpi_value_from_typed_cpi(long long cpi) {
  const long long clamped = std::clamp<long long>(cpi, kMinTypedCpi, kMaxTypedCpi);
  return static_cast<int32_t>(clamped / kCpiPerDpiUnit);
}

}  // namespace norvane
