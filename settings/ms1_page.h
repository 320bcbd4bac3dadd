#pragma once
// CMS_1_Page: the settings page of this mouse model, registered with the main window
// as "MS_1_Page". It shows the current profile in the page's controls, turns every
// user action into a change of the current record and asks for an apply at the right
// moment (at once, or after the user stops dragging), and owns what the page stands
// on: the profile list and macro library with their stores, the link state, and the
// links to the mouse with the apply worker (PageDevices).
//
// Threads: everything here runs on the UI thread. The worker thread only reads the
// current record (a snapshot under ProfileState::mutex); the stores are written by the
// page's store writer thread, which copies the profile list under the same mutex, so
// every edit of a record or of the list goes through it.

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "buttons/button_caption.h"
#include "core/clock.h"
#include "core/link_state.h"
#include "core/profile_state.h"
#include "settings/file_chooser.h"
#include "settings/link_page_hooks.h"
#include "settings/page_commands.h"
#include "settings/page_interface.h"
#include "settings/ui_thread_calls.h"
#include "storage/file_ops.h"
#include "storage/record_names.h"
#include "storage/store_writer.h"

namespace norvane {

class LinkPresenter;
class MacroFileDialogs;
class PageDevices;
class PopupMenu;
struct MacroOverlap;
class PageViewAdapter;
class DeviceChangeWatch;

inline constexpr char kMs1PageName[] = "MS_1_Page";

// Delays of the apply request: the lighting list, and sliders (a drag ends in one request).
inline constexpr int kLightModeApplyDelayMs = 200;
inline constexpr int kSliderApplyDelayMs = 500;
// The wait before an opened section is brought into view (the layout settles first).
inline constexpr int kSectionScrollDelayMs = 10;

struct PageEnvironment {
  std::string exe_folder;   // the driver libraries; ends in '/'
  std::string data_folder;  // the stores live in its subfolder "ms_1/"; ends in '/'
  Clock* clock = nullptr;   // pauses of the link pacing; null: the real clock
  // The name of a keyboard usage in shortcut captions (the program gives the session's
  // key names); null: its number.
  KeyNameFn key_name;
  // The keyboard usage of a virtual key in the session's layout (0: not a key the mouse
  // plays); null: none is known.
  std::function<uint8_t(uint32_t virtual_key)> key_code;
  // Where the macro editor asks for files; null: the system's file dialogs.
  MacroFileDialogs* macro_file_dialogs = nullptr;
  // Asks for the file of a profile import or export; null: the file dialog.
  FileChooser choose_file;
  FileOps* store_ops = nullptr;  // the store writes' file-system calls; null: the real ones
};

class CMS_1_Page final : public MainWindowPage, public LinkPageHooks {
 public:
  explicit CMS_1_Page(PageEnvironment environment);
  ~CMS_1_Page() override;
  CMS_1_Page(const CMS_1_Page&) = delete;
  CMS_1_Page& operator=(const CMS_1_Page&) = delete;

  // MainWindowPage
  void attach(WindowBase& window, const HookFunctions& hooks) override;
  void start_page() override;
  void watch_device_changes(MessagePortPtr window) override;
  void on_link_value(LibraryLink link, uint32_t value) override;
  void on_device_change(const DeviceChange& change) override;
  void on_page_timer(int id) override;
  void on_menu_command(const QString& item_name) override;
  int32_t any_link() const override { return links_.any_link; }
  void post_to_worker(uint32_t id, uintptr_t wparam, intptr_t lparam) override;
  void on_screen_changed(bool on_screen) override;
  int mouse_open_error() const override;
  void tear_down() override;

  // NotifyTarget: the page's notifications by type.
  void notify(const Notification& n) override;

  // Shows the current profile in every control.
  void refresh_page();

  const ProfileState& profiles() const { return profiles_; }
  const MacroLibrary& macro_library() const { return macro_library_; }
  std::string store_folder() const { return store_folder_; }
  // The button-function menu opened last (null before the first).
  PopupMenu* function_menu() { return function_menu_.get(); }

  // Writes the profile store off the UI thread (a save that fails is traced, shown once
  // per run in a message box and tried again with the next save); wait_idle() waits for
  // what is queued. The macro library, a few kilobytes, is saved where it is edited.
  StoreWriter& store_writer() { return *store_writer_; }

