// Building a macro by hand: inserted clicks and movements, and the event editor with
// its pages for key events, mouse button events and movements.

#include <array>

#include "macros/event_fields.h"
#include "macros/ui/macro_editor.h"
#include "macros/ui/macro_editor_controls.h"

namespace norvane {

using namespace macro_controls;

namespace {

// The click buttons 1..5 and the combo's entries 0..4 name the buttons in this order.
constexpr std::array<uint8_t, 5> kButtonCodes = {kCodeLeftButton, kCodeRightButton, kCodeMiddleButton,
                                                  kCodeForwardButton, kCodeBackwardButton};

bool is_mouse_button(uint8_t code) { return code >= kCodeLeftButton && code <= kCodeForwardButton; }

int combo_entry_of(uint8_t code) {
  for (size_t i = 0; i < kButtonCodes.size(); ++i) {
    if (kButtonCodes[i] == code) return static_cast<int>(i);
  }
  return -1;
}

int32_t value_of(const Control& edit) { return integer_value(edit.text().toStdU16String()); }

}  // namespace

// ---- inserting

void CMS_1_Macro::insert_click(int button) {
  if (current_ == nullptr || button < 1 || button > static_cast<int>(kButtonCodes.size())) return;
  const uint16_t delay = delay_mode_ == DelayMode::fixed ? default_delay_from_edit() : kInsertedDelay;
  if (working_.count + 2 > kMaxMacroEvents) {
    show_limit(QStringLiteral("macro_full_events_text"), kMaxMacroEvents);
    return;
  }
  const uint8_t code = kButtonCodes[static_cast<size_t>(button - 1)];
  working_.insert_position = working_.selected + 1;  // the top of the list when nothing is selected
  select_inserted_ = true;
  insert_event(working_, key_event(code, kKindPress, delay));
  insert_event(working_, key_event(code, kKindRelease, delay));
  rebuild_event_rows();
  accept_change();
  select_inserted_ = false;
}

void CMS_1_Macro::insert_movement() {
  if (current_ == nullptr) return;
  if (working_.full()) {
    show_limit(QStringLiteral("macro_full_events_text"), kMaxMacroEvents);
    return;
  }
  const int32_t x = clamp_offset(value_of(new_x_edit_));
  const int32_t y = clamp_offset(value_of(new_y_edit_));
  if (working_.valid_index(working_.selected)) {
    working_.insert_position = restore_index_ = working_.selected + 1;
    select_inserted_ = true;
  } else {
    working_.insert_position = kInsertAtEnd;  // the end of the list when nothing is selected
  }
  insert_event(working_, norvane::move_event(x, y, kInsertedDelay));
  accept_change();
  rebuild_event_rows();
  select_inserted_ = false;
}

// ---- the event editor

void CMS_1_Macro::on_event_editor_check(bool checked) {
  edit_mode_ = checked;
  if (!working_.valid_index(working_.selected)) {
    close_event_editor();
    return;
  }
  if (checked) {
    open_event_editor(working_.selected);
  } else {
    editor_pages_.select_item(kPageNone);
  }
}

void CMS_1_Macro::close_event_editor() {
  edit_mode_ = false;
  editor_check_.set_checked(false);
  editor_pages_.select_item(kPageNone);
}

void CMS_1_Macro::open_event_editor(int index) {
  if (!working_.valid_index(index)) return;
  const MacroEvent& event = working_.events[static_cast<size_t>(index)];
  // The delay after a macro's last key or button event is not played: it cannot be set.
  const bool last = index == working_.count - 1;
  const QString delay = QString::number(event.delay);
  if (event.kind == kKindMove) {
    editor_pages_.select_item(kPageMove);
    move_x_edit_.set_text(QString::number(event.x));
    move_y_edit_.set_text(QString::number(event.y));
    move_delay_edit_.set_text(delay);
    move_delay_edit_.set_enabled(true);
  } else if (is_mouse_button(event.code)) {
    editor_pages_.select_item(kPageButton);
    button_combo_.select_item(combo_entry_of(event.code));
    button_delay_edit_.set_text(delay);
    button_delay_edit_.set_enabled(!last);
  } else {
    editor_pages_.select_item(kPageKey);
    key_field_.set_text(event_key_name(event, context_.key_name));
    key_delay_edit_.set_text(delay);
    key_delay_edit_.set_enabled(!last);
  }
}

void CMS_1_Macro::choose_button(int entry) {
  if (entry < 0 || entry >= static_cast<int>(kButtonCodes.size())) return;
  const int s = working_.selected;
  if (!working_.valid_index(s)) return;
  MacroEvent& event = working_.events[static_cast<size_t>(s)];
  if (event.kind == kKindMove || !is_mouse_button(event.code)) return;  // only a button event takes a button
  event.code = kButtonCodes[static_cast<size_t>(entry)];
  show_event_row_key(event_row(s), event, context_.key_name);
  accept_change();
}

void CMS_1_Macro::leave_delay_edit(const Notification& n) {
  Control edit = n.sender;
  const bool movement = edit == move_delay_edit_;
  const uint16_t delay = movement ? clamp_move_delay(value_of(edit)) : clamp_key_delay(value_of(edit));
  edit.set_text(QString::number(delay));
  const int s = working_.selected;
  if (working_.valid_index(s)) {
    MacroEvent& event = working_.events[static_cast<size_t>(s)];
    const bool is_move = event.kind == kKindMove;
    // A movement's delay can be set everywhere; a key or button event's not on the last.
    const bool settable = movement ? is_move : (!is_move && s < working_.count - 1);
    if (settable) {
      event.delay = delay;
      show_event_row_delay(event_row(s), delay);
    }
  }
  accept_change();
}

void CMS_1_Macro::leave_offset_edit(const Notification& n) {
  Control edit = n.sender;
  const int32_t value = clamp_offset(value_of(edit));
  const int s = working_.selected;
  if (working_.valid_index(s) && working_.events[static_cast<size_t>(s)].kind == kKindMove) {
    MacroEvent& event = working_.events[static_cast<size_t>(s)];
    (edit == move_x_edit_ ? event.x : event.y) = value;
    show_event_row_offsets(event_row(s), event.x, event.y);
  }
  accept_change();
}

void CMS_1_Macro::filter_offset_edit(const Notification& n) {
  Control edit = n.sender;
  const FilteredText filtered = filter_offset_text(edit.text().toStdU16String());
  if (!filtered.changed) return;
  edit.set_text(QString::fromStdU16String(filtered.text));
  edit.set_caret_to_end();
}

void CMS_1_Macro::save_event_editor() {
  accept_change();
  close_event_editor();
}

void CMS_1_Macro::cancel_event_editor() {
  // Back to the stored macro, with the event that was being edited still selected.
  keep_selection_ = true;
  restore_index_ = working_.selected;
  close_event_editor();
  if (current_index_ >= 0) load_macro(current_index_);
  keep_selection_ = false;
}

}  // namespace norvane
