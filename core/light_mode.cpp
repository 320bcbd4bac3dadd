#include "core/light_mode.h"

namespace norvane {

LightingPanels lighting_panels(int32_t light_mode) {
  switch (light_mode) {
    case 1:
      return {.brightness = true, .speed = false, .color = true};
    case 2:
      return {.brightness = false, .speed = true, .color = true};
    case 5:
      return {.brightness = true, .speed = false, .color = false};
    case 3:
    case 4:
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
      return {.brightness = false, .speed = true, .color = false};
    default:
      return {};
  }
}

}  // namespace norvane
