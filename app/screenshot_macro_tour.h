#pragma once
// The macro editor's part of the screenshot tour: opens the editor from the settings
// page, builds a macro in it (recorded keys, an inserted click and a movement) and
// photographs it empty, while recording, with its events, and with the event editor on
// each of its pages. Returns once the editor is closed again.
//
// Pictures: macro_editor_empty.png, macro_editor_recording.png, macro_editor_events.png,
// macro_editor_key_event.png, macro_editor_button_event.png, macro_editor_move_event.png.

#include <QString>

namespace norvane {

class WindowBase;

void photograph_macro_editor(WindowBase& main_window, const QString& folder);

}  // namespace norvane
