#include "macros/session_keyboard.h"

#include <cstdlib>
#include <fstream>

namespace norvane {
namespace {

std::string process_environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const size_t last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

std::string unquoted(const std::string& s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
    return s.substr(1, s.size() - 2);
  }
  return s;
}

std::string names_text(const KeymapNames& n) {
  std::string text = "\"" + n.layout + "\"";
  if (!n.variant.empty()) text += " variant \"" + n.variant + "\"";
  if (!n.model.empty()) text += " model \"" + n.model + "\"";
  return text;
}

}  // namespace

std::optional<KeymapNames> read_keyboard_file(const std::string& path) {
  std::ifstream file(path);
  if (!file) return std::nullopt;
  KeymapNames names;
  std::string line;
  while (std::getline(file, line)) {
    line = trimmed(line);
    if (line.empty() || line.front() == '#') continue;
    if (line.rfind("export ", 0) == 0) line = trimmed(line.substr(7));
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = trimmed(line.substr(0, eq));
    const std::string value = unquoted(trimmed(line.substr(eq + 1)));
    if (key == "XKBLAYOUT") names.layout = value;
    else if (key == "XKBVARIANT") names.variant = value;
    else if (key == "XKBMODEL") names.model = value;
    else if (key == "XKBOPTIONS") names.options = value;
  }
  if (names.layout.empty()) return std::nullopt;
  return names;
}

SessionKeyboard::SessionKeyboard(SessionKeyboardOptions options) : options_(std::move(options)) {
  if (!options_.environment) options_.environment = process_environment;
}

SessionKeyboard::~SessionKeyboard() = default;

std::shared_ptr<const XkbKeyboardLayout> SessionKeyboard::from_x11() {
  const std::string display = options_.environment("DISPLAY");
  const bool wayland = options_.environment("XDG_SESSION_TYPE") == "wayland" ||
                       !options_.environment("WAYLAND_DISPLAY").empty();
  if (display.empty() || wayland) {
    x11_.reset();
    return nullptr;
  }
  if (x11_ != nullptr && display != x11_display_) x11_.reset();
  if (x11_ == nullptr) {
    x11_ = X11Keyboard::connect(display.c_str(), options_.trace);
    x11_display_ = display;
  }
  if (x11_ == nullptr) return nullptr;
  std::shared_ptr<const XkbKeyboardLayout> layout = x11_->current();
  if (layout == nullptr) {
    if (options_.trace) options_.trace("keyboard layout: lost the X server " + display);
    x11_.reset();  // connect again next time
  }
  return layout;
}

std::shared_ptr<const XkbKeyboardLayout> SessionKeyboard::from_names(const KeymapNames& names, const char* where) {
  if (cached_names_ == names) return cached_layout_;
  if (failed_names_ == names) return nullptr;
  std::shared_ptr<const XkbKeyboardLayout> layout = XkbKeyboardLayout::compile(names);
  if (layout == nullptr) {
    if (options_.trace) options_.trace("keyboard layout: " + names_text(names) + " from " + where + " does not compile");
    failed_names_ = names;
    return nullptr;
  }
  cached_names_ = names;
  cached_layout_ = layout;
  return layout;
}

std::shared_ptr<const XkbKeyboardLayout> SessionKeyboard::current() {
  if (auto layout = from_x11()) {
    source_ = LayoutSource::x11;
    return layout;
  }
  const std::string env_layout = options_.environment("XKB_DEFAULT_LAYOUT");
  if (!env_layout.empty()) {
    const KeymapNames names{options_.environment("XKB_DEFAULT_RULES"), options_.environment("XKB_DEFAULT_MODEL"),
                            env_layout, options_.environment("XKB_DEFAULT_VARIANT"),
                            options_.environment("XKB_DEFAULT_OPTIONS")};
    if (auto layout = from_names(names, "XKB_DEFAULT_LAYOUT")) {
      source_ = LayoutSource::environment;
      return layout;
    }
  }
  if (const std::optional<KeymapNames> names = read_keyboard_file(options_.keyboard_file)) {
    if (auto layout = from_names(*names, options_.keyboard_file.c_str())) {
      source_ = LayoutSource::keyboard_file;
      return layout;
    }
  }
  source_ = LayoutSource::fallback;
  if (auto layout = from_names(KeymapNames{"evdev", "pc105", "us", "", ""}, "the built-in default")) return layout;
  // xkb-data itself is missing: a layout without a keymap still places every key (US
  // virtual keys), it only types nothing.
  static const std::shared_ptr<const XkbKeyboardLayout> without_keymap =
      std::make_shared<XkbKeyboardLayout>(nullptr, 0);
  return without_keymap;
}

}  // namespace norvane
