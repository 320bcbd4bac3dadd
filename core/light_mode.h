#pragma once
// The lighting modes of the mouse and the rule for which of their settings count in
// each: brightness, speed and colour. The page shows those panels and hides the rest;
// the lighting report sends the brightness only where it counts. No Qt.

#include <cstdint>
#include <optional>

namespace norvane {

// The items of the lighting list, in order; the record stores the item index.
enum class LightMode : uint8_t {
  off,
  steady,
  breathing,
  spectrum_cycle,
  colour_wave,
  multicolour_steady,
  flowing,
  trail,
  reactive,
  pulse,
  meteor,
  marquee,
};
inline constexpr int kLightModeCount = static_cast<int>(LightMode::marquee) + 1;

// The mode a stored value stands for; nullopt outside 0..11.
constexpr std::optional<LightMode> light_mode_from(int64_t stored) {
  if (stored < 0 || stored >= kLightModeCount) return std::nullopt;
  return static_cast<LightMode>(stored);
}

struct LightingPanels {
  bool brightness = false;
  bool speed = false;
  bool color = false;
  bool operator==(const LightingPanels&) const = default;
};

// Steady: brightness and colour; breathing: speed and colour; multicolour steady:
// brightness; off: none; every animated mode: speed.
constexpr LightingPanels lighting_panels(LightMode mode) {
  switch (mode) {
    case LightMode::off:
      return {};
    case LightMode::steady:
      return {.brightness = true, .speed = false, .color = true};
    case LightMode::breathing:
      return {.brightness = false, .speed = true, .color = true};
    case LightMode::multicolour_steady:
      return {.brightness = true, .speed = false, .color = false};
    case LightMode::spectrum_cycle:
    case LightMode::colour_wave:
    case LightMode::flowing:
    case LightMode::trail:
    case LightMode::reactive:
    case LightMode::pulse:
    case LightMode::meteor:
    case LightMode::marquee:
      return {.brightness = false, .speed = true, .color = false};
  }
  return {};
}

// The panels of a stored mode value; none for a value that is no mode.
constexpr LightingPanels lighting_panels(int64_t stored) {
  const std::optional<LightMode> mode = light_mode_from(stored);
  return mode ? lighting_panels(*mode) : LightingPanels{};
}

}  // namespace norvane
