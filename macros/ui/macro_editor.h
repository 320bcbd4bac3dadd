#pragma once
// CMS_1_Macro: the macro editor window (skin "MS/MS_1/ms_1_macropage.xml", window class
// "MS_1_Macro"), run modally from the settings page's "Macros" button. In it the user
// manages the macro library (add, delete, rename, import and export macro files),
// lists the events of one macro, reorders, deletes, inserts and edits events, and
// records events from the keyboard and mouse through the input-capture library.
//
// There is no saving step: every change of the working copy is accepted at once (the
// library record takes it and macro.data is saved) or, when the macro would no longer
// fit the mouse (192 units or more), refused: the stored macro is loaded again and a
// line next to the event list says why.
//
// Recording and the key field are the only times the input-capture library delivers
// input (message 1034) to the window; every way out of the window stops it.
//
// Parts: macro_editor.cpp (library, event list, accepting changes),
// macro_editor_recording.cpp (recording and the key field's capture),
// macro_editor_insert.cpp (inserted clicks and movements, the event editor),
// macro_editor_files.cpp (macro files). UI thread only.

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "app/toolkit/window_base.h"
#include "core/clock.h"
#include "core/macro_library.h"
#include "input_capture/hook_library.h"
#include "macros/macro_recorder.h"
#include "macros/macro_working_copy.h"
#include "macros/ui/hook_calls.h"
#include "macros/ui/macro_event_rows.h"
#include "storage/atomic_file.h"

namespace norvane {

class MacroFileDialogs;

// What the editor works with; everything is owned by the opener.
struct MacroEditorContext {
  MacroLibrary* library = nullptr;      // the page's library
  std::string store_folder;             // where macro.data lives
  std::string data_folder;              // where the file dialogs start
  const HookFunctions* hooks = nullptr; // the input-capture library; null: no capture
  MacroKeyNameFn key_name;              // names of stored codes; null: their numbers
  VirtualKeyToCode key_code;            // stored code of a virtual key; null: 0
  Clock* clock = nullptr;               // time stamps when the capture gives none; null: the real clock
  MacroFileDialogs* file_dialogs = nullptr;  // null: the system's file dialogs
};

class CMS_1_Macro : public WindowBase {
 public:
  explicit CMS_1_Macro(MacroEditorContext context);
  ~CMS_1_Macro() override;

  QString window_class_name() const override { return QStringLiteral("MS_1_Macro"); }
  QString skin_file() const override { return QStringLiteral("MS/MS_1/ms_1_macropage.xml"); }

  void notify(const Notification& n) override;

  // What the editor shows, for its opener and for tests.
  int current_macro_index() const { return current_index_; }
  const MacroWorkingCopy& working_copy() const { return working_; }
  bool recording() const { return recorder_.active(); }
  bool capturing_key() const { return hook_for_key_; }
  DelayMode delay_mode() const { return delay_mode_; }
  bool event_editor_open() const { return edit_mode_; }

 protected:
  void init() override;
  bool handle_custom_message(const Message& m) override;
  void on_destroy() override;

 private:
  // --- the library and the event list (macro_editor.cpp)
  void on_click(const Notification& n) override;
  void on_item_select(const Notification& n);
  void on_timer_notification(const Notification& n);
  void fill_macro_list();
  void select_macro_row(int row);   // selects and loads it
  void select_event_row(int row);   // selects it and follows it with the event editor
  void load_macro(int index);
  void rebuild_event_rows();
  void accept_change();
  void add_macro();
  void delete_macro();
  void rename_macro();
  void move_event(int step);
  void delete_selected_event();
  void clear_events();
  void set_delay_mode(DelayMode mode);
  void leave_default_delay_edit();
  MacroRecord* current_macro() const;
  uint16_t default_delay_from_edit() const;
  Control event_row(int index) const;

  // The lines beside the event list: size, count and play time; why a change was
  // refused or a save failed; what the capture can see.
  void show_stats();
  void show_limit(const QString& text_key, int number = 0);
  void clear_limit();
  void show_capture_hint(const QString& text_key);
  void report_store_save(const SaveResult& result);

  // --- recording and the key field (macro_editor_recording.cpp)
  void start_recording();
  void stop_recording();
  void record_event(uintptr_t message, intptr_t param, int64_t at_ms);
  bool install_capture();
  void start_key_capture();
  void stop_key_capture();
  void capture_key(uintptr_t virtual_key);
  void on_record_button_pointer(bool entered);
  int64_t now_ms() const;

  // --- inserting and the event editor (macro_editor_insert.cpp)
  void insert_click(int button);
  void insert_movement();
  void on_event_editor_check(bool checked);
  void open_event_editor(int index);
  void close_event_editor();
  void choose_button(int entry);
  void leave_delay_edit(const Notification& n);
  void leave_offset_edit(const Notification& n);
  void filter_offset_edit(const Notification& n);
  void save_event_editor();
  void cancel_event_editor();

  // --- macro files (macro_editor_files.cpp)
  void export_macro();
  void import_macro();
  MacroFileDialogs& file_dialogs() const;

  MacroEditorContext context_;
  HookCalls hooks_;
  MacroLibrary& library_;

  MacroRecord* current_ = nullptr;
  int current_index_ = -1;
  MacroWorkingCopy working_;
  int restore_index_ = -1;
  bool select_inserted_ = false;
  bool keep_selection_ = false;
  bool edit_mode_ = false;
  bool hook_for_recording_ = false;
  bool hook_for_key_ = false;
  bool pointer_on_record_button_ = false;
  DelayMode delay_mode_ = DelayMode::fixed;
  uint16_t default_delay_ = kInsertedDelay;
  MacroRecorder recorder_;
  MessagePortPtr capture_port_;  // kept while the capture may post to it
  NvPostTarget capture_target_{};

  Control macro_list_, name_edit_, record_button_, event_list_, default_delay_edit_, editor_check_, editor_pages_,
      key_field_, key_delay_edit_, button_combo_, button_delay_edit_, move_x_edit_, move_y_edit_, move_delay_edit_,
      new_x_edit_, new_y_edit_, insert_mouse_check_, name_tab_, mouse_event_tab_, stats_label_, limit_label_,
      capture_hint_, delay_mode_buttons_[3];
};

// Opens the editor over `owner` (a pop-up tool window, centred), runs it modally and
// returns its result; -1 when its skin cannot be loaded.
int run_macro_editor(WindowBase& owner, MacroEditorContext context);

}  // namespace norvane
