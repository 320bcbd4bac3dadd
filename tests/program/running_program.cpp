#include "tests/program/running_program.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QWidget>
#include <QLineEdit>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/toolkit/popup_menu.h"
#include "app/toolkit/resources.h"
#include "core/trace.h"
#include "settings/page_controls.h"
#include "storage/macro_store.h"
#include "storage/profile_store.h"
#include "storage/store_image.h"
#include "tests/support/qt_test_app.h"

namespace norvane::testing {

namespace {

TraceSink previous_sink;

}  // namespace

RunningProgram::RunningProgram() : RunningProgram(Options{}) {}

RunningProgram::RunningProgram(Options options) : tray_(options.tray) {
  test_app();
  // The mouse is driven by the test alone: no service thread, no battery reports.
  vm_set_realtime(0);
  vm_set_battery_period(0);
  vm_set_links(0);
  vm_reset();
  vm_set_links(options.links);

  previous_sink = set_trace_sink([this](const std::string& line) {
    std::lock_guard<std::mutex> lock(trace_mutex_);
    trace_lines_.push_back(line);
  });

  if (!options.stored_profiles.empty()) {
    ProfileState stored;
    for (const ProfileRecord& record : options.stored_profiles)
      stored.profiles.push_back(std::make_unique<ProfileRecord>(record));
    std::memset(stored.head.get(), 0, sizeof *stored.head);
    save_profile_store(stored, store_folder());
  }
  if (!options.stored_macros.empty()) {
    MacroLibrary library;
    for (const MacroRecord& macro : options.stored_macros) library.push_back(std::make_unique<MacroRecord>(macro));
    save_macro_store(library, store_folder());
  }

  if (options.prepare_data_folder) options.prepare_data_folder(data_dir_.path().toStdString() + "/");

  resources().set_folder(QStringLiteral(NORVANE_SOURCE_RES));
  // Pictures for scripts/screenshots show the program's own look.
  if (const char* shots = std::getenv("NORVANE_SCREENSHOTS"); shots != nullptr && *shots != '\0') {
    resources().load_style_sheet(QStringLiteral("style.qss"));
  } else if (options.style_sheet) {
    styled_ = resources().load_style_sheet(QStringLiteral("style.qss"));
  }
  options_ = options;
  start();
}

void RunningProgram::start() {
  auto page = std::make_unique<CMS_1_Page>(PageEnvironment{
      .exe_folder = NORVANE_DRIVER_DIR "/",
      .data_folder = data_dir_.path().toStdString() + "/",
      .clock = &time_,
      .key_name = options_.key_name,
      .key_code = options_.key_code,
      .macro_file_dialogs = options_.macro_file_dialogs,
      .choose_file = [this](WindowBase&, const FileDialogRequest& request) {
        file_requests_.push_back(request);
        if (file_answers_.empty()) return QString();
        const std::string path = file_answers_.front();
        file_answers_.pop_front();
        return QString::fromStdString(path);
      },
      .store_ops = options_.store_ops});
  page_ = page.get();
  window_ = std::make_unique<CMainWnd>(std::move(page));
  // No input-capture library unless the test names one: Hook.so is not beside the tests.
  window_->set_hook_library_path(options_.hook_library.empty() ? data_dir_.path().toStdString() + "/no-capture.so"
                                                               : options_.hook_library);
  window_->create(nullptr, QString(), CMainWnd::kStyle, QSize(CMainWnd::kWidth, CMainWnd::kHeight));
  pump();
}

void RunningProgram::restart() {
  window_.reset();  // tears the page down: the worker is joined, the libraries released
  page_ = nullptr;
  flush_events();
  start();
}

std::string RunningProgram::data_file(const std::string& name) const {
  return data_dir_.path().toStdString() + "/" + name;
}

RunningProgram::~RunningProgram() {
  window_.reset();  // tears the page down: the worker is joined, the libraries released
  flush_events();
  vm_set_links(0);
  set_trace_sink(previous_sink);
  if (styled_) qApp->setStyleSheet(QString());
}

std::string RunningProgram::store_folder() const { return data_dir_.path().toStdString() + "/ms_1/"; }

Control RunningProgram::control(const char* name) { return window_->find(QString::fromLatin1(name)); }

QAbstractSlider& RunningProgram::slider(const char* name) {
  auto* s = qobject_cast<QAbstractSlider*>(control(name).widget());
  if (s == nullptr) throw std::runtime_error(std::string("no slider ") + name);
  return *s;
}

QLineEdit& RunningProgram::edit(const char* name) {
  auto* e = qobject_cast<QLineEdit*>(control(name).widget());
  if (e == nullptr) throw std::runtime_error(std::string("no edit ") + name);
  return *e;
}

bool RunningProgram::choose_function(int button, const char* item) {
  control(page_controls::numbered(page_controls::kButtonKeyPrefix, button).c_str()).click();
  PopupMenu* menu = page_->function_menu();
  if (menu == nullptr || !menu->is_open()) return false;
  const bool chosen = menu->choose(QString::fromLatin1(item));
  pump();  // the menu's message reaches the page, which may run a dialog
  return chosen;
}

void RunningProgram::pump() { flush_events(); }

int RunningProgram::traced(const std::string& part) const {
  std::lock_guard<std::mutex> lock(trace_mutex_);
  return static_cast<int>(std::count_if(trace_lines_.begin(), trace_lines_.end(),
                                        [&](const std::string& line) { return line.find(part) != std::string::npos; }));
}

int RunningProgram::applies() const {
  std::lock_guard<std::mutex> lock(trace_mutex_);
  int count = 0;
  for (const std::string& line : trace_lines_) count += line.starts_with("Apply: dpi=") ? 1 : 0;
  return count;
}

bool RunningProgram::wait_for_applies(int count) {
  const bool done = run_events_until([&] { return applies() >= count; });
  flush_events();  // the worker's last hand-overs to the UI thread
  return done;
}

bool RunningProgram::drain() {
  // A request made while another waits merges into it, and that apply may still find
  // something to send: ask again until one apply after the request sends nothing.
  constexpr int kMaxRounds = 8;
  for (int round = 0; round < kMaxRounds; ++round) {
    size_t mark = 0;
    {
      std::lock_guard<std::mutex> lock(trace_mutex_);
      mark = trace_lines_.size();
    }
    control(page_controls::kApplyButton).click();
    bool empty = false;
    const bool finished = run_events_until([&] {
      std::lock_guard<std::mutex> lock(trace_mutex_);
      for (size_t i = mark; i < trace_lines_.size(); ++i) {
        if (!trace_lines_[i].starts_with("Apply: dpi=")) continue;
        empty = trace_lines_[i] == "Apply: dpi=0 light=0 rate=0 buttons=0\n";
        return true;
      }
      return false;
    });
    flush_events();
    if (!finished) return false;
    if (empty) return true;
  }
  return false;
}

void RunningProgram::settle() {
  // Start-up may already have asked for the first apply when the link came up, and the
  // click may then queue a second one behind it: drain, so nothing is left running or
  // waiting when the test starts counting.
  drain();
  baseline_ = reports_now();
}

MouseReports RunningProgram::reports_now() {
  VmMouseState s{};
  vm_get_state(&s);
  VmCounters c{};
  vm_get_counters(&c);
  return {s.accepted_opener, s.accepted_dpi,  s.accepted_light,          s.accepted_rate,
          s.accepted_buttons, s.accepted_macro_chunks, c.frames_received};
}

MouseReports RunningProgram::mouse_since_settle() const {
  const MouseReports now = reports_now();
  return {now.opener - baseline_.opener,   now.dpi - baseline_.dpi,
          now.light - baseline_.light,     now.rate - baseline_.rate,
          now.buttons - baseline_.buttons, now.macro_chunks - baseline_.macro_chunks,
          now.frames - baseline_.frames};
}

VmMouseState RunningProgram::mouse() const {
  VmMouseState s{};
  vm_get_state(&s);
  return s;
}

void RunningProgram::photograph(const char* file, const char* control_name) {
  const char* folder = std::getenv("NORVANE_SCREENSHOTS");
  if (folder == nullptr || *folder == '\0') return;
  pump();
  QWidget* shot = window_->native();
  if (control_name != nullptr && control(control_name).widget() != nullptr) shot = control(control_name).widget();
  shot->grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(QString::fromLatin1(file)));
}

