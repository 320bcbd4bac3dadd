#include "macros/xkb_keyboard_layout.h"

#include <xkbcommon/xkbcommon.h>

#include <vector>

#include "macros/key_positions.h"

namespace norvane {
namespace {

constexpr uint32_t kXkbKeycodeOffset = 8;  // X keycode = Linux input code + 8

bool is_digit_row(const KeyPosition& p) { return p.input_code >= 2 && p.input_code <= 11; }

// The spacing character Windows gives for a dead key typed alone.
uint32_t dead_key_character(xkb_keysym_t sym) {
  switch (sym) {
    case XKB_KEY_dead_grave: return 0x60;
    case XKB_KEY_dead_acute: return 0xB4;
    case XKB_KEY_dead_circumflex: return 0x5E;
    case XKB_KEY_dead_tilde: return 0x7E;
    case XKB_KEY_dead_macron: return 0xAF;
    case XKB_KEY_dead_breve: return 0x2D8;
    case XKB_KEY_dead_abovedot: return 0x2D9;
    case XKB_KEY_dead_diaeresis: return 0xA8;
    case XKB_KEY_dead_abovering: return 0x2DA;
    case XKB_KEY_dead_doubleacute: return 0x2DD;
    case XKB_KEY_dead_caron: return 0x2C7;
    case XKB_KEY_dead_cedilla: return 0xB8;
    case XKB_KEY_dead_ogonek: return 0x2DB;
    default: return 0;
  }
}

// The typing virtual key of a character a non-letter key types, as US-style layouts
// name these keys (VK_OEM_PLUS is the key of '+' wherever it lies); 0 for others.
uint8_t punctuation_virtual_key(uint32_t c) {
  switch (c) {
    case ';': return 0xBA;
    case '=': case '+': return 0xBB;
    case ',': return 0xBC;
    case '-': return 0xBD;
    case '.': return 0xBE;
    case '/': return 0xBF;
    case '`': return 0xC0;
    case '[': return 0xDB;
    case '\\': return 0xDC;
    case ']': return 0xDD;
    case '\'': return 0xDE;
    default: return 0;
  }
}

void append_utf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 character at `i` and advances `i`; a malformed byte is returned
// as kMalformed and skipped alone.
constexpr uint32_t kMalformed = 0xFFFFFFFF;
uint32_t next_utf8(const std::string& s, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
  const uint8_t b0 = byte(i);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  const int extra = (b0 & 0xE0) == 0xC0 ? 1 : (b0 & 0xF0) == 0xE0 ? 2 : (b0 & 0xF8) == 0xF0 ? 3 : 0;
  if (extra == 0 || i + extra >= s.size()) {
    ++i;
    return kMalformed;
  }
  uint32_t c = b0 & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return kMalformed;
    }
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  i += 1 + extra;
  return c;
}

}  // namespace

std::string upper_case_utf8(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const size_t start = i;
    const uint32_t c = next_utf8(text, i);
    if (c == kMalformed) {
      out += text[start];
      continue;
    }
    const uint32_t upper = xkb_keysym_to_utf32(xkb_keysym_to_upper(xkb_utf32_to_keysym(c)));
    append_utf8(out, upper != 0 ? upper : c);
  }
  return out;
}

XkbKeyboardLayout::XkbKeyboardLayout(xkb_keymap* keymap, uint32_t group)
    : keymap_(keymap != nullptr ? xkb_keymap_ref(keymap) : nullptr), group_(group) {
  if (keymap_ == nullptr || group_ >= xkb_keymap_num_layouts(keymap_)) group_ = 0;
  assign_virtual_keys();
}

XkbKeyboardLayout::~XkbKeyboardLayout() {
  if (keymap_ != nullptr) xkb_keymap_unref(keymap_);
}

std::unique_ptr<XkbKeyboardLayout> XkbKeyboardLayout::compile(const KeymapNames& names) {
  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
  if (context == nullptr) return nullptr;
  const auto field = [](const std::string& s) { return s.empty() ? nullptr : s.c_str(); };
  const xkb_rule_names rmlvo = {field(names.rules), field(names.model), field(names.layout), field(names.variant),
                                names.options.c_str()};
  xkb_keymap* keymap = xkb_keymap_new_from_names(context, &rmlvo, XKB_KEYMAP_COMPILE_NO_FLAGS);
  xkb_context_unref(context);
  if (keymap == nullptr) return nullptr;
  auto layout = std::make_unique<XkbKeyboardLayout>(keymap, 0);
  xkb_keymap_unref(keymap);
  return layout;
}

