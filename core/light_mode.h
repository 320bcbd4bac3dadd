#pragma once
// Which lighting sub-panels the page shows for a lighting mode: brightness, speed and
// colour. No Qt.

#include <cstdint>

namespace norvane {

// Lighting modes are 0..11, the entries of the page's lighting list.
inline constexpr int kLightModeCount = 12;

struct LightingPanels {
  bool brightness = false;
  bool speed = false;
  bool color = false;
  bool operator==(const LightingPanels&) const = default;
};

// Mode 1: brightness and colour; 2: speed and colour; 5: brightness; 3, 4 and 6..11:
// speed; any other value (0 included): none.
LightingPanels lighting_panels(int32_t light_mode);

}  // namespace norvane
