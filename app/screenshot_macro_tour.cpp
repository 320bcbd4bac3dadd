#include "app/screenshot_macro_tour.h"

#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/toolkit/window_base.h"
#include "core/trace.h"
#include "input_capture/hook_abi.h"
#include "macros/ui/macro_editor_controls.h"

namespace norvane {
namespace {

using namespace macro_controls;

constexpr int kStepMs = 300;

// Virtual keys of a short shortcut: Ctrl down, C down, C up, Ctrl up.
constexpr uintptr_t kVkControl = 0xA2;  // the left Ctrl key
constexpr uintptr_t kVkC = 0x43;

class MacroTour {
 public:
  MacroTour(WindowBase& editor, QString folder) : editor_(editor), folder_(std::move(folder)) {}

  void run() {
    steps_ = {
        [this] { save("macro_editor_empty.png"); },
        [this] {
          click(kAddButton);
          find(kDefaultDelayEdit).set_text(QStringLiteral("50"));
          click(kRecordButton);
          for (auto [key, up] : {std::pair{kVkControl, 0}, {kVkC, 0}, {kVkC, 1}, {kVkControl, 1}})
            editor_.post_message(NV_HOOK_MESSAGE, key, up);
        },
        [this] { save("macro_editor_recording.png"); },
        [this] {
          click(kRecordButton);  // stop
          Control(find(kInsertMouseCheck)).click();
          Control(find(kEventList)).select_item(3, Notify::kRaise);
          click("ms_1_macro_key1_btn");
          find(kNewXEdit).set_text(QStringLiteral("120"));
          find(kNewYEdit).set_text(QStringLiteral("-40"));
          click(kInsertMoveButton);
        },
        [this] { save("macro_editor_events.png"); },
        [this] {
          Control(find(kEventList)).select_item(1, Notify::kRaise);
          Control(find(kEventEditorCheck)).click();
        },
        [this] { save("macro_editor_key_event.png"); },
        [this] { Control(find(kEventList)).select_item(4, Notify::kRaise); },
        [this] { save("macro_editor_button_event.png"); },
        [this] { Control(find(kEventList)).select_item(6, Notify::kRaise); },
        [this] { save("macro_editor_move_event.png"); },
        [this] { click(kExitButton); },
    };
    next();
  }

 private:
  void next() {
    if (step_ >= steps_.size()) return;
    QTimer::singleShot(kStepMs, editor_.native(), [this] {
      steps_[step_++]();
      next();
    });
  }
  Control find(const char* name) { return editor_.find(QString::fromLatin1(name)); }
  void click(const char* name) { find(name).click(); }
  void save(const char* file) {
    const QString path = QDir(folder_).filePath(QLatin1String(file));
    if (!editor_.native()->grab().save(path)) trace("screenshot %s not written\n", qPrintable(path));
  }

  WindowBase& editor_;
  QString folder_;
  std::vector<std::function<void()>> steps_;
  size_t step_ = 0;
};

}  // namespace

void photograph_macro_editor(WindowBase& main_window, const QString& folder) {
  std::unique_ptr<MacroTour> tour;
  auto previous = WindowBase::set_modal_observer([&tour, &folder](WindowBase& dialog) {
    if (dialog.window_class_name() != QLatin1String("MS_1_Macro")) return;
    tour = std::make_unique<MacroTour>(dialog, folder);
    tour->run();
  });
  main_window.find(QStringLiteral("ms_1_btn_macro")).click();
  WindowBase::set_modal_observer(std::move(previous));
}

}  // namespace norvane
