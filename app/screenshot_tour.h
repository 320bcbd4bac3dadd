#pragma once
// Screenshots of the real program for the documentation: when the environment
// variable NORVANE_SCREENSHOTS names a folder, the program, once started, opens every
// settings section, shows the DPI popup, opens the colour dialog, a message box and the
// macro editor, the windows of button assignment and the profile name dialog, saves a
// picture of each window into that folder as PNG, and quits. Without the variable
// nothing happens.
//
// Pictures: main_window.png (the window as it stands, every section open),
// main_all_sections.png (the side bar beside the whole settings area), dpi_popup.png,
// color_dialog.png, message_box.png, the macro editor's (screenshot_macro_tour.h), those
// of button assignment (screenshot_tour_buttons.h) and of the profile list.
//
// With NORVANE_SCREENSHOTS_STATE also set (a file name such as "no_mouse.png") the
// tour only photographs the main window as it stands a few seconds after the start,
// whatever the mouse does meanwhile, into that file, and quits: the states without a
// mouse.

#include <functional>

namespace norvane {

class WindowBase;

inline constexpr char kScreenshotsVariable[] = "NORVANE_SCREENSHOTS";
inline constexpr char kScreenshotStateVariable[] = "NORVANE_SCREENSHOTS_STATE";

// `device_ready` tells when the window shows a connected mouse; the tour waits for it
// (a few seconds at most) before it starts.
void start_screenshot_tour_when_asked(WindowBase& main_window, std::function<bool()> device_ready);

}  // namespace norvane
