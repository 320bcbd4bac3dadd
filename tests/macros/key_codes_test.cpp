// Key codes and names on real keymaps: US (QWERTY), French (AZERTY), German (QWERTZ).

#include "macros/key_codes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/macros/keymaps.h"
#include "core/trace.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

// Language texts shown as "<key>", so a test sees which key was looked up.
std::string bracketed(std::string_view key) { return "<" + std::string(key) + ">"; }

class KeyCodes : public ::testing::Test {
 protected:
  std::unique_ptr<XkbKeyboardLayout> us = xkb_layout("us");
  std::unique_ptr<XkbKeyboardLayout> fr = xkb_layout("fr");
  std::unique_ptr<XkbKeyboardLayout> de = xkb_layout("de");

  std::string name(uint32_t code, const KeyboardLayout& layout) { return key_name_from_code(code, layout, bracketed); }
};

TEST_F(KeyCodes, TheKeyThatTypesALiesWhereTheLayoutPutsIt) {
  EXPECT_EQ(key_code_from_vk(0x41, *us), (KeyCode{true, 0x04}));
  EXPECT_EQ(name(0x04, *us), "A");
  EXPECT_EQ(key_code_from_vk(0x41, *fr), (KeyCode{true, 0x14}));  // AZERTY: A sits where US has Q
  EXPECT_EQ(name(0x14, *fr), "A");
  EXPECT_EQ(name(0x04, *fr), "Q");
  EXPECT_EQ(key_code_from_vk(0x4D, *fr), (KeyCode{true, 0x33}));  // M sits where US has ;
  EXPECT_EQ(name(0x33, *fr), "M");
  EXPECT_EQ(key_code_from_vk(0x5A, *de), (KeyCode{true, 0x1C}));  // QWERTZ swaps Y and Z
  EXPECT_EQ(key_code_from_vk(0x59, *de), (KeyCode{true, 0x1D}));
  EXPECT_EQ(name(0x1C, *de), "Z");
  EXPECT_EQ(name(0x1D, *de), "Y");
}

TEST_F(KeyCodes, TypingKeysAreNamedByWhatTheyTypeInUpperCase) {
  EXPECT_EQ(name(0x1E, *us), "1");
  EXPECT_EQ(name(0x1E, *fr), "&");  // the digit row types symbols without Shift
  EXPECT_EQ(key_code_from_vk(0x31, *fr), (KeyCode{true, 0x1E}));
  EXPECT_EQ(name(0x33, *us), ";");
  EXPECT_EQ(name(0x2F, *us), "[");
  EXPECT_EQ(name(0x2F, *fr), "^");  // a dead key shows its accent
  EXPECT_EQ(name(0x34, *fr), "\xC3\x99");  // ù in upper case: Ù
  EXPECT_EQ(name(0x33, *de), "\xC3\x96");  // Ö
  EXPECT_EQ(name(0x2F, *de), "\xC3\x9C");  // Ü
  // Keys of the typing range with a language text of their own.
  EXPECT_EQ(name(0x28, *fr), "<key_Enter>");
  EXPECT_EQ(name(0x29, *us), "<key_Esc>");
  EXPECT_EQ(name(0x2A, *us), "<key_BackSpace>");
  EXPECT_EQ(name(0x2B, *us), "<key_Tab>");
  EXPECT_EQ(name(0x2C, *de), "<key_Space>");
  EXPECT_EQ(name(0x39, *us), "<key_Caplk>");
}

