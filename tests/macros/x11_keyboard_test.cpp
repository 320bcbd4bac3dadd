// The session's layout on a real X server (Xvfb): the server's keymap in its current
// group, and a switch of either seen on the next call.

#include <gtest/gtest.h>
#include <xcb/xcb.h>
#define explicit explicit_field
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>

#include <cstdlib>
#include <string>

#include "macros/session_keyboard.h"
#include "tests/support/xvfb_server.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

class X11KeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!program_available("Xvfb") || !program_available("setxkbmap")) {
      GTEST_SKIP() << "Xvfb and setxkbmap are needed (scripts/setup installs them)";
    }
    server_ = std::make_unique<XvfbServer>();
    ASSERT_TRUE(server_->running()) << server_->error();
  }

  SessionKeyboard make() {
    SessionKeyboardOptions options;
    const std::string display = server_->display();
    options.environment = [display](const char* name) { return std::string(name) == "DISPLAY" ? display : ""; };
    options.keyboard_file = "/nonexistent";
    return SessionKeyboard(std::move(options));
  }

  // Locks the server's keyboard to `group`, as a layout switch shortcut does.
  void lock_group(uint8_t group) {
    xcb_connection_t* c = xcb_connect(server_->display().c_str(), nullptr);
    ASSERT_EQ(xcb_connection_has_error(c), 0);
    ASSERT_EQ(xkb_x11_setup_xkb_extension(c, 1, 0, XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr,
                                          nullptr),
              1);
    xcb_generic_error_t* error =
        xcb_request_check(c, xcb_xkb_latch_lock_state_checked(c, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, group, 0, 0, 0));
    EXPECT_EQ(error, nullptr);
    std::free(error);
    xcb_disconnect(c);
  }

  std::unique_ptr<XvfbServer> server_;
};

TEST_F(X11KeyboardTest, FollowsTheServersKeymapAndGroup) {
  SessionKeyboard keyboard = make();
  EXPECT_EQ(keyboard.current()->scan_code_of(0x41), 0x1Eu);  // Xvfb starts with "us"
  EXPECT_EQ(keyboard.source(), LayoutSource::x11);

  ASSERT_EQ(server_->run({"setxkbmap", "-layout", "fr"}), 0);
  EXPECT_EQ(keyboard.current()->scan_code_of(0x41), 0x10u);  // a new keymap: AZERTY

  ASSERT_EQ(server_->run({"setxkbmap", "-layout", "us,de"}), 0);
  EXPECT_EQ(keyboard.current()->scan_code_of(0x59), 0x15u);  // group 1: us
  lock_group(1);
  EXPECT_EQ(keyboard.current()->scan_code_of(0x59), 0x2Cu);  // group 2: de, Y where US has Z
  EXPECT_EQ(keyboard.source(), LayoutSource::x11);
}

}  // namespace
