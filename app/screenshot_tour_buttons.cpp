#include "app/screenshot_tour_buttons.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "app/toolkit/window_base.h"
#include "core/messages.h"
#include "core/trace.h"

namespace norvane {
namespace {

constexpr int kStepMs = 400;
constexpr int kModalLimitMs = 5000;
constexpr int kMargin = 16;
constexpr uintptr_t kVirtualKeyA = 0x41;

class ButtonTour : public QObject {
 public:
  ButtonTour(WindowBase& main, QString folder, std::function<void()> done)
      : QObject(main.native()), main_(main), folder_(std::move(folder)), done_(std::move(done)) {}

  void start() {
    // After the windows photographed before are gone and the main window is back on top.
    later([this] {
      open_menu("ms_1_btn_key_4");
      later([this] { photograph_menu(); });
    });
  }

 private:
  void later(std::function<void()> step) { QTimer::singleShot(kStepMs, this, std::move(step)); }

  // Acts in the next modal window of `window_class`; `act` closes it and then calls the
  // continuation it is given. When no such window opens in time the tour goes on with
  // `next` rather than waiting for ever.
  using Act = std::function<void(WindowBase&, std::function<void()> next)>;
  void on_modal(const char* window_class, Act act, std::function<void()> next) {
    const int run = ++modal_runs_;
    previous_ = WindowBase::set_modal_observer([this, window_class, act, next, run](WindowBase& dialog) {
      if (dialog.window_class_name() != QLatin1String(window_class) || run != modal_runs_) return;
      ++modal_runs_;
      // Putting the previous observer back destroys this one: keep what it still needs.
      const auto act_now = act;
      const auto next_now = next;
      WindowBase::set_modal_observer(std::move(previous_));
      act_now(dialog, next_now);
    });
    QTimer::singleShot(kModalLimitMs, this, [this, window_class, next, run] {
      if (run != modal_runs_) return;
      ++modal_runs_;
      WindowBase::set_modal_observer(std::move(previous_));
      trace("screenshot tour: no %s opened\n", window_class);
      next();
    });
  }

  QMenu* open_function_menu() const {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == QLatin1String("ms_1_menu_root") && w->isVisible()) return qobject_cast<QMenu*>(w);
    }
    return nullptr;
  }

  void open_menu(const char* button) {
    if (auto* area = main_.native()->findChild<QScrollArea*>(QStringLiteral("ms_1_ver_setting"))) {
      if (QWidget* card = main_.native()->findChild<QWidget*>(QStringLiteral("ms_1_card_button"))) {
        area->ensureWidgetVisible(card, 0, 0);
      }
    }
    main_.find(QLatin1String(button)).click();
  }

  // Chooses `item` of the open menu as a click would.
  void choose(const char* item) {
    QMenu* menu = open_function_menu();
    if (menu == nullptr) return;
    QAction* action = menu->findChild<QAction*>(QLatin1String(item));
    menu->hide();
    if (action != nullptr) action->trigger();
  }

  void photograph_menu() {
    QMenu* menu = open_function_menu();
    QRect shown = main_.frame_rect();
    if (menu != nullptr) {
      shown = shown.united(menu->geometry());
      // One group open beside the menu.
      for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr && action->menu()->objectName() == QLatin1String("menu_media")) {
          menu->setActiveAction(action);
        }
      }
    }
    later([this, shown] {
      QRect area = shown;
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMenu*>(w) != nullptr && w->isVisible()) area = area.united(w->geometry());
      }
      if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect crop = area.adjusted(-kMargin, -kMargin, kMargin, kMargin).intersected(screen->geometry());
        save(screen->grabWindow(0, crop.x(), crop.y(), crop.width(), crop.height()), "function_menu.png");
      }
      photograph_shortcut_dialog();
    });
  }

  void photograph_shortcut_dialog() {
    on_modal(
        "ShortcutWnd",
        [this](WindowBase& dialog, std::function<void()> next) {
          dialog.find(QStringLiteral("check_flag_1")).click();
          dialog.find(QStringLiteral("check_flag_2")).click();
          if (QWidget* key = dialog.find(QStringLiteral("edit_key")).widget()) key->setFocus(Qt::MouseFocusReason);
          later([this, &dialog, next] {
            // What the input-capture library posts for the A key, pressed and released.
            dialog.post_message(UM_HOOK_INPUT, kVirtualKeyA, 0);
            dialog.post_message(UM_HOOK_INPUT, kVirtualKeyA, 1);
            later([this, &dialog, next] {
              save(dialog.native()->grab(), "shortcut_dialog.png");
              dialog.find(QStringLiteral("btn_ok")).click();  // ends the modal run
              later(next);
            });
          });
        },
        [this] { open_macro_dialog(); });
    choose("ms_1_shortcut");
  }

  void open_macro_dialog() {
    open_menu("ms_1_btn_key_5");
    later([this] {
      on_modal(
          "MS_1_SelectMacro",
          [this](WindowBase& dialog, std::function<void()> next) {
            if (auto* list = dialog.native()->findChild<QListWidget*>(QStringLiteral("list_macro"))) {
              list->setCurrentRow(std::min(1, list->count() - 1));
            }
            dialog.find(QStringLiteral("edit_loop_time")).set_text(QStringLiteral("3"));
            later([this, &dialog, next] {
              save(dialog.native()->grab(), "macro_dialog.png");
              dialog.find(QStringLiteral("btn_ok")).click();  // ends the modal run
              later(next);
            });
          },
          [this] { photograph_buttons(); });
      choose("ms_1_select_macro");
    });
  }

  void photograph_buttons() {
    if (QWidget* card = main_.native()->findChild<QWidget*>(QStringLiteral("ms_1_card_button"))) {
      save(card->grab(), "buttons_assigned.png");
    }
    if (done_) done_();
  }

  void save(const QPixmap& picture, const char* file) {
    const QString path = QDir(folder_).filePath(QLatin1String(file));
    if (!picture.save(path)) trace("screenshot %s not written\n", qPrintable(path));
  }

  WindowBase& main_;
  QString folder_;
  std::function<void()> done_;
  WindowBase::ModalObserver previous_;
  int modal_runs_ = 0;
};

}  // namespace

void photograph_button_assignment(WindowBase& main_window, const QString& folder, std::function<void()> done) {
  auto* tour = new ButtonTour(main_window, folder, std::move(done));  // owned by the window
  tour->start();
}

}  // namespace norvane
