#pragma once
// Capture on X11 through XInput2 raw events: every key and button of every device,
// whichever window has the focus, without grabbing anything and without extra rights.

#include <memory>

#include "input_capture/captured_input.h"

namespace norvane::capture {

std::unique_ptr<CaptureBackend> make_x11_capture();

}  // namespace norvane::capture
