// The macro editor's library and event list: filling the lists, loading a macro into
// the working copy, accepting or refusing changes, adding, deleting and renaming
// macros, and moving, deleting and clearing events.

#include "macros/ui/macro_editor.h"

#include <QListWidget>
#include <algorithm>
#include <optional>

#include "app/toolkit/msg_wnd.h"
#include "app/toolkit/resources.h"
#include "core/trace.h"
#include "macros/event_fields.h"
#include "macros/macro_size.h"
#include "macros/ui/macro_editor_controls.h"
#include "storage/macro_library_edit.h"
#include "storage/macro_store.h"
#include "storage/record_names.h"

namespace norvane {

using namespace macro_controls;

namespace {

constexpr char kAddMacroTextKey[] = "add_macro_text";
constexpr char kDeleteMacroTextKey[] = "delete_macro_text";
constexpr char kStartRecordingKey[] = "start_recording_text";

QString q(const char* name) { return QString::fromLatin1(name); }

QString name_text(const MacroRecord& record) { return QString::fromStdU16String(std::u16string(field_name(record.name))); }

std::optional<int> click_button_number(const QString& name) {
  for (int i = 1; i <= 5; ++i) {
    if (name == QStringLiteral("%1%2_btn").arg(q(kClickButtonPrefix)).arg(i)) return i;
  }
  return std::nullopt;
}

}  // namespace

CMS_1_Macro::CMS_1_Macro(MacroEditorContext context)
    : context_(std::move(context)), hooks_(context_.hooks), library_(*context_.library) {}

CMS_1_Macro::~CMS_1_Macro() {
  // The window may go without on_destroy (its owner destroyed it): the capture must
  // stop before the port it posts to goes away.
  if (recorder_.active() || hook_for_recording_ || hook_for_key_) {
    hooks_.remove();
    hooks_.remove_mouse();
    hooks_.enable_mouse(false);
    hooks_.enable_keys(false);
    hooks_.enable_wheel(false);
  }
}

void CMS_1_Macro::init() {
  macro_list_ = find(q(kMacroList));
  name_edit_ = find(q(kNameEdit));
  record_button_ = find(q(kRecordButton));
  event_list_ = find(q(kEventList));
  default_delay_edit_ = find(q(kDefaultDelayEdit));
  editor_check_ = find(q(kEventEditorCheck));
  editor_pages_ = find(q(kEventEditorPages));
  key_field_ = find(q(kKeyField));
  key_delay_edit_ = find(q(kKeyDelayEdit));
  button_combo_ = find(q(kButtonCombo));
  button_delay_edit_ = find(q(kButtonDelayEdit));
  move_x_edit_ = find(q(kMoveXEdit));
  move_y_edit_ = find(q(kMoveYEdit));
  move_delay_edit_ = find(q(kMoveDelayEdit));
  new_x_edit_ = find(q(kNewXEdit));
  new_y_edit_ = find(q(kNewYEdit));
  insert_mouse_check_ = find(q(kInsertMouseCheck));
  name_tab_ = find(q(kNameTab));
  mouse_event_tab_ = find(q(kMouseEventTab));
  stats_label_ = find(q(kStatsLabel));
  limit_label_ = find(q(kLimitLabel));
  capture_hint_ = find(q(kCaptureHint));
  delay_mode_buttons_[0] = find(q(kRecordDelayButton));
  delay_mode_buttons_[1] = find(q(kDefaultDelayButton));
  delay_mode_buttons_[2] = find(q(kNoDelayButton));

  // Captured input arrives through this window's port; keep it for as long as the
  // capture may post to it.
  capture_port_ = port();
  capture_target_ = NvPostTarget{capture_port_.get(), &MessagePort::post_from_c};

  fill_macro_list();
  current_ = nullptr;
  current_index_ = -1;
  working_.selected = kNoEvent;

  // The window starts in the default-delay mode with 10 ms, whatever the skin shows.
  set_delay_mode(DelayMode::fixed);
  default_delay_edit_.set_text(QString::number(kInsertedDelay));
  record_button_.set_checked(false);
  record_button_.set_text(q(kStartRecordingKey));
  editor_check_.set_checked(false);
  editor_pages_.select_item(kPageNone);
  insert_mouse_check_.set_checked(false);
  name_tab_.set_visible(true);
  mouse_event_tab_.set_visible(false);
  name_edit_.set_enabled(false);
  clear_limit();
  show_capture_hint(QString());
  show_stats();
}

void CMS_1_Macro::on_destroy() {
  if (recorder_.active()) stop_recording();
  stop_key_capture();
}

MacroRecord* CMS_1_Macro::current_macro() const { return current_; }

Control CMS_1_Macro::event_row(int index) const { return event_list_.row(index); }

// ---- notifications

void CMS_1_Macro::notify(const Notification& n) {
  switch (n.type) {
    case NotifyType::click:
      on_click(n);
      break;
    case NotifyType::selectchanged:
      if (n.wparam != 1) break;
      for (int mode = 0; mode < 3; ++mode) {
        if (delay_mode_buttons_[mode] && n.sender == delay_mode_buttons_[mode]) set_delay_mode(static_cast<DelayMode>(mode));
      }
      break;
    case NotifyType::itemselect:
      on_item_select(n);
      break;
    case NotifyType::checkclick:
      if (n.sender == record_button_) {
        if (recorder_.active()) {
          stop_recording();
        } else {
          start_recording();
        }
      } else if (n.sender == editor_check_) {
        on_event_editor_check(n.wparam != 0);
      } else if (n.sender == insert_mouse_check_) {
        mouse_event_tab_.set_visible(n.wparam != 0);
        name_tab_.set_visible(n.wparam == 0);
      }
      break;
    case NotifyType::killfocus:
    case NotifyType::return_pressed:
      if (n.sender == name_edit_) {
        rename_macro();
      } else if (n.sender == default_delay_edit_) {
        leave_default_delay_edit();
      } else if (n.sender == key_delay_edit_ || n.sender == button_delay_edit_ || n.sender == move_delay_edit_) {
        leave_delay_edit(n);
      } else if (n.sender == move_x_edit_ || n.sender == move_y_edit_) {
        leave_offset_edit(n);
      } else if (n.sender == key_field_ && n.is(NotifyType::killfocus)) {
        stop_key_capture();
      }
      break;
    case NotifyType::setfocus:
      if (n.sender == key_field_) start_key_capture();
      break;
    case NotifyType::textchanged:
      if (n.sender == new_x_edit_ || n.sender == new_y_edit_ || n.sender == move_x_edit_ || n.sender == move_y_edit_) {
        filter_offset_edit(n);
      }
      break;
    case NotifyType::mouseenter:
    case NotifyType::mouseleave:
      if (n.sender == record_button_) on_record_button_pointer(n.is(NotifyType::mouseenter));
      break;
    case NotifyType::timer:
      on_timer_notification(n);
      break;
    default:
      break;
  }
}

void CMS_1_Macro::on_click(const Notification& n) {
  const QString& name = n.sender_name;
  if (name == q(kExitButton)) {
    close(1);
  } else if (name == q(kAddButton)) {
    if (recorder_.active()) stop_recording();
    add_macro();
  } else if (name == q(kDeleteButton)) {
    delete_macro();
  } else if (name == q(kUpButton)) {
    move_event(-1);
  } else if (name == q(kDownButton)) {
    move_event(+1);
  } else if (name == q(kDeleteEventButton)) {
    delete_selected_event();
  } else if (name == q(kClearEventsButton)) {
    clear_events();
  } else if (auto button = click_button_number(name)) {
    insert_click(*button);
  } else if (name == q(kInsertMoveButton)) {
    insert_movement();
  } else if (name == q(kSaveButton)) {
    save_event_editor();
  } else if (name == q(kCancelButton)) {
    cancel_event_editor();
  } else if (name == q(kImportButton)) {
    import_macro();
  } else if (name == q(kExportButton)) {
    export_macro();
  } else {
    for (int mode = 0; mode < 3; ++mode) {
      if (delay_mode_buttons_[mode] && n.sender == delay_mode_buttons_[mode]) set_delay_mode(static_cast<DelayMode>(mode));
    }
  }
}

void CMS_1_Macro::on_item_select(const Notification& n) {
  const int index = static_cast<int>(n.wparam);
  if (n.sender == macro_list_) {
    trace("iActionIndex=%d, iNextActionIndex=%d\r\n", working_.selected, -1);
    // Another macro: a recording in progress is finished (and stored) first, so its
    // events never land in the newly loaded macro.
    if (recorder_.active()) stop_recording();
    clear_limit();
    current_index_ = index;
    load_macro(index);
  } else if (n.sender == event_list_) {
    working_.selected = index;
    if (edit_mode_) open_event_editor(index);
  } else if (n.sender == button_combo_) {
    choose_button(index);
  }
}

void CMS_1_Macro::on_timer_notification(const Notification& n) {
  if (n.sender != event_list_) return;
  const int id = static_cast<int>(n.wparam);
  kill_control_timer(event_list_, id);
  if (id == kTimerShowRestored) {
    event_list_.ensure_row_visible(restore_index_);
  } else if (id == kTimerShowInserted && working_.insert_position >= 1) {
    event_list_.ensure_row_visible(working_.insert_position - 1);
  }
}

// ---- the library

void CMS_1_Macro::fill_macro_list() {
  macro_list_.remove_all_rows();
  for (const auto& record : library_) macro_list_.add_label_row(name_text(*record), kMacroRowHeight);
}

void CMS_1_Macro::select_macro_row(int row) {
  macro_list_.select_item(row);
  Notification n;
  n.type = NotifyType::itemselect;
  n.sender = macro_list_;
  n.sender_name = q(kMacroList);
  n.wparam = row;
  on_item_select(n);
}

void CMS_1_Macro::load_macro(int index) {
  if (library_.empty() || index < 0 || static_cast<size_t>(index) >= library_.size()) {
    current_ = nullptr;
    current_index_ = -1;
    norvane::clear_events(working_);
    name_edit_.set_text(QString());
    name_edit_.set_enabled(false);
    event_list_.remove_all_rows();
    show_stats();
    return;
  }
  current_ = library_[static_cast<size_t>(index)].get();
  current_index_ = index;
  working_.load(*current_);
  if (working_.count == 0) working_.selected = kNoEvent;
  name_edit_.set_enabled(true);
  name_edit_.set_text(name_text(*current_));
  rebuild_event_rows();
}

void CMS_1_Macro::add_macro() {
  const std::u16string text = resources().text(q(kAddMacroTextKey)).toStdU16String();
  const AddedMacro added = norvane::add_macro(library_, context_.store_folder, text);
  macro_list_.add_label_row(name_text(*added.record), kMacroRowHeight);
  const int row = static_cast<int>(library_.size()) - 1;
  select_macro_row(row);
  macro_list_.ensure_row_visible(row);
  report_store_save(added.save);
}

void CMS_1_Macro::delete_macro() {
  int row = macro_list_.selected_item();
  if (row < 0 || static_cast<size_t>(row) >= library_.size()) return;
  if (show_message_box(this, QString::fromLatin1(kWarningTitleKey), q(kDeleteMacroTextKey)) != 1) return;
  if (recorder_.active()) stop_recording();
  // The working copy points into the record about to go.
  current_ = nullptr;
  report_store_save(norvane::delete_macro(library_, static_cast<size_t>(row), context_.store_folder));
  macro_list_.remove_row(row);
  if (row >= macro_list_.row_count()) row = macro_list_.row_count() - 1;
  if (row >= 0) {
    select_macro_row(row);
  } else {
    macro_list_.select_item(-1);
    load_macro(-1);
    working_.selected = kNoEvent;
  }
}

void CMS_1_Macro::rename_macro() {
  if (current_ == nullptr) return;
  const RenameResult result = norvane::rename_macro(library_, static_cast<size_t>(current_index_),
                                                    name_edit_.text().toStdU16String(), context_.store_folder);
  const QString name = QString::fromStdU16String(result.name);
  if (name_edit_.text() != name) name_edit_.set_text(name);
  switch (result.outcome) {
    case RenameOutcome::unchanged:
      break;
    case RenameOutcome::empty:
      show_limit(QStringLiteral("macro_name_empty_text"));
      break;
    case RenameOutcome::taken:
      show_limit(QStringLiteral("macro_name_taken_text"));
      break;
    case RenameOutcome::renamed:
      clear_limit();
      macro_list_.set_row_text(current_index_, name);
      report_store_save(result.save);
      break;
  }
}

// ---- accepting changes

void CMS_1_Macro::accept_change() {
  const int units = working_.size_units();
  if (units <= kMaxMacroUnits) {
    if (current_ != nullptr) {
      working_.store_into(*current_);
      clear_limit();
      report_store_save(save_macro_store(library_, context_.store_folder));
    }
  } else {
    // The mouse could not hold it: back to the macro as it was stored.
    if (current_index_ >= 0) load_macro(current_index_);
    keep_selection_ = false;
    show_limit(QStringLiteral("macro_too_large_text"), units);
  }
  show_stats();
}

void CMS_1_Macro::report_store_save(const SaveResult& result) {
  if (result.ok()) return;
  trace("macro store not saved: %s\n", result.detail.c_str());
  show_limit(QStringLiteral("macro_save_failed_text"));
}

// ---- the event list

void CMS_1_Macro::rebuild_event_rows() {
  // Rows are kept and filled again; only missing ones are built from the template.
  QListWidget* list = qobject_cast<QListWidget*>(event_list_.widget());
  if (list != nullptr) list->setUpdatesEnabled(false);
  while (event_list_.row_count() > working_.count) event_list_.remove_row(event_list_.row_count() - 1);
  for (int i = 0; i < working_.count; ++i) {
    Control row = i < event_list_.row_count() ? event_row(i) : event_list_.add_row_from_skin(q(kRowSkin), kEventRowHeight);
    fill_event_row(row, working_.events[static_cast<size_t>(i)], context_.key_name);
  }
  if (list != nullptr) list->setUpdatesEnabled(true);

  const int last = working_.count - 1;
  if (keep_selection_ && restore_index_ >= 0 && last >= 0) {
    select_event_row(std::min(restore_index_, last));
    set_control_timer(event_list_, kTimerShowRestored, kShowRowDelayMs);
  } else if (select_inserted_ && working_.insert_position >= 1 && last >= 0) {
    select_event_row(std::min(working_.insert_position - 1, last));
    set_control_timer(event_list_, kTimerShowInserted, kShowRowDelayMs);
  } else if (last >= 0) {
    select_event_row(last);
    event_list_.ensure_row_visible(last);
  } else {
    event_list_.select_item(-1);
    working_.selected = kNoEvent;
  }
  show_stats();
}

void CMS_1_Macro::select_event_row(int row) {
  event_list_.select_item(row);
  working_.selected = row;
  if (edit_mode_) open_event_editor(row);
}

void CMS_1_Macro::move_event(int step) {
  const int i = event_list_.selected_item();
  const int j = i + step;
  if (i < 0 || j < 0 || j >= working_.count || !swap_events(working_, i, j)) return;
  fill_event_row(event_row(i), working_.events[static_cast<size_t>(i)], context_.key_name);
  fill_event_row(event_row(j), working_.events[static_cast<size_t>(j)], context_.key_name);
  select_event_row(j);
  accept_change();
}

void CMS_1_Macro::delete_selected_event() {
  const int i = working_.selected;
  if (!delete_event(working_, i)) return;
  event_list_.remove_row(i);
  if (working_.count == 0) working_.selected = kNoEvent;
  const int next = std::min(i, working_.count - 1);
  if (next >= 0) select_event_row(next);
  accept_change();
}

void CMS_1_Macro::clear_events() {
  if (current_ == nullptr) return;
  norvane::clear_events(working_);
  select_inserted_ = false;
  accept_change();
  rebuild_event_rows();
}

// ---- delay modes

void CMS_1_Macro::set_delay_mode(DelayMode mode) {
  delay_mode_ = mode;
  Control& button = delay_mode_buttons_[static_cast<int>(mode)];
  if (button && !button.is_checked()) button.set_checked(true);
}

uint16_t CMS_1_Macro::default_delay_from_edit() const {
  return clamp_default_delay(integer_value(default_delay_edit_.text().toStdU16String()));
}

void CMS_1_Macro::leave_default_delay_edit() {
  const QString value = QString::number(default_delay_from_edit());
  if (default_delay_edit_.text() != value) default_delay_edit_.set_text(value);
}

// ---- the lines beside the event list

void CMS_1_Macro::show_stats() {
  if (current_ == nullptr) {
    stats_label_.set_text(QString());
    return;
  }
  const int units = working_.size_units();
  const int64_t play_ms = macro_play_time_ms(working_.events.data(), working_.count);
  stats_label_.set_text(resources()
                            .text(QStringLiteral("macro_stats_text"))
                            .arg(units)
                            .arg(kMaxMacroUnits)
                            .arg(working_.count)
                            .arg(kMaxMacroEvents)
                            .arg(QString::number(static_cast<double>(play_ms) / 1000.0, 'f', 2)));
}

void CMS_1_Macro::show_limit(const QString& text_key, int number) {
  QString text = resources().text(text_key);
  if (text.contains(QStringLiteral("%1"))) text = text.arg(number);
  limit_label_.set_text(text);
  limit_label_.set_visible(!text.isEmpty());
}

void CMS_1_Macro::clear_limit() {
  limit_label_.set_text(QString());
  limit_label_.set_visible(false);
}

void CMS_1_Macro::show_capture_hint(const QString& text_key) {
  const QString text = text_key.isEmpty() ? QString() : resources().text(text_key);
  capture_hint_.set_text(text);
  capture_hint_.set_visible(!text.isEmpty());
}

// ---- opening

int run_macro_editor(WindowBase& owner, MacroEditorContext context) {
  CMS_1_Macro editor(std::move(context));
  if (!editor.create(&owner, QString(), WindowStyle::kPopup | WindowStyle::kToolWindow, QSize(800, 800))) return -1;
  editor.center();
  return editor.show_modal();
}

}  // namespace norvane
