#pragma once
// The real program in the test process: the main window with the settings page, the
// virtual mouse's driver libraries loaded from the build's bin folder, the skins and
// language file of the source tree, window timers and link pacing on fake time, and a
// throw-away data folder. Tests drive it through its controls.
//
//   RunningProgram program;            // cable plugged, default store
//   program.settle();                  // the first apply (the whole profile) is done
//   program.slider("ms_1_slider_brightness").setValue(3);
//   program.time().advance(500);
//   program.wait_for_applies(1);
//   EXPECT_EQ(program.mouse_since_settle().light, 1);

#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/toolkit/control.h"
#include "app/toolkit/timer_service.h"
#include "core/macro_record.h"
#include "drivers/virtual/virtual_mouse_control.h"
#include "settings/ms1_page.h"
#include "storage/file_ops.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/fake_time.h"

class QAbstractSlider;
namespace norvane {
class MacroFileDialogs;
}
class QLineEdit;

namespace norvane::testing {

// Reports the virtual mouse accepted, by kind.
struct MouseReports {
  uint32_t opener = 0, dpi = 0, light = 0, rate = 0, buttons = 0, macro_chunks = 0;
  uint32_t frames = 0;  // every transfer that reached the mouse, accepted or not
};

class RunningProgram {
 public:
  struct Options {
    uint32_t links = VM_LINK_BIT(VM_LINK_CABLE);
    // Profiles stored before start ({} = no store: the program makes its default one).
    std::vector<ProfileRecord> stored_profiles = {};
    // Names of keys in shortcut captions and macro rows ({} = their numbers).
    KeyNameFn key_name = {};
    // Usages of virtual keys for macro recording ({} = none known).
    std::function<uint8_t(uint32_t)> key_code = {};
    // Macros stored before start ({} = no macro store).
    std::vector<MacroRecord> stored_macros = {};
    // The input-capture library the window loads ("" = none: capture is unavailable).
    std::string hook_library = {};
    // The macro editor's file dialogs (null = the system's).
    MacroFileDialogs* macro_file_dialogs = nullptr;
    // The file-system calls of the page's store writes (null: the real ones).
    FileOps* store_ops = nullptr;
    // Runs on the data folder before the page starts (to put things in the way).
    std::function<void(const std::string& data_folder)> prepare_data_folder = {};
    // The desktop offers a tray.
    bool tray = true;
    // The program's style sheet (fonts, paddings): for tests of what fits where.
    bool style_sheet = false;
  };

  RunningProgram();
  explicit RunningProgram(Options options);
  ~RunningProgram();

  // Closes the program as the tray menu's "exit" does and starts it again on the same
  // data folder; the mouse keeps what it was sent.
  void restart();

  CMainWnd& window() { return *window_; }
  CMS_1_Page& page() { return *page_; }
  FakeTime& time() { return time_; }
  FakeTray& tray() { return tray_; }
  // Notices shown through the desktop's notification service (not the tray's).
  const std::vector<DesktopNotice>& notices() const { return notices_.shown; }
  std::string store_folder() const;

  Control control(const char* name);
  QAbstractSlider& slider(const char* name);
  QLineEdit& edit(const char* name);

  // Clicks the caption of `button` (1..18) and chooses `item` in the function menu it
  // opened, as the user would; false when no menu opened or it has no such item.
  bool choose_function(int button, const char* item);

  // Lets the program handle what is queued (messages, the worker's hand-overs).
  void pump();
  // Number of applies the worker has finished.
  int applies() const;
  // Processes events until `count` applies have finished; false on the guard limit.
  bool wait_for_applies(int count);
  // Asks for one more apply and waits for it, asking again while the apply that answers
  // still sends something (a request merges into one already waiting), until one finds
  // nothing to send. Every request made before has then been carried out; applies()
  // counts them all, the last one included.
  bool drain();
  // Has the first apply (start-up leaves the whole profile to send) and every other
  // request carried out, then takes the baseline of mouse_since_settle().
  void settle();
  // What reached the mouse since settle().
  MouseReports mouse_since_settle() const;
  VmMouseState mouse() const;

  // Answers the next file dialog (import or export) with `path`; "" cancels it. Without
  // a queued answer a file dialog is cancelled. file_requests() lists the dialogs asked.
  void answer_next_file_dialog(const std::string& path) { file_answers_.push_back(path); }
  const std::vector<FileDialogRequest>& file_requests() const { return file_requests_; }
  // A file path inside the program's data folder, for files to import and export.
  std::string data_file(const std::string& name) const;

  // When NORVANE_SCREENSHOTS names a folder (scripts/screenshots), saves a picture of the
  // window there as `file`, cut to the widget named `control`'s window part when given.
  void photograph(const char* file, const char* control = nullptr);

  // The profile store as it is on disk.
  // How many trace lines so far contain `part`.
  int traced(const std::string& part) const;

  // The profile store as it is on disk, once every save asked for has been written.
  std::vector<uint8_t> stored_file() const;
  ProfileRecord stored_profile(size_t index) const;
  int32_t stored_selected_index() const;
  // The macro store as it is on disk: its bytes, and its records (none when missing).
  std::vector<uint8_t> stored_macro_file() const;
  std::vector<MacroRecord> stored_macros() const;

 private:
  static MouseReports reports_now();
  void start();

  QTemporaryDir data_dir_;
  FakeTime time_;
  ScopedTimerService timers_{time_};
  FakeTray tray_{true};
  ScopedTrayAvailability use_tray_{tray_};
  RecordingNotices notices_;
  ScopedDesktopNotices use_notices_{notices_};
  mutable std::mutex trace_mutex_;
  std::vector<std::string> trace_lines_;
  MouseReports baseline_;
  Options options_;
  std::deque<std::string> file_answers_;
  std::vector<FileDialogRequest> file_requests_;
  bool styled_ = false;
  CMS_1_Page* page_ = nullptr;
  std::unique_ptr<CMainWnd> window_;
};

// The windows on screen that hold a control named `control_name` ("dpi_label": DPI popups).
std::vector<QWidget*> visible_windows_with(const char* control_name);

}  // namespace norvane::testing
