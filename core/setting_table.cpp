#include "core/setting_table.h"

namespace norvane {
namespace {

// The rows cover the settings part in record order, without overlap; the only bytes
// left out are the padding that nothing writes.
constexpr bool rows_cover_the_settings() {
  constexpr size_t padding = sizeof(ProfileRecord::unused_c) + sizeof(ProfileRecord::unused_d) +
                             sizeof(ProfileRecord::unused_f) + sizeof(ProfileRecord::unused_h);
  size_t end = 0;
  size_t covered = 0;
  for (const SettingField* f : kSettingFields) {
    if (f->offset < end) return false;
    end = f->offset + f->size();
    covered += f->size();
  }
  return end == offsetof(ProfileRecord, buttons) && covered == end - padding;
}
static_assert(rows_cover_the_settings(), "a settings field without its row, or rows out of order");

constexpr bool row_is_consistent(const SettingField& f) {
  for (int k = 0; k < f.count; ++k) {
    if (!f.range.contains(f.defaults.at(k))) return false;
  }
  if (f.defaults.per_element && f.count != kDpiLevels) return false;
  // Sections compare whole 32-bit words; a sent field is always compared.
  if (f.section != SettingSection::none && f.element_size() != 4) return false;
  if (f.encoding != WireEncoding::none && f.section == SettingSection::none) return false;
  // Code edits int32 scalars by member.
  if (f.type == ElementType::i32 && f.count == 1 && f.member == nullptr) return false;
  return true;
}

constexpr bool rows_are_consistent() {
  for (const SettingField* f : kSettingFields) {
    if (!row_is_consistent(*f)) return false;
  }
  return true;
}
static_assert(rows_are_consistent(), "a default outside its range, or a row that cannot be compared or edited");

}  // namespace

void set_setting_value(ProfileRecord& record, const SettingField& field, int element, int64_t value) {
  auto* at = reinterpret_cast<unsigned char*>(&record) + field.offset +
             field.element_size() * static_cast<size_t>(element);
  switch (field.type) {
    case ElementType::i32:
    case ElementType::u32: {
      const uint32_t v = static_cast<uint32_t>(value);
      std::memcpy(at, &v, sizeof v);
      return;
    }
    case ElementType::u16: {
      const uint16_t v = static_cast<uint16_t>(value);
      std::memcpy(at, &v, sizeof v);
      return;
    }
    case ElementType::u8:
      *at = static_cast<unsigned char>(value);
      return;
  }
}

void reset_setting(ProfileRecord& record, const SettingField& field) {
  for (int k = 0; k < field.count; ++k) set_setting_value(record, field, k, field.defaults.at(k));
}

std::vector<SettingFix> fix_out_of_range_settings(ProfileRecord& record) {
  std::vector<SettingFix> fixes;
  for (const SettingField* f : kSettingFields) {
    for (int k = 0; k < f->count; ++k) {
      const int64_t found = setting_value(record, *f, k);
      if (f->range.contains(found)) continue;
      const int64_t fixed_to = f->defaults.at(k);
      set_setting_value(record, *f, k, fixed_to);
      fixes.push_back({f, k, found, fixed_to});
    }
  }
  return fixes;
}

std::string describe(const SettingFix& fix) {
  std::string text(fix.field->name);
  if (fix.field->count > 1) text += "[" + std::to_string(fix.element) + "]";
  text += " " + std::to_string(fix.found) + " set to " + std::to_string(fix.fixed_to);
  return text;
}

}  // namespace norvane
