// The profile list's buttons: adding, deleting and renaming profiles, and importing
// and exporting one profile as a file. Selecting a profile (the list itself) and
// restoring its defaults are in page_handlers.cpp.

#include <QFile>
#include <algorithm>
#include <memory>
#include <mutex>

#include "app/toolkit/msg_wnd.h"
#include "app/toolkit/window_base.h"
#include "core/profile_defaults.h"
#include "core/trace.h"
#include "settings/ms1_page.h"
#include "settings/page_controls.h"
#include "settings/page_view_adapter.h"
#include "settings/profile_name_wnd.h"
#include "storage/macro_store.h"
#include "storage/profile_file.h"
#include "storage/profile_import.h"

namespace norvane {

using namespace page_controls;

namespace {

constexpr char kOneProfileTextKey[] = "one_profile_text";
constexpr char kDeleteProfileTextKey[] = "delete_profile_text";
constexpr char kFileUnreadableTextKey[] = "profile_file_unreadable_text";
constexpr char kFileSizeTextKey[] = "profile_file_size_text";
constexpr char kExportFailedTextKey[] = "profile_export_failed_text";
constexpr char kMacrosNotSavedTextKey[] = "profile_import_macros_not_saved_text";

QString row_text(const ProfileRecord& record) {
  const std::u16string_view name = field_name(record.name);
  return QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size()));
}

void warn(WindowBase* owner, const char* text_key) {
  show_message_box(owner, QString::fromLatin1(kWarningTitleKey), QString::fromLatin1(text_key));
}

}  // namespace

bool CMS_1_Page::on_profile_click(std::string_view name) {
  if (name == kProfileAddButton) {
    add_profile();
  } else if (name == kProfileDeleteButton) {
    delete_profile();
  } else if (name == kProfileRenameButton) {
    rename_profile();
  } else if (name == kProfileImportButton) {
    import_profile();
  } else if (name == kProfileExportButton) {
    export_profile();
  } else {
    return false;
  }
  return true;
}

void CMS_1_Page::add_profile() {
  const auto name =
      run_profile_name_dialog(*window_, QString::fromLatin1(kProfileNameAddTitleKey), profiles_.profiles);
  if (!name) return;
  auto record = std::make_unique<ProfileRecord>();  // zero-filled
  reset_profile_defaults(*record);
  set_field_name(record->name, *name);
  append_profile(std::move(record));
}

void CMS_1_Page::delete_profile() {
  // Only this thread changes the list, so reading its size needs no lock.
  if (profiles_.profiles.size() <= 1) {
    warn(window_, kOneProfileTextKey);
    return;
  }
  if (show_message_box(window_, QString::fromLatin1(kWarningTitleKey), QString::fromLatin1(kDeleteProfileTextKey)) !=
      1)
    return;
  int removed = -1;
  int next = -1;
  {
    // The worker may be saving the list or copying the current record.
    std::lock_guard<std::mutex> lock(profiles_.mutex);
    removed = profiles_.selected_profile_index();
    if (removed < 0 || static_cast<size_t>(removed) >= profiles_.profiles.size()) return;
    profiles_.profiles.erase(profiles_.profiles.begin() + removed);
    // The row at the same place, or the new last one when the last was deleted.
    next = std::min(removed, static_cast<int>(profiles_.profiles.size()) - 1);
    profiles_.head->selected_profile_index = next;
    profiles_.select_current_unlocked();
  }
  view_->control(kProfileList).remove_row(removed);
  show_profile(next);
}

void CMS_1_Page::rename_profile() {
  if (current() == nullptr) return;
  const auto name =
      run_profile_name_dialog(*window_, QString::fromLatin1(kProfileNameRenameTitleKey), profiles_.profiles);
  if (!name) return;
  profiles_.edit_current([&name](ProfileRecord& record) { set_field_name(record.name, *name); });
  view_->control(kProfileList).set_row_text(profiles_.selected_profile_index(), row_text(*current()));
  // A new name is sent nowhere, so no apply would save it: the store is saved now.
  save_profile_store();
}

void CMS_1_Page::import_profile() {
  const QString path = choose_profile_file(false);
  if (path.isEmpty()) return;
  const PageCommandResult imported = import_profile_from(QFile::encodeName(path).toStdString());
  if (!imported.ok()) warn(window_, imported.error_key.c_str());
}

PageCommandResult CMS_1_Page::import_profile_from(const std::string& path) {
  ProfileFileRead read = read_profile_file(path);
  if (!read.ok()) {
    // Nothing was added: the list, the library and both stores are as they were.
    return failed_with(read.error == ProfileFileError::wrong_size ? kFileSizeTextKey : kFileUnreadableTextKey);
  }
  const std::u16string add_profile_text = language_text("add_profile_text").toStdU16String();
  const std::u16string add_macro_text = language_text("add_macro_text").toStdU16String();
  const int macros = adopt_imported_profile(*read.record, profiles_.profiles, macro_library_,
                                            ImportNaming{add_profile_text, add_macro_text});
  bool macros_saved = true;
  if (macros > 0) {
    const SaveResult saved = save_macro_store(macro_library_, store_folder_);
    if (!saved.ok()) {
      trace("macro store not saved after a profile import: %s: %s\n", saved.detail.c_str(),
            saved.error.message().c_str());
      macros_saved = false;
    }
  }
  trace("profile imported from %s with %d macros\n", path.c_str(), macros);
  // The new profile is current and its whole content goes to the mouse; the store is
  // written by that apply.
  append_profile(std::move(read.record));
  if (!macros_saved) {
    PageCommandResult result = failed_with(kMacrosNotSavedTextKey);
    result.changed = true;
    return result;
  }
  return {};
}

void CMS_1_Page::export_profile() {
  if (current() == nullptr) return;
  const QString path = choose_profile_file(true);
  if (path.isEmpty()) return;
  // Only this thread writes records, so the current one holds still while it is written.
  const SaveResult written = write_profile_file(*current(), QFile::encodeName(path).toStdString());
  if (!written.ok()) warn(window_, kExportFailedTextKey);
}

void CMS_1_Page::append_profile(std::unique_ptr<ProfileRecord> record) {
  const QString text = row_text(*record);
  int index = 0;
  {
    std::lock_guard<std::mutex> lock(profiles_.mutex);
    profiles_.profiles.push_back(std::move(record));
    index = static_cast<int>(profiles_.profiles.size()) - 1;
  }
  view_->control(kProfileList).add_label_row(text, kProfileRowHeight);
  show_profile(index);
}

void CMS_1_Page::show_profile(int index) {
  // The row is selected quietly and the profile switched here: a list whose
  // highlight already sits on `index` (after a row above it was removed) would raise
  // no selection notification.
  Control list = view_->control(kProfileList);
  list.select_item(index, Notify::kQuiet);
  list.ensure_row_visible(index);
  select_profile(index);
}

QString CMS_1_Page::choose_profile_file(bool save) {
  FileDialogRequest request;
  request.mode = save ? FileDialogRequest::Mode::save : FileDialogRequest::Mode::open;
  request.filter = QStringLiteral("Profile File (*.pro *.PRO)");
  if (save) request.default_suffix = QString::fromLatin1(kProfileFileSuffix);
  return environment_.choose_file ? environment_.choose_file(*window_, request)
                                   : choose_file_with_dialog(*window_, request);
}

}  // namespace norvane
