// The macro editor's use of the input-capture library: recording events into the
// working copy, and the event editor's key field, which takes one key at a time.

#include <QWidget>

#include "core/trace.h"
#include "macros/macro_size.h"
#include "macros/ui/macro_editor.h"
#include "macros/ui/macro_editor_controls.h"

namespace norvane {

using namespace macro_controls;

namespace {

constexpr char kStartRecordingKey[] = "start_recording_text";
constexpr char kStopRecordingKey[] = "stop_recording_text";
constexpr char kCaptureUnavailableKey[] = "capture_unavailable_text";
constexpr uintptr_t kLastVirtualKey = 0xFF;

}  // namespace

int64_t CMS_1_Macro::now_ms() const {
  return context_.clock != nullptr ? context_.clock->now_ms() : system_clock().now_ms();
}

bool CMS_1_Macro::handle_custom_message(const Message& m) {
  if (m.id != NV_HOOK_MESSAGE) return false;
  // The time the input happened, not when it is handled here; taken for every
  // message so the library's record of times never holds stale entries.
  int64_t at_ms = 0;
  if (!hooks_.event_time(m.wparam, m.lparam, at_ms)) at_ms = now_ms();
  if (recorder_.active() && hook_for_recording_) {
    record_event(m.wparam, m.lparam, at_ms);
  } else if (hook_for_key_) {
    capture_key(m.wparam);
  }
  // Anything else arrived after its capture ended: not an event of this window.
  return true;
}

bool CMS_1_Macro::install_capture() {
  if (!hooks_.available() || !hooks_.install(capture_target_)) {
    show_capture_hint(QString::fromLatin1(kCaptureUnavailableKey));
    return false;
  }
  show_capture_hint(QString::fromUtf8(capture_hint_key(hooks_.scope()).data(),
                                      static_cast<qsizetype>(capture_hint_key(hooks_.scope()).size())));
  return true;
}

// ---- recording

void CMS_1_Macro::start_recording() {
  stop_key_capture();
  if (!install_capture()) {
    record_button_.set_checked(false);
    return;
  }
  if (current_ == nullptr) add_macro();
  if (current_ == nullptr) {  // not even an empty macro could be made
    stop_recording();
    return;
  }
  clear_limit();
  default_delay_ = default_delay_from_edit();
  recorder_.start(working_, delay_mode_, default_delay_, now_ms());
  restore_index_ = recorder_.start_position();
  select_inserted_ = recorder_.start_position() != kInsertAtEnd;
  hook_for_recording_ = true;
  hook_for_key_ = false;
  record_button_.set_checked(true);
  record_button_.set_text(QString::fromLatin1(kStopRecordingKey));
  hooks_.enable_keys(true);
  hooks_.enable_wheel(false);
  // Mouse buttons only while the pointer is off the record button, so the clicks that
  // start and stop the recording are never part of it.
  QWidget* button = record_button_.widget();
  pointer_on_record_button_ = button != nullptr && button->underMouse();
  hooks_.enable_mouse(!pointer_on_record_button_);
  if (recorder_.start_position() == kInsertAtEnd) rebuild_event_rows();  // the old events are gone
}

void CMS_1_Macro::stop_recording() {
  const bool was_recording = recorder_.active() || hook_for_recording_;
  recorder_.stop();
  hook_for_recording_ = false;
  record_button_.set_text(QString::fromLatin1(kStartRecordingKey));
  record_button_.set_checked(false);
  hooks_.remove();
  hooks_.remove_mouse();
  hooks_.enable_mouse(false);
  hooks_.enable_keys(false);
  hooks_.enable_wheel(false);
  show_capture_hint(QString());
  if (!was_recording) return;
  select_inserted_ = false;
  accept_change();
}

void CMS_1_Macro::record_event(uintptr_t message, intptr_t param, int64_t at_ms) {
  switch (recorder_.record(working_, message, param, at_ms, context_.key_code)) {
    case MacroRecorder::Outcome::repeat_dropped:
      return;
    case MacroRecorder::Outcome::full_units:
      stop_recording();
      show_limit(QStringLiteral("recording_full_units_text"), kRecordingStopUnits);
      return;
    case MacroRecorder::Outcome::recorded:
      rebuild_event_rows();
      return;
    case MacroRecorder::Outcome::full_events:
      rebuild_event_rows();
      stop_recording();
      show_limit(QStringLiteral("recording_full_events_text"), kMaxMacroEvents);
      return;
  }
}

void CMS_1_Macro::on_record_button_pointer(bool entered) {
  pointer_on_record_button_ = entered;
  if (recorder_.active()) hooks_.enable_mouse(!entered);
}

// ---- the key field

void CMS_1_Macro::start_key_capture() {
  // One use of the capture at a time: a recording in progress ends (and is stored).
  if (recorder_.active()) stop_recording();
  hook_for_recording_ = false;
  if (!install_capture()) return;
  hook_for_key_ = true;
  hooks_.enable_keys(true);
}

void CMS_1_Macro::stop_key_capture() {
  if (!hook_for_key_) return;
  hook_for_key_ = false;
  hooks_.remove();
  hooks_.enable_keys(false);
  show_capture_hint(QString());
}

void CMS_1_Macro::capture_key(uintptr_t virtual_key) {
  if (virtual_key == 0 || virtual_key > kLastVirtualKey) return;  // mouse input is not a key
  const uint8_t code = context_.key_code ? context_.key_code(static_cast<uint32_t>(virtual_key)) : 0;
  // A key the mouse cannot play keeps the event as it is.
  if (code == 0) return;
  const MacroEvent shown = key_event(code, kKindPress, 0);
  key_field_.set_text(event_key_name(shown, context_.key_name));
  const int s = working_.selected;
  if (!working_.valid_index(s)) return;
  MacroEvent& event = working_.events[static_cast<size_t>(s)];
  if (event.kind == kKindMove || (event.code >= kCodeLeftButton && event.code <= kCodeForwardButton)) return;
  event.code = code;
  show_event_row_key(event_row(s), event, context_.key_name);
  accept_change();
}

}  // namespace norvane
