#pragma once
// Asking the user for a file to open or to save, behind one function so tests can
// answer in place of a person.

#include <QString>
#include <functional>

namespace norvane {

class WindowBase;

struct FileDialogRequest {
  enum class Mode { open, save };
  Mode mode = Mode::open;
  QString filter;          // "Profile File (*.pro *.PRO)"
  QString default_suffix;  // save: added when the chosen name has no suffix
};

// Returns the chosen path, or an empty string when the user cancelled.
using FileChooser = std::function<QString(WindowBase& owner, const FileDialogRequest& request)>;

// The toolkit's file dialog over `owner`, run modally. Open: the file must exist.
// Save: an existing file is only replaced after the user confirms.
QString choose_file_with_dialog(WindowBase& owner, const FileDialogRequest& request);

}  // namespace norvane
