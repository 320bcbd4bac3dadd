#pragma once
// Choosing the file of a macro export or import. The program asks the user with the
// system's file dialogs; tests may hand in their own answers.

#include <QString>

class QWidget;

namespace norvane {

class MacroFileDialogs {
 public:
  virtual ~MacroFileDialogs() = default;
  // The file to write, or empty when the user cancelled. Starts in `folder`.
  virtual QString export_path(QWidget* owner, const QString& folder) = 0;
  // The file to read, or empty when the user cancelled. Starts in `folder`.
  virtual QString import_path(QWidget* owner, const QString& folder) = 0;
};

// The file dialogs: "Macro File" (*.macro *.MACRO); the save dialog asks before
// replacing a file and adds ".macro" to a name typed without a suffix.
MacroFileDialogs& system_macro_file_dialogs();

}  // namespace norvane
