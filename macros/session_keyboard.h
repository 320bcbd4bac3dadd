#pragma once
// The keyboard layout of the session the program runs in, asked for anew on every call
// so a layout switch shows the next time a key is named or converted. Sources, first
// that gives a layout wins:
//   1. an X11 session (DISPLAY set, not a Wayland session): the X server's layout in its
//      current group;
//   2. XKB_DEFAULT_LAYOUT (with XKB_DEFAULT_VARIANT, _MODEL, _OPTIONS, _RULES);
//   3. XKBLAYOUT, XKBVARIANT, XKBMODEL, XKBOPTIONS of /etc/default/keyboard;
//   4. "us".
// One thread at a time (each user keeps its own).

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "macros/x11_keyboard.h"
#include "macros/xkb_keyboard_layout.h"

namespace norvane {

struct SessionKeyboardOptions {
  // Reads an environment variable; empty when unset. Default: the process environment.
  std::function<std::string(const char* name)> environment;
  std::string keyboard_file = "/etc/default/keyboard";
  // Where problems are reported (a layout that does not compile, a lost X server).
  LayoutTrace trace;
};

enum class LayoutSource { x11, environment, keyboard_file, fallback };

class SessionKeyboard {
 public:
  explicit SessionKeyboard(SessionKeyboardOptions options = {});
  ~SessionKeyboard();
  SessionKeyboard(const SessionKeyboard&) = delete;
  SessionKeyboard& operator=(const SessionKeyboard&) = delete;

  // The layout in use now. Never null.
  std::shared_ptr<const XkbKeyboardLayout> current();
  // Where the last current() found it.
  LayoutSource source() const { return source_; }

 private:
  std::shared_ptr<const XkbKeyboardLayout> from_x11();
  std::shared_ptr<const XkbKeyboardLayout> from_names(const KeymapNames& names, const char* where);

  SessionKeyboardOptions options_;
  std::unique_ptr<X11Keyboard> x11_;
  std::string x11_display_;  // the display x11_ is connected to
  std::optional<KeymapNames> cached_names_;
  std::shared_ptr<const XkbKeyboardLayout> cached_layout_;
  std::optional<KeymapNames> failed_names_;  // traced once, not compiled again
  LayoutSource source_ = LayoutSource::fallback;
};

// Reads the XKB* settings of a /etc/default/keyboard file (shell assignments). Nullopt
// when the file cannot be read or sets no XKBLAYOUT.
std::optional<KeymapNames> read_keyboard_file(const std::string& path);

}  // namespace norvane
