// Macro files in the editor: exporting the current macro as it was last stored, and
// importing a checked file as a new macro of the library.

#include <QFileInfo>
#include <QString>

#include "app/toolkit/msg_wnd.h"
#include "app/toolkit/resources.h"
#include "core/trace.h"
#include "macros/ui/macro_file_texts.h"
#include "macros/ui/macro_editor.h"
#include "macros/ui/macro_editor_controls.h"
#include "macros/ui/macro_file_dialogs.h"
#include "storage/macro_file.h"
#include "storage/macro_library_edit.h"
#include "storage/record_names.h"

namespace norvane {

using namespace macro_controls;

// The message that tells the user why a file was not imported.
const char* macro_file_problem_text_key(MacroFileProblem problem) {
  switch (problem) {
    case MacroFileProblem::unreadable: return "macro_file_unreadable_text";
    case MacroFileProblem::wrong_size: return "macro_file_size_text";
    case MacroFileProblem::bad_event_count: return "macro_file_count_text";
    case MacroFileProblem::too_large: return "macro_file_too_large_text";
    case MacroFileProblem::bad_event_kind: return "macro_file_kind_text";
    case MacroFileProblem::none: break;
  }
  return "macro_file_unreadable_text";
}

namespace {

void warn(WindowBase* owner, const char* text_key) {
  show_message_box(owner, QString::fromLatin1(kWarningTitleKey), QString::fromLatin1(text_key));
}

}  // namespace

MacroFileDialogs& CMS_1_Macro::file_dialogs() const {
  return context_.file_dialogs != nullptr ? *context_.file_dialogs : system_macro_file_dialogs();
}

void CMS_1_Macro::export_macro() {
  if (current_ == nullptr) return;
  const QString path = file_dialogs().export_path(native(), QString::fromStdString(context_.data_folder));
  if (path.isEmpty()) return;
  // The record holds the macro as last accepted, never a refused working copy.
  const SaveResult result = write_macro_file(path.toStdString(), *current_);
  if (result.ok()) return;
  trace("macro file not written: %s\n", result.detail.c_str());
  warn(this, "macro_export_failed_text");
}

void CMS_1_Macro::import_macro() {
  const QString path = file_dialogs().import_path(native(), QString::fromStdString(context_.data_folder));
  if (path.isEmpty()) return;
  const MacroFileRead read = read_macro_file(path.toStdString());
  if (read.problem != MacroFileProblem::none) {
    trace("macro file refused (%s): %s\n", to_string(read.problem), read.detail.c_str());
    warn(this, macro_file_problem_text_key(read.problem));
    return;
  }
  if (read.name_cut) trace("macro file %s: name without its terminating zero, cut\n", qPrintable(path));
  if (recorder_.active()) stop_recording();
  // A macro without a name takes the file's.
  std::u16string file_name = QFileInfo(path).completeBaseName().toStdU16String();
  if (file_name.empty()) {
    file_name = numbered_name(resources().text(QStringLiteral("add_macro_text")).toStdU16String(), library_.size() + 1);
  }
  const AddedMacro added = append_macro(library_, *read.record, file_name, context_.store_folder);
  macro_list_.add_label_row(QString::fromStdU16String(std::u16string(field_name(added.record->name))),
                            kMacroRowHeight);
  const int row = static_cast<int>(library_.size()) - 1;
  select_macro_row(row);
  macro_list_.ensure_row_visible(row);
  report_store_save(added.save);
}

}  // namespace norvane
