#include "settings/color_components.h"

#include <algorithm>

namespace norvane {
namespace {

int shift_of(ColorChannel channel) {
  switch (channel) {
    case ColorChannel::kRed:
      return 16;
    case ColorChannel::kGreen:
      return 8;
    case ColorChannel::kBlue:
      break;
  }
  return 0;
}

bool is_blank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f'; }

}  // namespace

TypedComponent read_typed_component(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && is_blank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  // Only whether the number leaves 0..255 matters, so counting stops well above 255.
  long long magnitude = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    magnitude = std::min<long long>(magnitude * 10 + (text[i] - u'0'), 100000);
  }
  const long long number = negative ? -magnitude : magnitude;
  if (number < 0) return {0, true};
  if (number > 255) return {255, true};
  return {static_cast<int>(number), false};
}

uint32_t with_component(uint32_t argb, ColorChannel channel, int value) {
  const int shift = shift_of(channel);
  const uint32_t component = static_cast<uint32_t>(std::clamp(value, 0, 255));
  return 0xFF000000u | (argb & ~(0xFFu << shift)) | (component << shift);
}

int component_of(uint32_t argb, ColorChannel channel) { return static_cast<int>((argb >> shift_of(channel)) & 0xFFu); }

}  // namespace norvane
