#include "core/profile_defaults.h"

#include <algorithm>
#include <cstring>

namespace norvane {
namespace {

constexpr int32_t kDefaultDpi[kDpiLevels] = {8, 16, 32, 64, 128, 520, 0, 0};
constexpr int32_t kDefaultDpiEnabled[kDpiLevels] = {1, 1, 1, 1, 1, 1, 0, 0};
constexpr uint32_t kDefaultDpiColor[kDpiLevels] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF,
                                                   0xFFFF00, 0xFF00FF, 0x0040FF, 0xFFFFFF};
constexpr uint32_t kDefaultSpareColor[kDpiLevels] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFF00FF,
                                                     0x00FFFF, 0xFFFFFF, 0xFFFFFF, 0x0080FF};

}  // namespace

void reset_dpi_defaults(ProfileRecord& r) {
  r.current_dpi_level = 1;
  std::copy(std::begin(kDefaultDpi), std::end(kDefaultDpi), r.dpi_value);
  std::copy(std::begin(kDefaultDpi), std::end(kDefaultDpi), r.dpi_value_2);
  std::copy(std::begin(kDefaultDpiEnabled), std::end(kDefaultDpiEnabled), r.dpi_enabled);
  std::copy(std::begin(kDefaultDpiColor), std::end(kDefaultDpiColor), r.dpi_color);
}

void reset_profile_defaults(ProfileRecord& r) {
  std::memset(r.text_2, 0, sizeof r.text_2);
  std::memset(r.text_3, 0, sizeof r.text_3);
  r.reserved_a = 420;
  r.reserved_b = 3;
  r.reserved_c = 0;
  r.reserved_d = 6;
  r.reserved_e = 0;
  r.lift_off_distance = 0;
  r.reserved_f = 0;
  reset_dpi_defaults(r);
  r.light_brightness = 8;
  r.breath_speed = 6;
  r.sleep_timer = 10;
  r.polling_rate = 3;
  r.polling_rate_hs = 6;
  r.ripple_control = 1;
  r.angle_snap = 0;
  r.motion_sync = 1;
  r.light_off_timer = 1;
  r.light_mode = 5;
  r.reserved_g = 3;
  r.reserved_h = 1;
  r.key_debounce = 4;
  r.wakeup = 1;
  r.light_color = 0xFF0000;
  std::copy(std::begin(kDefaultSpareColor), std::end(kDefaultSpareColor), r.spare_color);

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