std::string XkbKeyboardLayout::text_of_input_code(uint32_t input_code) const {
  if (keymap_ == nullptr) return {};
  const xkb_keysym_t* syms = nullptr;
  const int count =
      xkb_keymap_key_get_syms_by_level(keymap_, input_code + kXkbKeycodeOffset, group_, 0, &syms);
  std::string text;
  for (int i = 0; i < count; ++i) {
    uint32_t c = dead_key_character(syms[i]);
    if (c == 0) c = xkb_keysym_to_utf32(syms[i]);
    if (c < 0x20 || c == 0x7F) continue;  // control characters (Enter, Tab, Esc, ...) are not text
    append_utf8(text, c);
  }
  return text;
}

void XkbKeyboardLayout::assign_virtual_keys() {
  std::vector<const KeyPosition*> typing;
  for (const KeyPosition& p : key_positions()) {
    if (p.typing) {
      typing.push_back(&p);
    } else {
      vk_by_input_[p.input_code] = p.virtual_key;
      if (input_by_vk_[p.virtual_key] == 0) input_by_vk_[p.virtual_key] = p.input_code;
    }
  }

  const auto take = [this](const KeyPosition* p, uint8_t vk) {
    if (vk == 0 || vk_by_input_[p->input_code] != 0 || input_by_vk_[vk] != 0) return;
    vk_by_input_[p->input_code] = vk;
    input_by_vk_[vk] = p->input_code;
  };
  const auto first_character = [this](const KeyPosition* p) -> uint32_t {
    const std::string text = text_of_input_code(p->input_code);
    size_t i = 0;
    return text.empty() ? 0 : next_utf8(text, i);
  };

  // Letters first, then punctuation with a virtual key of its own (not on the digit
  // row, whose keys stay digits as they do in Windows layouts), then the US key, then
  // whatever typing key is left.
  for (const KeyPosition* p : typing) {
    const uint32_t c = first_character(p);
    if (c >= 'a' && c <= 'z') take(p, static_cast<uint8_t>(c - 'a' + 'A'));
    if (c >= 'A' && c <= 'Z') take(p, static_cast<uint8_t>(c));
  }
  for (const KeyPosition* p : typing) {
    if (!is_digit_row(*p)) take(p, punctuation_virtual_key(first_character(p)));
  }
  for (const KeyPosition* p : typing) take(p, p->virtual_key);
  size_t spare = 0;
  for (const KeyPosition* p : typing) {
    if (vk_by_input_[p->input_code] != 0) continue;
    while (spare < typing.size() && input_by_vk_[typing[spare]->virtual_key] != 0) ++spare;
    if (spare < typing.size()) take(p, typing[spare]->virtual_key);
  }
}

uint32_t XkbKeyboardLayout::virtual_key_of_input_code(uint32_t input_code) const {
  return input_code < vk_by_input_.size() ? vk_by_input_[input_code] : 0;
}

uint32_t XkbKeyboardLayout::scan_code_of(uint32_t virtual_key) const {
  if (virtual_key == 0 || virtual_key >= input_by_vk_.size()) return 0;
  const KeyPosition* p = find_position_by_input_code(input_by_vk_[virtual_key]);
  return p != nullptr ? (p->scan_code & 0xFF) : 0;
}

uint32_t XkbKeyboardLayout::virtual_key_of(uint32_t scan_code) const {
  const KeyPosition* p = find_position_by_scan_code(scan_code);
  return p != nullptr ? vk_by_input_[p->input_code] : 0;
}

std::string XkbKeyboardLayout::typed_text(uint32_t virtual_key) const {
  if (virtual_key == 0 || virtual_key >= input_by_vk_.size() || input_by_vk_[virtual_key] == 0) return {};
  return text_of_input_code(input_by_vk_[virtual_key]);
}

}  // namespace norvane
