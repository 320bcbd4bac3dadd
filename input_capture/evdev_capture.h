#pragma once
// Capture from the input devices (/dev/input/event*) through libevdev, for sessions
// without X11 where the user may read them (e.g. a member of the "input" group on
// Wayland). Devices are opened read-only and never grabbed: the desktop keeps getting
// every key. Devices that cannot be opened are skipped with a trace line.

#include <memory>
#include <string>

#include "input_capture/captured_input.h"

namespace norvane::capture {

std::unique_ptr<CaptureBackend> make_evdev_capture(std::string folder = "/dev/input");

}  // namespace norvane::capture
