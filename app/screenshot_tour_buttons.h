#pragma once
// The button-assignment part of the screenshot tour: the function menu open beside a
// button caption, the shortcut dialog with Ctrl+Shift+A captured, the macro dialog
// with a macro of the library chosen (both confirmed, so the captions show them), and
// the buttons card afterwards. Pictures: function_menu.png, shortcut_dialog.png,
// macro_dialog.png, buttons_assigned.png.

#include <QString>
#include <functional>

namespace norvane {

class WindowBase;

// Runs the steps on the UI thread, a little apart so every window has painted, then
// calls `done`.
void photograph_button_assignment(WindowBase& main_window, const QString& folder, std::function<void()> done);

}  // namespace norvane
