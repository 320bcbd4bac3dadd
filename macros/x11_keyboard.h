#pragma once
// The X server's keyboard layout in its current group (xkbcommon-x11). The keymap is
// fetched once and again after the server announces a new one (setxkbmap, a new
// keyboard); the group is asked for on every call, so a layout switch shows at once.
// One thread at a time.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "macros/xkb_keyboard_layout.h"

struct xcb_connection_t;
struct xkb_context;

namespace norvane {

using LayoutTrace = std::function<void(const std::string& line)>;

class X11Keyboard {
 public:
  // Connects to `display` (null: $DISPLAY). Null when there is no server or it lacks XKB.
  static std::unique_ptr<X11Keyboard> connect(const char* display, const LayoutTrace& trace);
  ~X11Keyboard();
  X11Keyboard(const X11Keyboard&) = delete;
  X11Keyboard& operator=(const X11Keyboard&) = delete;

  // The server's layout in its current group; null once the connection is lost.
  std::shared_ptr<const XkbKeyboardLayout> current();

 private:
  X11Keyboard(xcb_connection_t* connection, xkb_context* context, int32_t device, uint8_t xkb_event,
              LayoutTrace trace);
  bool keymap_changed();

  xcb_connection_t* connection_;
  xkb_context* context_;
  int32_t device_;
  uint8_t xkb_event_;
  LayoutTrace trace_;
  xkb_keymap* keymap_ = nullptr;
  std::vector<std::shared_ptr<const XkbKeyboardLayout>> groups_;  // built on first use
};

}  // namespace norvane
