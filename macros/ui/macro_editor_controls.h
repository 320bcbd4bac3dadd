#pragma once
// Names of the macro editor's controls (skin "MS/MS_1/ms_1_macropage.xml"), of the
// event row template and of the language keys the editor shows.

namespace norvane::macro_controls {

inline constexpr char kExitButton[] = "btn_exit";
inline constexpr char kMacroList[] = "ms_1_macro_list";
inline constexpr char kNameEdit[] = "ms_1_macro_name_edit";
inline constexpr char kAddButton[] = "ms_1_macro_add_btn";
inline constexpr char kDeleteButton[] = "ms_1_macro_delete_btn";
inline constexpr char kInsertMouseCheck[] = "ms_1_macro_insert_mouse_btn";
inline constexpr char kRecordButton[] = "ms_1_macro_record_btn";
inline constexpr char kEventList[] = "ms_1_macro_action_list";
inline constexpr char kRecordDelayButton[] = "ms_1_record_delay_btn";
inline constexpr char kDefaultDelayButton[] = "ms_1_default_delay_btn";
inline constexpr char kNoDelayButton[] = "ms_1_no_delay_btn";
inline constexpr char kDefaultDelayEdit[] = "ms_1_default_delay_edit";
inline constexpr char kUpButton[] = "ms_1_macro_up_btn";
inline constexpr char kDownButton[] = "ms_1_macro_down_btn";
inline constexpr char kDeleteEventButton[] = "ms_1_macro_delete_action_btn";
inline constexpr char kClearEventsButton[] = "ms_1_macro_clear_action_btn";
inline constexpr char kEventEditorCheck[] = "ms_1_macro_action_edit_check";
inline constexpr char kEventEditorPages[] = "ms_1_macro_action_edit_tab";
inline constexpr char kKeyField[] = "ms_1_macro_action_edit";
inline constexpr char kKeyDelayEdit[] = "ms_1_macro_delay_edit";
inline constexpr char kButtonCombo[] = "ms_1_macro_mouse_action_combo";
inline constexpr char kButtonDelayEdit[] = "ms_1_macro_mouseaction_delay_edit";
inline constexpr char kMoveXEdit[] = "mouse_move_edit_x_edit";
inline constexpr char kMoveYEdit[] = "mouse_move_edit_y_edit";
inline constexpr char kMoveDelayEdit[] = "mouse_move_delay_edit";
inline constexpr char kSaveButton[] = "ms_1_macro_save_btn";
inline constexpr char kCancelButton[] = "ms_1_macro_cancel_btn";
inline constexpr char kClickButtonPrefix[] = "ms_1_macro_key";  // ms_1_macro_key1_btn .. key5
inline constexpr char kNewXEdit[] = "ms_1_edit_x";
inline constexpr char kNewYEdit[] = "ms_1_edit_y";
inline constexpr char kInsertMoveButton[] = "ms_1_macro_move_btn";
inline constexpr char kImportButton[] = "ms_1_macro_import_btn";
inline constexpr char kExportButton[] = "ms_1_macro_export_btn";
inline constexpr char kNameTab[] = "ms_1_macro_name_tab";
inline constexpr char kMouseEventTab[] = "ms_1_macro_mouse_event_tab";
inline constexpr char kSaveDataTab[] = "ms_1_macro_savedata_tab";
inline constexpr char kFileTab[] = "ms_1_macro_exportorimport_tab";
// Lines beside the event list: the macro's size and play time, why a change was refused,
// and what the input capture can see.
inline constexpr char kStatsLabel[] = "ms_1_macro_stats_label";
inline constexpr char kLimitLabel[] = "ms_1_macro_limit_label";
inline constexpr char kCaptureHint[] = "ms_1_macro_capture_hint";

// The event row template and its parts.
inline constexpr char kRowSkin[] = "keylistitem.xml";
inline constexpr char kRowKey[] = "key";
inline constexpr char kRowAction[] = "action";
inline constexpr char kRowDelay[] = "delay";

// Pages of the event editor.
inline constexpr int kPageNone = 0;
inline constexpr int kPageKey = 1;
inline constexpr int kPageButton = 2;
inline constexpr int kPageMove = 3;

// Control timers that bring a selected row into view once the list has its rows.
inline constexpr int kTimerShowInserted = 6;
inline constexpr int kTimerShowRestored = 28;
inline constexpr int kShowRowDelayMs = 50;

inline constexpr int kMacroRowHeight = 30;
inline constexpr int kEventRowHeight = 30;

}  // namespace norvane::macro_controls