  // --- operations for scripts (page_commands.cpp), through the same handlers as the
  // page's controls. Profile and macro indexes are 0-based; DPI levels 1..8.
  PageStatus status() const;
  // True while the current profile differs from what the mouse was last sent.
  bool changes_pending() const;
  PageCommandResult choose_profile(int index);
  PageCommandResult import_profile_from(const std::string& path);
  PageCommandResult export_profile_to(int index, const std::string& path) const;
  PageCommandResult choose_dpi_level(int level);
  PageCommandResult set_dpi_cpi(int level, long long cpi);
  PageCommandResult import_macro_from(const std::string& path);
  PageCommandResult export_macro_to(int index, const std::string& path) const;
  // Asks the worker to send what is pending (as the apply button does).
  void apply_now() { request_apply(); }
  // Apply requests handed to the worker so far, and those it has carried out: an
  // apply asked for as request N has ended once apply_requests_handled() >= N.
  uint64_t apply_requests_posted() const;
  uint64_t apply_requests_handled() const;

 private:
  // --- notification handlers (page_handlers.cpp)
  void on_click(const Notification& n);
  void on_select_changed(const Notification& n);
  void on_item_select(const Notification& n);
  void on_check_click(const Notification& n);
  void on_value_changed(const Notification& n);
  void on_dpi_edit_left(const Notification& n);
  void on_text_changed(const Notification& n);

  void select_profile(int index);

  // --- the profile list's buttons (page_profiles.cpp)
  // Handles a click on a profile button; false when `name` is none of them.
  bool on_profile_click(std::string_view name);
  void add_profile();
  void delete_profile();
  void rename_profile();
  void import_profile();
  void export_profile();
  // Appends a record to the list and makes it the current profile.
  void append_profile(std::unique_ptr<ProfileRecord> record);
  // Selects row `index` and makes its profile current (select_profile).
  void show_profile(int index);
  QString choose_profile_file(bool save);
  void restore_defaults();
  void reset_dpi();
  void choose_light_color();
  void choose_dpi_color(int level);
  void resync_macros_with_library();
  void open_macro_editor();  // page_macros.cpp
  void open_section(std::string_view check, bool checked);

  // --- button assignment (page_buttons.cpp)
  void open_assignment_menu(int slot);
  void assign_button_function(int slot, uint8_t code);
  void run_shortcut_flow(int slot);
  void select_macro_for_slot(int slot);
  void finish_assignment(int slot);
  // After an apply (UI thread): tells the user about macro buttons left out.
  void show_macro_overlaps(const std::vector<MacroOverlap>& overlaps);

  // Asks the worker for an apply after `delay_ms` through timer 529, restarted by every
  // call so a burst ends in one request (request_apply, below, asks at once).
  void request_apply_after(int delay_ms);

  // --- showing the record (page_refresh.cpp)
  void fill_profile_list();
  void show_dpi_level(const ProfileRecord& record, int level);
  void show_setting_labels(const ProfileRecord& record);
  void show_button_captions(const ProfileRecord& record);
  void show_button_caption(const ProfileRecord& record, int slot);
  void bring_opened_section_into_view();

  // LinkPageHooks
  void refresh_lighting_rows() override;
  void save_profile_store() override;
  // Message 1559 to the window: the worker applies at once.
  void request_apply() override;
  std::string language_string(const char* key) const override;

  // The page's own main-window timers (delayed apply request, section scroll).
  void on_settings_timer(int id);

  // A save that failed: traced on the writer thread, then shown on the UI thread.
  void on_store_saved(const StoreSaveOutcome& outcome);
  void show_store_failure(const std::string& folder, const std::string& reason);

  // The record the page shows; null before the store is loaded. UI thread: only this
  // thread changes records, so reading without the lock is safe here.
  const ProfileRecord* current() const { return profiles_.current_profile; }
  QString language_text(const char* key) const;
  // A failed operation, told with the language text of `text_key`.
  PageCommandResult failed_with(const char* text_key) const;

  PageEnvironment environment_;
  std::string store_folder_;
  ProfileState profiles_;
  MacroLibrary macro_library_;
  UiThreadCalls store_calls_;  // the writer's outcomes, handed to the UI thread
  // After what it writes from: destroyed (having written what is queued) before them.
  std::unique_ptr<StoreWriter> store_writer_;
  bool store_failure_shown_ = false;
  LinkState links_;
  WindowBase* window_ = nullptr;
  const HookFunctions* hook_functions_ = nullptr;
  std::unique_ptr<PageViewAdapter> view_;
  std::unique_ptr<LinkPresenter> presenter_;
  std::unique_ptr<PageDevices> devices_;
  std::unique_ptr<DeviceChangeWatch> device_watch_;
  int menu_button_index_ = -1;    // the button whose function menu is open
  std::unique_ptr<PopupMenu> function_menu_;  // the menu opened last, kept until the next
  QString last_overlap_warning_;  // not repeated while the same buttons stay left out
  std::string section_to_show_;  // the section body opened last, brought into view by timer 530
  bool started_ = false;
  bool torn_down_ = false;
};

}  // namespace norvane
