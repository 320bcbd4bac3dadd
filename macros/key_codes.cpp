#include "macros/key_codes.h"

#include "core/trace.h"
#include "macros/key_table.h"

namespace norvane {
namespace {

constexpr uint32_t kFirstTypingUsage = 4;
constexpr uint32_t kLastScanCodeUsage = 69;  // F12: usages 4..69 are looked up by scan code
constexpr uint32_t kLastTypingNameUsage = 57;  // Caps Lock: usages 4..57 are named by the layout

struct NameKey {
  uint32_t value;
  std::string_view key;
};

// Language keys of the virtual keys that are not named by the character they type.
// clang-format off
constexpr NameKey kVirtualKeyNames[] = {
    {0x08, "key_BackSpace"}, {0x09, "key_Tab"}, {0x0D, "key_Enter"},
    {0x10, "key_LShift"}, {0xA0, "key_LShift"}, {0x11, "key_LCtrl"}, {0xA2, "key_LCtrl"},
    {0x12, "key_LAlt"}, {0xA4, "key_LAlt"}, {0x13, "key_Pause"}, {0x14, "key_Caplk"}, {0xF0, "key_Caplk"},
    {0x1B, "key_Esc"}, {0x20, "key_Space"}, {0x21, "key_Page Up"}, {0x22, "key_Page Down"},
    {0x23, "key_End"}, {0x24, "key_Home"}, {0x25, "key_Left"}, {0x26, "key_Up"}, {0x27, "key_Right"},
    {0x28, "key_Down"}, {0x2A, "key_Print Scr"}, {0x2C, "key_Print Scr"}, {0x2D, "key_Insert"},
    {0x2E, "key_Delete"}, {0x5B, "key_LWin"}, {0x5C, "key_RWin"}, {0x5D, "key_APP"},
    {0x60, "key_Num_0"}, {0x61, "key_Num_1"}, {0x62, "key_Num_2"}, {0x63, "key_Num_3"}, {0x64, "key_Num_4"},
    {0x65, "key_Num_5"}, {0x66, "key_Num_6"}, {0x67, "key_Num_7"}, {0x68, "key_Num_8"}, {0x69, "key_Num_9"},
    {0x6A, "key_Num_*"}, {0x6B, "key_Num_+"}, {0x6C, "key_Num_Enter"}, {0x6D, "key_Num_-"},
    {0x6E, "key_Num_."}, {0x6F, "key_Num_/"},
    {0x70, "key_F1"}, {0x71, "key_F2"}, {0x72, "key_F3"}, {0x73, "key_F4"}, {0x74, "key_F5"}, {0x75, "key_F6"},
    {0x76, "key_F7"}, {0x77, "key_F8"}, {0x78, "key_F9"}, {0x79, "key_F10"}, {0x7A, "key_F11"}, {0x7B, "key_F12"},
    {0x90, "key_Num Lock"}, {0x91, "key_Scroll Lock"}, {0xA1, "key_RShift"}, {0xA3, "key_RCtrl"},
    {0xA5, "key_RAlt"},
};

// Language keys of the stored codes outside the typing keys. Codes 102..104 have the
// empty key and so the empty name; they need no entry.
constexpr NameKey kCodeNames[] = {
    {58, "key_F1"}, {59, "key_F2"}, {60, "key_F3"}, {61, "key_F4"}, {62, "key_F5"}, {63, "key_F6"},
    {64, "key_F7"}, {65, "key_F8"}, {66, "key_F9"}, {67, "key_F10"}, {68, "key_F11"}, {69, "key_F12"},
    {70, "key_Print Scr"}, {71, "key_Scroll Lock"}, {72, "key_Pause"}, {73, "key_Insert"}, {74, "key_Home"},
    {75, "key_Page Up"}, {76, "key_Delete"}, {77, "key_End"}, {78, "key_Page Down"}, {79, "key_Right"},
    {80, "key_Left"}, {81, "key_Down"}, {82, "key_Up"}, {83, "key_Num Lock"},
    {84, "key_Num_/"}, {85, "key_Num_*"}, {86, "key_Num_-"}, {87, "key_Num_+"}, {88, "key_Num_Enter"},
    {89, "key_Num_1"}, {90, "key_Num_2"}, {91, "key_Num_3"}, {92, "key_Num_4"}, {93, "key_Num_5"},
    {94, "key_Num_6"}, {95, "key_Num_7"}, {96, "key_Num_8"}, {97, "key_Num_9"}, {98, "key_Num_0"},
    {99, "key_Num_."}, {100, "key_\\"}, {101, "key_APP"},
    {130, "Sleep"}, {136, "Kana/Roma"}, {221, "`"},
    {224, "key_LCtrl"}, {225, "key_LShift"}, {226, "key_LAlt"}, {227, "key_LWin"},
    {228, "key_RCtrl"}, {229, "key_RShift"}, {230, "key_RAlt"}, {231, "key_RWin"},
    {241, "L_Button"}, {242, "R_Button"}, {243, "M_Button"}, {244, "Backward_Button"}, {245, "Forward_Button"},
};
// clang-format on

template <size_t N>
const NameKey* find_name(const NameKey (&names)[N], uint32_t value) {
  for (const NameKey& n : names) {
    if (n.value == value) return &n;
  }
  return nullptr;
}

std::string language_text(const LanguageTextUtf8Fn& text, std::string_view key) {
  return text ? text(key) : std::string();
}

}  // namespace

KeyCode key_code_from_vk(uint32_t virtual_key, const KeyboardLayout& layout) {
  const KeyTableEntry* entry = find_key_by_virtual_key(virtual_key);
  if (entry == nullptr) return {};
  KeyCode result{true, static_cast<uint8_t>(entry->usage)};
  if (entry->usage < kFirstTypingUsage || entry->usage > kLastScanCodeUsage) return result;
  // The physical key carrying this virtual key in the layout decides. Scan code 0 means
  // no key carries it: keep the table's usage (scan code 0 would otherwise match the
  // first key without a scan code, Print Screen).
  const uint32_t scan_code = layout.scan_code_of(virtual_key);
  if (scan_code == 0) return result;
  if (const KeyTableEntry* by_scan = find_key_by_scan_code(scan_code)) {
    result.code = static_cast<uint8_t>(by_scan->usage);
  }
  return result;
}

std::string key_name_from_vk(uint32_t virtual_key, const KeyboardLayout& layout, const LanguageTextUtf8Fn& text) {
  if (const NameKey* name = find_name(kVirtualKeyNames, virtual_key)) return language_text(text, name->key);
  return upper_case_utf8(layout.typed_text(virtual_key));
}

std::string key_name_from_code(uint32_t code, const KeyboardLayout& layout, const LanguageTextUtf8Fn& text) {
  std::string name;
  if (code >= kFirstTypingUsage && code <= kLastTypingNameUsage) {
    const KeyTableEntry* entry = find_key_by_usage(code);
    const uint32_t virtual_key = entry != nullptr ? layout.virtual_key_of(entry->scan_code) : 0;
    name = key_name_from_vk(virtual_key, layout, text);
  } else if (code >= 232 && code <= 239) {
    // No table entry has these usages: virtual key 0, which names nothing.
    name = key_name_from_vk(0, layout, text);
  } else if (const NameKey* n = find_name(kCodeNames, code)) {
    name = language_text(text, n->key);
  }
  trace("m_key = %s\r\n", name.c_str());
  return name;
}

}  // namespace norvane
