#include "protocol/dirty_sections.h"

#include <array>
#include <cstddef>
#include <cstring>

#include "core/setting_table.h"

namespace norvane {
namespace {

template <typename T>
bool differ(const T& a, const T& b) {
  static_assert(sizeof(T) % 4 == 0, "compared as whole 32-bit words");
  return std::memcmp(&a, &b, sizeof(T)) != 0;
}

// The compared fields as runs of neighbouring bytes of one section, worked out from the
// table at compile time, so the comparison is a handful of memcmp calls.
struct SectionSpan {
  uint16_t offset = 0;
  uint16_t size = 0;
  SettingSection section = SettingSection::none;
};

struct SectionSpans {
  std::array<SectionSpan, kSettingFields.size()> spans{};
  size_t count = 0;
};

constexpr SectionSpans section_spans() {
  SectionSpans out;
  for (const SettingField* f : kSettingFields) {
    if (f->section == SettingSection::none) continue;
    if (out.count > 0) {
      SectionSpan& last = out.spans[out.count - 1];
      if (last.section == f->section && last.offset + last.size == f->offset) {
        last.size = static_cast<uint16_t>(last.size + f->size());
        continue;
      }
    }
    out.spans[out.count++] = {f->offset, static_cast<uint16_t>(f->size()), f->section};
  }
  return out;
}

constexpr SectionSpans kSectionSpans = section_spans();

// A run compared as its whole bytes (32-bit words, also where only the low byte is sent).
bool span_differs(const ProfileRecord& a, const ProfileRecord& b, const SectionSpan& s) {
  return std::memcmp(reinterpret_cast<const unsigned char*>(&a) + s.offset,
                     reinterpret_cast<const unsigned char*>(&b) + s.offset, s.size) != 0;
}

bool* flag_of(DirtyFlags& flags, SettingSection section) {
  switch (section) {
    case SettingSection::dpi:
      return &flags.dpi;
    case SettingSection::light:
      return &flags.light;
    case SettingSection::rate:
      return &flags.rate;
    case SettingSection::wakeup:
      return &flags.wakeup;
    case SettingSection::none:
      break;
  }
  return nullptr;
}

// The three header extra bytes and the byte after them, as one word.
bool header_word_differs(const ButtonSlot& a, const ButtonSlot& b) {
  constexpr size_t at = offsetof(ButtonSlot, macro_header_extra);
  static_assert(offsetof(ButtonSlot, unused_4) == at + 3);
  return std::memcmp(reinterpret_cast<const unsigned char*>(&a) + at,
                     reinterpret_cast<const unsigned char*>(&b) + at, 4) != 0;
}

bool macro_differs(const ButtonSlot& a, const ButtonSlot& b) {
  return differ(a.macro_mode, b.macro_mode) || differ(a.macro_repeat, b.macro_repeat) ||
         header_word_differs(a, b) || differ(a.macro_events, b.macro_events);
}

}  // namespace

DirtyFlags compare_sections(const ProfileRecord& current, const ProfileRecord& last_applied) {
  DirtyFlags flags;
  for (size_t i = 0; i < kSectionSpans.count; ++i) {
    const SectionSpan& span = kSectionSpans.spans[i];
    bool* flag = flag_of(flags, span.section);
    if (flag != nullptr && !*flag && span_differs(current, last_applied, span)) *flag = true;
  }
  flags.buttons = differ(current.buttons, last_applied.buttons);
  // A macro can only differ inside a button area that differs.
  if (flags.buttons) {
    for (int k = 0; k < kMouseButtons; ++k) {
      flags.macro[static_cast<size_t>(k)] = macro_differs(current.buttons[k], last_applied.buttons[k]);
    }
  }
  return flags;
}

DirtyFlags all_sections_dirty() {
  DirtyFlags flags;
  flags.dpi = flags.rate = flags.light = flags.buttons = flags.wakeup = true;
  flags.macro.fill(true);
  return flags;
}

}  // namespace norvane
