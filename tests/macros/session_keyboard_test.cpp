// The session's layout without an X server: XKB_DEFAULT_* first, then the system's
// keyboard file, then "us"; a change is seen on the next call.

#include "macros/session_keyboard.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using namespace norvane;

namespace {

class SessionKeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/norvane-keyboard-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    keyboard_file_ = folder_ + "/keyboard";
  }
  void TearDown() override {
    std::remove(keyboard_file_.c_str());
    std::remove(folder_.c_str());
  }

  void write_keyboard_file(const std::string& text) { std::ofstream(keyboard_file_) << text; }

  SessionKeyboard make() {
    SessionKeyboardOptions options;
    options.environment = [this](const char* name) {
      auto it = environment.find(name);
      return it != environment.end() ? it->second : std::string();
    };
    options.keyboard_file = keyboard_file_;
    options.trace = [this](const std::string& line) { traces.push_back(line); };
    return SessionKeyboard(std::move(options));
  }

  // Where the layout puts the key that types A: 0x1E on QWERTY/QWERTZ, 0x10 on AZERTY.
  static uint32_t a_key(SessionKeyboard& keyboard) { return keyboard.current()->scan_code_of(0x41); }
  static uint32_t y_key(SessionKeyboard& keyboard) { return keyboard.current()->scan_code_of(0x59); }

  std::map<std::string, std::string> environment;
  std::vector<std::string> traces;
  std::string folder_;
  std::string keyboard_file_;
};

TEST_F(SessionKeyboardTest, EnvironmentComesBeforeTheKeyboardFileWhichComesBeforeUs) {
  SessionKeyboard keyboard = make();
  EXPECT_EQ(a_key(keyboard), 0x1Eu);
  EXPECT_EQ(keyboard.source(), LayoutSource::fallback);

  write_keyboard_file("# keyboard configuration\nXKBMODEL=\"pc105\"\nXKBLAYOUT=\"de\"\nXKBVARIANT=\"\"\n");
  EXPECT_EQ(y_key(keyboard), 0x2Cu);  // QWERTZ
  EXPECT_EQ(keyboard.source(), LayoutSource::keyboard_file);

  environment["XKB_DEFAULT_LAYOUT"] = "fr";
  EXPECT_EQ(a_key(keyboard), 0x10u);
  EXPECT_EQ(keyboard.source(), LayoutSource::environment);

  environment.erase("XKB_DEFAULT_LAYOUT");
  EXPECT_EQ(y_key(keyboard), 0x2Cu);  // back to the file, at once
  EXPECT_TRUE(traces.empty());
}

TEST_F(SessionKeyboardTest, VariantsAndFirstOfSeveralLayouts) {
  write_keyboard_file("XKBLAYOUT='fr,us'\nexport XKBVARIANT=\"bepo,\"\n");
  SessionKeyboard keyboard = make();
  EXPECT_EQ(keyboard.current()->scan_code_of(0x42), 0x10u);  // BÉPO: B where US has Q
}

TEST_F(SessionKeyboardTest, ALayoutThatDoesNotCompileIsTracedOnceAndSkipped) {
  environment["XKB_DEFAULT_LAYOUT"] = "no-such-layout";
  write_keyboard_file("XKBLAYOUT=de\n");
  SessionKeyboard keyboard = make();
  EXPECT_EQ(y_key(keyboard), 0x2Cu);
  EXPECT_EQ(y_key(keyboard), 0x2Cu);
  ASSERT_EQ(traces.size(), 1u);
  EXPECT_NE(traces[0].find("no-such-layout"), std::string::npos);
  EXPECT_NE(traces[0].find("XKB_DEFAULT_LAYOUT"), std::string::npos);
}

TEST_F(SessionKeyboardTest, DamagedOrUselessKeyboardFileFallsBackToUs) {
  write_keyboard_file(std::string("XKBLAYOUT\n=\"\"\n\x01\x02 garbage\xFF\nXKBLAYOUT=\"\"\n", 40));
  SessionKeyboard keyboard = make();
  EXPECT_EQ(a_key(keyboard), 0x1Eu);
  EXPECT_EQ(keyboard.source(), LayoutSource::fallback);
  EXPECT_FALSE(read_keyboard_file(folder_ + "/missing").has_value());
}

TEST_F(SessionKeyboardTest, WaylandSessionOrUnreachableDisplayUsesTheConfiguredLayout) {
  environment["XKB_DEFAULT_LAYOUT"] = "fr";
  environment["DISPLAY"] = ":0";
  environment["WAYLAND_DISPLAY"] = "wayland-0";
  SessionKeyboard keyboard = make();
  EXPECT_EQ(a_key(keyboard), 0x10u);
  EXPECT_EQ(keyboard.source(), LayoutSource::environment);

  environment.erase("WAYLAND_DISPLAY");
  environment["DISPLAY"] = "/nonexistent/norvane-x-socket:0";
  EXPECT_EQ(a_key(keyboard), 0x10u);
  EXPECT_EQ(keyboard.source(), LayoutSource::environment);
}

}  // namespace
