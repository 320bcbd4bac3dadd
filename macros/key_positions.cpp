#include "macros/key_positions.h"


namespace norvane {
namespace {

// Linux input key codes 1..88 are the set-1 scan codes themselves.
// clang-format off
constexpr KeyPosition kPositions[] = {
    {1, 0x01, 0x1B, false},   // Esc
    {2, 0x02, 0x31, true}, {3, 0x03, 0x32, true}, {4, 0x04, 0x33, true}, {5, 0x05, 0x34, true},
    {6, 0x06, 0x35, true}, {7, 0x07, 0x36, true}, {8, 0x08, 0x37, true}, {9, 0x09, 0x38, true},
    {10, 0x0A, 0x39, true}, {11, 0x0B, 0x30, true},
    {12, 0x0C, 0xBD, true}, {13, 0x0D, 0xBB, true},                        // - =
    {14, 0x0E, 0x08, false}, {15, 0x0F, 0x09, false},                      // Backspace, Tab
    {16, 0x10, 0x51, true}, {17, 0x11, 0x57, true}, {18, 0x12, 0x45, true}, {19, 0x13, 0x52, true},
    {20, 0x14, 0x54, true}, {21, 0x15, 0x59, true}, {22, 0x16, 0x55, true}, {23, 0x17, 0x49, true},
    {24, 0x18, 0x4F, true}, {25, 0x19, 0x50, true},                        // Q..P
    {26, 0x1A, 0xDB, true}, {27, 0x1B, 0xDD, true},                        // [ ]
    {28, 0x1C, 0x0D, false}, {29, 0x1D, 0xA2, false},                      // Enter, left Ctrl
    {30, 0x1E, 0x41, true}, {31, 0x1F, 0x53, true}, {32, 0x20, 0x44, true}, {33, 0x21, 0x46, true},
    {34, 0x22, 0x47, true}, {35, 0x23, 0x48, true}, {36, 0x24, 0x4A, true}, {37, 0x25, 0x4B, true},
    {38, 0x26, 0x4C, true},                                                // A..L
    {39, 0x27, 0xBA, true}, {40, 0x28, 0xDE, true}, {41, 0x29, 0xC0, true}, // ; ' `
    {42, 0x2A, 0xA0, false},                                               // left Shift
    {43, 0x2B, 0xDC, true},                                                // backslash
    {44, 0x2C, 0x5A, true}, {45, 0x2D, 0x58, true}, {46, 0x2E, 0x43, true}, {47, 0x2F, 0x56, true},
    {48, 0x30, 0x42, true}, {49, 0x31, 0x4E, true}, {50, 0x32, 0x4D, true}, // Z..M
    {51, 0x33, 0xBC, true}, {52, 0x34, 0xBE, true}, {53, 0x35, 0xBF, true}, // , . /
    {54, 0x36, 0xA1, false}, {55, 0x37, 0x6A, false},                      // right Shift, keypad *
    {56, 0x38, 0xA4, false}, {57, 0x39, 0x20, false}, {58, 0x3A, 0x14, false}, // left Alt, Space, Caps Lock
    {59, 0x3B, 0x70, false}, {60, 0x3C, 0x71, false}, {61, 0x3D, 0x72, false}, {62, 0x3E, 0x73, false},
    {63, 0x3F, 0x74, false}, {64, 0x40, 0x75, false}, {65, 0x41, 0x76, false}, {66, 0x42, 0x77, false},
    {67, 0x43, 0x78, false}, {68, 0x44, 0x79, false},                      // F1..F10
    {69, 0x45, 0x90, false}, {70, 0x46, 0x91, false},                      // Num Lock, Scroll Lock
    {71, 0x47, 0x67, false}, {72, 0x48, 0x68, false}, {73, 0x49, 0x69, false}, {74, 0x4A, 0x6D, false},
    {75, 0x4B, 0x64, false}, {76, 0x4C, 0x65, false}, {77, 0x4D, 0x66, false}, {78, 0x4E, 0x6B, false},
    {79, 0x4F, 0x61, false}, {80, 0x50, 0x62, false}, {81, 0x51, 0x63, false}, {82, 0x52, 0x60, false},
    {83, 0x53, 0x6E, false},                                               // keypad 7..0 and .
    {86, 0x56, 0xE2, true},                                                // the extra key of ISO keyboards
    {87, 0x57, 0x7A, false}, {88, 0x58, 0x7B, false},                      // F11, F12
    {96, 0xE01C, 0x0D, false},                                             // keypad Enter
    {97, 0xE01D, 0xA3, false},                                             // right Ctrl
    {98, 0xE035, 0x6F, false},                                             // keypad /
    {99, 0xE037, 0x2C, false},                                             // Print Screen
    {100, 0xE038, 0xA5, false},                                            // right Alt
    {102, 0xE047, 0x24, false}, {103, 0xE048, 0x26, false}, {104, 0xE049, 0x21, false}, // Home, Up, Page Up
    {105, 0xE04B, 0x25, false}, {106, 0xE04D, 0x27, false}, {107, 0xE04F, 0x23, false}, // Left, Right, End
    {108, 0xE050, 0x28, false}, {109, 0xE051, 0x22, false}, {110, 0xE052, 0x2D, false}, // Down, Page Down, Insert
    {111, 0xE053, 0x2E, false},                                            // Delete
    {113, 0xE020, 0xAD, false}, {114, 0xE02E, 0xAE, false}, {115, 0xE030, 0xAF, false}, // mute, volume down/up
    {119, 0xE11D, 0x13, false},                                            // Pause
    {121, 0x7E, 0x6C, false},                                              // keypad separator
    {125, 0xE05B, 0x5B, false}, {126, 0xE05C, 0x5C, false}, {127, 0xE05D, 0x5D, false}, // Win keys, Applications
    {142, 0xE05F, 0x5F, false},                                            // Sleep
    {163, 0xE019, 0xB0, false}, {164, 0xE022, 0xB3, false}, {165, 0xE010, 0xB1, false}, // next, play, previous
    {166, 0xE024, 0xB2, false},                                            // stop
};
// clang-format on

}  // namespace

std::span<const KeyPosition> key_positions() { return kPositions; }

const KeyPosition* find_position_by_input_code(uint32_t input_code) {
  for (const KeyPosition& p : kPositions) {
    if (p.input_code == input_code) return &p;
  }
  return nullptr;
}

const KeyPosition* find_position_by_scan_code(uint32_t scan_code) {
  for (const KeyPosition& p : kPositions) {
    if (p.scan_code == scan_code) return &p;
  }
  return nullptr;
}

}  // namespace norvane