std::vector<uint8_t> RunningProgram::stored_file() const {
  page_->store_writer().wait_idle();
  QFile file(QString::fromStdString(store_folder() + kProfileStoreFileName));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

ProfileRecord RunningProgram::stored_profile(size_t index) const {
  const std::vector<uint8_t> bytes = stored_file();
  ProfileRecord record{};
  const size_t offset = kProfileStoreHeadBytes + index * kProfileRecordBytes;
  if (bytes.size() >= offset + kProfileRecordBytes) std::memcpy(&record, bytes.data() + offset, sizeof record);
  return record;
}

int32_t RunningProgram::stored_selected_index() const {
  const std::vector<uint8_t> bytes = stored_file();
  int32_t index = -1;
  if (bytes.size() >= sizeof index) std::memcpy(&index, bytes.data(), sizeof index);
  return index;
}

std::vector<uint8_t> RunningProgram::stored_macro_file() const {
  QFile file(QString::fromStdString(store_folder() + kMacroStoreFileName));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::vector<MacroRecord> RunningProgram::stored_macros() const {
  const std::vector<uint8_t> bytes = stored_macro_file();
  std::vector<MacroRecord> records(bytes.size() / sizeof(MacroRecord));
  if (!records.empty()) std::memcpy(static_cast<void*>(records.data()), bytes.data(), records.size() * sizeof(MacroRecord));
  return records;
}

std::vector<QWidget*> visible_windows_with(const char* control_name) {
  std::vector<QWidget*> found;
  for (QWidget* w : QApplication::allWidgets()) {
    if (w->objectName() != QLatin1String(control_name)) continue;
    QWidget* window = w->window();
    if (window->isVisible() && std::find(found.begin(), found.end(), window) == found.end()) found.push_back(window);
  }
  return found;
}

}  // namespace norvane::testing