TEST_F(KeyCodes, WorkedExamplesHoldOnEveryLayout) {
  for (const KeyboardLayout* layout : {us.get(), fr.get()}) {
    EXPECT_EQ(key_code_from_vk(0x10, *layout), (KeyCode{false, 0}));  // generic Shift has no entry
    EXPECT_EQ(key_code_from_vk(0xBF, *layout).code, 0x38);
    EXPECT_EQ(key_code_from_vk(0xDF, *layout).code, 0x38);  // even where no key carries OEM 8
    EXPECT_EQ(name(50, *layout), "");
    EXPECT_EQ(key_code_from_vk(0xF1, *layout), (KeyCode{true, 241}));
    EXPECT_EQ(name(241, *layout), "<L_Button>");
    EXPECT_EQ(name(99, *layout), "<key_Num_.>");
    EXPECT_EQ(name(87, *layout), "<key_Num_+>");
  }
  for (const KeyboardLayout* layout : {us.get(), fr.get(), de.get()}) {
    EXPECT_EQ(key_code_from_vk(0x70, *layout), (KeyCode{true, 0x3A}));  // F1 by its scan code
    EXPECT_EQ(name(0x3A, *layout), "<key_F1>");
    EXPECT_EQ(key_code_from_vk(0x7B, *layout), (KeyCode{true, 0x45}));
    EXPECT_EQ(key_code_from_vk(0x67, *layout), (KeyCode{true, 0x5F}));  // keypad 7, listed before 6
    EXPECT_EQ(key_code_from_vk(0x66, *layout), (KeyCode{true, 0x5E}));
    EXPECT_EQ(key_code_from_vk(0xA5, *layout), (KeyCode{true, 0xE6}));
    EXPECT_EQ(key_code_from_vk(0xF4, *layout), (KeyCode{true, 244}));
  }
}

TEST_F(KeyCodes, NamesOfTheListedCodes) {
  EXPECT_EQ(name(70, *us), "<key_Print Scr>");
  EXPECT_EQ(name(83, *us), "<key_Num Lock>");
  EXPECT_EQ(name(98, *us), "<key_Num_0>");
  EXPECT_EQ(name(100, *us), "<key_\\>");
  EXPECT_EQ(name(130, *us), "<Sleep>");
  EXPECT_EQ(name(136, *us), "<Kana/Roma>");
  EXPECT_EQ(name(221, *us), "<`>");
  EXPECT_EQ(name(227, *us), "<key_LWin>");
  EXPECT_EQ(name(231, *us), "<key_RWin>");
  EXPECT_EQ(name(244, *us), "<Backward_Button>");
  EXPECT_EQ(name(245, *us), "<Forward_Button>");
  EXPECT_EQ(key_name_from_vk(0x11, *us, bracketed), "<key_LCtrl>");
  EXPECT_EQ(key_name_from_vk(0x2A, *us, bracketed), "<key_Print Scr>");
  EXPECT_EQ(key_name_from_vk(0xF0, *us, bracketed), "<key_Caplk>");
}

TEST_F(KeyCodes, UnknownKeysGiveCodeZeroAndAnEmptyName) {
  for (uint32_t vk : {0u, 0x07u, 0xFFu, 0x100u, 0xFFFFFFFFu}) {
    EXPECT_EQ(key_code_from_vk(vk, *fr), (KeyCode{false, 0})) << vk;
    EXPECT_EQ(key_name_from_vk(vk, *fr, bracketed), "") << vk;
  }
  for (uint32_t code : {0u, 1u, 3u, 102u, 103u, 104u, 105u, 129u, 232u, 239u, 246u, 255u, 256u, 0xFFFFFFFFu}) {
    EXPECT_EQ(name(code, *de), "") << code;
  }
  // No language file at all: names that are language texts are empty, typed ones stay.
  EXPECT_EQ(key_name_from_code(0x28, *us, nullptr), "");
  EXPECT_EQ(key_name_from_code(0x04, *us, nullptr), "A");
}

TEST_F(KeyCodes, EveryNameGoesToTheTrace) {
  std::vector<std::string> lines;
  TraceSink previous = set_trace_sink([&lines](const std::string& line) { lines.push_back(line); });
  name(0x14, *fr);
  name(0, *fr);
  set_trace_sink(std::move(previous));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "m_key = A\r\n");
  EXPECT_EQ(lines[1], "m_key = \r\n");
}

TEST_F(KeyCodes, ALayoutWithoutKeymapStillPlacesKeys) {
  const XkbKeyboardLayout bare(nullptr, 0);
  EXPECT_EQ(key_code_from_vk(0x41, bare), (KeyCode{true, 0x04}));
  EXPECT_EQ(name(0x04, bare), "");  // types nothing
  EXPECT_EQ(name(0x28, bare), "<key_Enter>");
}

}  // namespace
