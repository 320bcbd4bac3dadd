#pragma once
// The red, green and blue edits of the colour dialog: reading what was typed into one
// of them, and replacing one component of an opaque ARGB colour.

#include <cstdint>
#include <string_view>

namespace norvane {

enum class ColorChannel { kRed, kGreen, kBlue };

struct TypedComponent {
  int value = 0;        // 0..255
  bool clamped = false;  // the text stood for a number outside 0..255 and must be rewritten
};

// Reads the text as a decimal integer the way the edits always have: leading blanks
// and one sign are allowed, reading stops at the first character that is not a digit,
// and text without digits reads as 0. Values below 0 become 0 and values above 255
// become 255 (however many digits were typed).
TypedComponent read_typed_component(std::u16string_view text);

// `argb` with one component replaced by `value` (0..255); the colour stays opaque.
uint32_t with_component(uint32_t argb, ColorChannel channel, int value);
int component_of(uint32_t argb, ColorChannel channel);

}  // namespace norvane
