#pragma once
// The macro records. Both are byte images shared with files written on other
// computers (macro.data, *.macro, and the macro copies inside profile records):
// fixed-width little-endian fields, no pointers, read and written whole.

#include <bit>
#include <cstddef>
#include <cstdint>

namespace norvane {

static_assert(std::endian::native == std::endian::little,
              "records are stored as little-endian byte images");

// Event codes that are not keyboard usage IDs.
inline constexpr uint8_t kCodeLeftButton = 241;
inline constexpr uint8_t kCodeRightButton = 242;
inline constexpr uint8_t kCodeMiddleButton = 243;
inline constexpr uint8_t kCodeBackwardButton = 244;
inline constexpr uint8_t kCodeForwardButton = 245;
inline constexpr uint8_t kCodeMouseMove = 246;

// Event kinds.
inline constexpr uint8_t kKindMove = 0;
inline constexpr uint8_t kKindPress = 1;
inline constexpr uint8_t kKindRelease = 2;

inline constexpr int kMaxMacroEvents = 190;
inline constexpr int kMacroNameUnits = 24;  // UTF-16 code units, terminating NUL included

// One input event followed by a pause of `delay` milliseconds.
struct MacroEvent {
  uint8_t reserved_0;
  uint8_t code;
  uint8_t kind;
  uint8_t reserved_1;
  uint16_t delay;
  uint16_t reserved_2;
  int32_t x;
  int32_t y;
};
static_assert(sizeof(MacroEvent) == 16);
static_assert(offsetof(MacroEvent, code) == 1);
static_assert(offsetof(MacroEvent, kind) == 2);
static_assert(offsetof(MacroEvent, delay) == 4);
static_assert(offsetof(MacroEvent, x) == 8);
static_assert(offsetof(MacroEvent, y) == 12);

// One macro of the library.
struct MacroRecord {
  char16_t name[kMacroNameUnits];
  int32_t repeat;
  int32_t event_count;
  MacroEvent events[kMaxMacroEvents];
};
static_assert(sizeof(MacroRecord) == 3096);
static_assert(offsetof(MacroRecord, name) == 0);
static_assert(offsetof(MacroRecord, repeat) == 48);
static_assert(offsetof(MacroRecord, event_count) == 52);
static_assert(offsetof(MacroRecord, events) == 56);

}  // namespace norvane
