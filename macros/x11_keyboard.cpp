#include "macros/x11_keyboard.h"

#include <xcb/xcb.h>
// xcb's XKB header names a field `explicit`, a C++ keyword.
#define explicit explicit_field
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>

#include <cstdlib>

namespace norvane {

std::unique_ptr<X11Keyboard> X11Keyboard::connect(const char* display, const LayoutTrace& trace) {
  xcb_connection_t* connection = xcb_connect(display, nullptr);
  if (xcb_connection_has_error(connection) != 0) {
    xcb_disconnect(connection);
    return nullptr;
  }
  uint8_t xkb_event = 0;
  if (xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                  XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &xkb_event,
                                  nullptr) == 0) {
    if (trace) trace("keyboard layout: the X server has no XKB extension");
    xcb_disconnect(connection);
    return nullptr;
  }
  const int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
  if (device < 0 || context == nullptr) {
    if (context != nullptr) xkb_context_unref(context);
    xcb_disconnect(connection);
    return nullptr;
  }
  // Be told when the server's keymap is replaced, so it is fetched again.
  constexpr uint16_t kEvents = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY;
  constexpr uint16_t kMapParts = 0xFF;
  xcb_xkb_select_events(connection, static_cast<xcb_xkb_device_spec_t>(device), kEvents, 0, kEvents, kMapParts,
                        kMapParts, nullptr);
  return std::unique_ptr<X11Keyboard>(new X11Keyboard(connection, context, device, xkb_event, trace));
}

X11Keyboard::X11Keyboard(xcb_connection_t* connection, xkb_context* context, int32_t device, uint8_t xkb_event,
                         LayoutTrace trace)
    : connection_(connection), context_(context), device_(device), xkb_event_(xkb_event), trace_(std::move(trace)) {}

X11Keyboard::~X11Keyboard() {
  groups_.clear();
  if (keymap_ != nullptr) xkb_keymap_unref(keymap_);
  xkb_context_unref(context_);
  xcb_disconnect(connection_);
}

bool X11Keyboard::keymap_changed() {
  bool changed = false;
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
    if ((event->response_type & 0x7F) == xkb_event_) changed = true;
    std::free(event);
  }
  return changed;
}

std::shared_ptr<const XkbKeyboardLayout> X11Keyboard::current() {
  if (xcb_connection_has_error(connection_) != 0) return nullptr;
  // The state first: its reply comes after every event the server sent before it, so a
  // keymap replaced before this call has been announced once the reply is in.
  xcb_xkb_get_state_reply_t* state = xcb_xkb_get_state_reply(
      connection_, xcb_xkb_get_state(connection_, static_cast<xcb_xkb_device_spec_t>(device_)), nullptr);
  if (state == nullptr) return nullptr;
  uint32_t group = state->group;
  std::free(state);
  if (keymap_changed() || keymap_ == nullptr) {
    groups_.clear();
    if (keymap_ != nullptr) xkb_keymap_unref(keymap_);
    keymap_ = xkb_x11_keymap_new_from_device(context_, connection_, device_, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap_ == nullptr) {
      if (trace_) trace_("keyboard layout: the X server's keymap could not be read");
      return nullptr;
    }
    groups_.resize(xkb_keymap_num_layouts(keymap_));
  }
  if (groups_.empty()) return nullptr;
  if (group >= groups_.size()) group = 0;
  if (!groups_[group]) groups_[group] = std::make_shared<XkbKeyboardLayout>(keymap_, group);
  return groups_[group];
}

}  // namespace norvane
