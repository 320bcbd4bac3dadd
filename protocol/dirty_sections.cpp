#include "protocol/dirty_sections.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <limits>

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

void copy_span(const ProfileRecord& from, ProfileRecord& to, const SectionSpan& s) {
  std::memcpy(reinterpret_cast<unsigned char*>(&to) + s.offset,
              reinterpret_cast<const unsigned char*>(&from) + s.offset, s.size);
}

// What macro_differs compares, copied.
void copy_macro(const ButtonSlot& from, ButtonSlot& to) {
  to.macro_mode = from.macro_mode;
  to.macro_repeat = from.macro_repeat;
  constexpr size_t at = offsetof(ButtonSlot, macro_header_extra);
  std::memcpy(reinterpret_cast<unsigned char*>(&to) + at, reinterpret_cast<const unsigned char*>(&from) + at, 4);
  std::memcpy(to.macro_events, from.macro_events, sizeof to.macro_events);
}

}  // namespace

bool DirtyFlags::any() const {
  return dpi || rate || light || buttons || wakeup || std::any_of(macro.begin(), macro.end(), [](bool m) { return m; });
}

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

void copy_sections(const DirtyFlags& which, const ProfileRecord& from, ProfileRecord& to) {
  DirtyFlags flags = which;
  for (size_t i = 0; i < kSectionSpans.count; ++i) {
    const SectionSpan& span = kSectionSpans.spans[i];
    const bool* flag = flag_of(flags, span.section);
    if (flag != nullptr && *flag) copy_span(from, to, span);
  }
  if (which.buttons) std::memcpy(to.buttons, from.buttons, sizeof to.buttons);
  for (int k = 0; k < kMouseButtons; ++k) {
    if (which.macro[static_cast<size_t>(k)]) copy_macro(from.buttons[k], to.buttons[k]);
  }
}

void mark_sections_unknown(const DirtyFlags& which, ProfileRecord& record) {
  // Every one of these is an index or mode the page keeps small and non-negative.
  constexpr int32_t kUnknown = std::numeric_limits<int32_t>::min();
  if (which.rate) record.polling_rate = kUnknown;
  if (which.dpi) record.current_dpi_level = kUnknown;
  if (which.light) record.light_mode = kUnknown;
  if (which.wakeup) record.wakeup = kUnknown;
  if (which.buttons) record.buttons[0].macro_list_index = kUnknown;
  for (int k = 0; k < kMouseButtons; ++k) {
    if (which.macro[static_cast<size_t>(k)]) record.buttons[k].macro_mode = kUnknown;
  }
}

}  // namespace norvane
