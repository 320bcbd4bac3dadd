// The page's operations for scripts: its state at a glance and the operations of the
// command line, each through the handler the page's own controls use, so a script
// and the window change the profile, the stores and the mouse the same way.

#include <QString>
#include <algorithm>
#include <mutex>

#include "app/toolkit/resources.h"
#include "core/profile_defaults.h"
#include "core/trace.h"
#include "macros/ui/macro_file_texts.h"
#include "protocol/dirty_sections.h"
#include "protocol/section_delivery.h"
#include "settings/link_presenter.h"
#include "settings/ms1_page.h"
#include "settings/page_devices.h"
#include "storage/macro_file.h"
#include "storage/macro_library_edit.h"
#include "storage/profile_file.h"
#include "storage/record_names.h"

namespace norvane {

namespace {

std::string utf8(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

PageCommandResult failed(std::string text) { return PageCommandResult{std::move(text), {}, false}; }

// The sections whose reports the next apply sends: the page's pending changes, named.
std::vector<std::string> pending_sections(const ProfileState& profiles) {
  std::lock_guard<std::mutex> lock(profiles.mutex);
  if (profiles.current_profile == nullptr || profiles.last_applied == nullptr) return {};
  if (profiles.send_all) return {"everything"};
  const DirtyFlags d =
      sections_with_reports(compare_sections(*profiles.current_profile, *profiles.last_applied), *profiles.current_profile);
  std::vector<std::string> names;
  if (d.dpi) names.emplace_back("dpi");
  if (d.rate) names.emplace_back("rate");
  if (d.light) names.emplace_back("light");
  if (d.buttons) names.emplace_back("buttons");
  if (std::any_of(d.macro.begin(), d.macro.end(), [](bool b) { return b; })) names.emplace_back("macros");
  return names;
}

}  // namespace

PageCommandResult CMS_1_Page::failed_with(const char* text_key) const {
  return PageCommandResult{language_text(text_key).toStdString(), text_key};
}

PageStatus CMS_1_Page::status() const {
  PageStatus s;
  if (links_.wired_state == kLinkPresent) s.links.emplace_back("cable");
  if (links_.wireless_state == kLinkPresent) s.links.emplace_back("2.4GHz");
  if (links_.wireless_8k_state == kLinkPresent) s.links.emplace_back("8kHz");
  if (links_.ble_present != 0) s.links.emplace_back("bluetooth");
  s.asleep = links_.mouse_sleeping != 0;
  if (presenter_) {
    s.battery_level = presenter_->battery_level();
    s.charging = presenter_->charging();
  }
  if (const ProfileRecord* record = current()) {
    s.profile_index = profiles_.selected_profile_index();
    s.profile_name = utf8(field_name(record->name));
  }
  s.pending = pending_sections(profiles_);
  return s;
}

uint64_t CMS_1_Page::apply_requests_posted() const {
  return devices_ ? devices_->controller().worker().posted() : 0;
}

uint64_t CMS_1_Page::apply_requests_handled() const {
  return devices_ ? devices_->controller().worker().handled() : 0;
}

bool CMS_1_Page::changes_pending() const { return pending_changes(profiles_) > 0; }

PageCommandResult CMS_1_Page::choose_profile(int index) {
  if (index < 0 || static_cast<size_t>(index) >= profiles_.profiles.size()) {
    return failed("there is no profile " + std::to_string(index + 1));
  }
  show_profile(index);  // the list's row and the page follow, the whole profile goes out
  return {};
}

PageCommandResult CMS_1_Page::export_profile_to(int index, const std::string& path) const {
  if (index < 0 || static_cast<size_t>(index) >= profiles_.profiles.size()) {
    return failed("there is no profile " + std::to_string(index + 1));
  }
  // Only the UI thread writes records, so this one holds still while it is written.
  const SaveResult written = write_profile_file(*profiles_.profiles[static_cast<size_t>(index)], path);
  if (written.ok()) return {};
  trace("profile file not written: %s\n", written.detail.c_str());
  return failed_with("profile_export_failed_text");
}

PageCommandResult CMS_1_Page::choose_dpi_level(int level) {
  const ProfileRecord* record = current();
  if (record == nullptr) return failed("no profile is loaded");
  if (level < 1 || level > kDpiLevels) return failed("the DPI level must be 1 to " + std::to_string(kDpiLevels));
  if (record->dpi_enabled[level - 1] != 1) return failed("DPI level " + std::to_string(level) + " is switched off");
  profiles_.edit_current([level](ProfileRecord& r) { r.current_dpi_level = level - 1; });
  refresh_page();
  request_apply();
  return {};
}

PageCommandResult CMS_1_Page::set_dpi_cpi(int level, long long cpi) {
  if (current() == nullptr) return failed("no profile is loaded");
  if (level < 1 || level > kDpiLevels) return failed("the DPI level must be 1 to " + std::to_string(kDpiLevels));
  if (cpi < kMinTypedCpi || cpi > kMaxTypedCpi) {
    return failed("the DPI value must be " + std::to_string(kMinTypedCpi) + " to " + std::to_string(kMaxTypedCpi));
  }
  // As the DPI edit stores a typed value: in steps of the mouse's unit.
  const auto value = static_cast<int32_t>(cpi / kCpiPerDpiUnit);
  profiles_.edit_current([&](ProfileRecord& record) { record.dpi_value[level - 1] = value; });
  refresh_page();
  request_apply();
  return {};
}

PageCommandResult CMS_1_Page::import_macro_from(const std::string& path) {
  const MacroFileRead read = read_macro_file(path);
  if (read.problem != MacroFileProblem::none) {
    trace("macro file refused (%s): %s\n", to_string(read.problem), read.detail.c_str());
    return failed_with(macro_file_problem_text_key(read.problem));
  }
  // A macro without a name takes the file's, as in the macro editor.
  const QString file_name = QString::fromStdString(path).section(QLatin1Char('/'), -1).section(QLatin1Char('.'), 0, 0);
  std::u16string fallback = file_name.toStdU16String();
  if (fallback.empty()) fallback = numbered_name(language_text("add_macro_text").toStdU16String(), macro_library_.size() + 1);
  const AddedMacro added = append_macro(macro_library_, *read.record, fallback, store_folder_);
  if (!added.save.ok()) {
    trace("macro store not saved: %s\n", added.save.detail.c_str());
    PageCommandResult result = failed("the macro was added but macro.data could not be saved: " + added.save.detail);
    result.changed = true;
    return result;
  }
  return {};
}

PageCommandResult CMS_1_Page::export_macro_to(int index, const std::string& path) const {
  if (index < 0 || static_cast<size_t>(index) >= macro_library_.size()) {
    return failed("there is no macro " + std::to_string(index + 1));
  }
  const SaveResult written = write_macro_file(path, *macro_library_[static_cast<size_t>(index)]);
  if (written.ok()) return {};
  trace("macro file not written: %s\n", written.detail.c_str());
  return failed_with("macro_export_failed_text");
}

}  // namespace norvane
