#pragma once
// Capture inside the program's own windows, where nothing system-wide is possible: an
// application-wide event filter sees the key, button and wheel events of every window
// of the program. Needs the program's QGuiApplication and its UI thread.

#include <memory>

#include "input_capture/captured_input.h"

namespace norvane::capture {

std::unique_ptr<CaptureBackend> make_window_capture();

// The virtual key of a Qt key code (Qt::Key) with its keypad flag, for events that carry
// no native key code; 0 for keys without one.
uint32_t virtual_key_of_qt_key(int qt_key, bool keypad);

}  // namespace norvane::capture
