#pragma once
// Real keyboard layouts compiled from xkb-data for the tests.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "macros/xkb_keyboard_layout.h"

namespace norvane::testing {

inline std::unique_ptr<XkbKeyboardLayout> xkb_layout(const std::string& layout, const std::string& variant = "") {
  auto compiled = XkbKeyboardLayout::compile({"evdev", "pc105", layout, variant, ""});
  EXPECT_NE(compiled, nullptr) << "xkb-data has no layout " << layout << " " << variant;
  return compiled;
}

}  // namespace norvane::testing
