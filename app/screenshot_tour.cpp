#include "app/screenshot_tour.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "app/screenshot_macro_tour.h"
#include "app/screenshot_tour_buttons.h"
#include "app/toolkit/window_base.h"
#include "core/messages.h"
#include "core/trace.h"

namespace norvane {
namespace {

constexpr int kStepMs = 400;
constexpr int kReadyPollMs = 200;
constexpr int kReadyLimitMs = 10000;
constexpr int kStateWaitMs = 4000;

class ScreenshotTour : public QObject {
 public:
  ScreenshotTour(WindowBase& main, std::function<bool()> ready, QString folder, QString state_file)
      : QObject(main.native()), main_(main), ready_(std::move(ready)), folder_(std::move(folder)) {
    QDir().mkpath(folder_);
    if (!state_file.isEmpty()) {
      QTimer::singleShot(kStateWaitMs, this, [this, state_file] {
        save(main_.native()->grab(), qPrintable(state_file));
        main_.close(0);
      });
      return;
    }
    QTimer::singleShot(kReadyPollMs, this, [this] { wait_for_device(0); });
  }

 private:
  void wait_for_device(int waited_ms) {
    if (!(ready_ && ready_()) && waited_ms < kReadyLimitMs) {
      QTimer::singleShot(kReadyPollMs, this, [this, waited_ms] { wait_for_device(waited_ms + kReadyPollMs); });
      return;
    }
    open_every_section();
    QTimer::singleShot(kStepMs, this, [this] { photograph_main_window(); });
  }

  void open_every_section() {
    for (QCheckBox* toggle : main_.native()->findChildren<QCheckBox*>()) {
      const QString name = toggle->objectName();
      if (!name.startsWith(QLatin1String("ms_1_check_")) || name == QLatin1String("ms_1_check_movemode")) continue;
      if (!toggle->isChecked() && toggle->isVisibleTo(main_.native())) toggle->click();
    }
  }

  void photograph_main_window() {
    QWidget* window = main_.native();
    if (auto* area = window->findChild<QScrollArea*>(QStringLiteral("ms_1_ver_setting"))) {
      area->verticalScrollBar()->setValue(0);  // the window as it opens, sections from the top
    }
    save(window->grab(), "main_window.png");
    save(whole_page(window), "main_all_sections.png");
    main_.post_message(UM_DPI_POPUP, 0, 32);
    QTimer::singleShot(kStepMs, this, [this] { photograph_dpi_popup(); });
  }

  // The side bar beside the full length of the scrolling settings area.
  QPixmap whole_page(QWidget* window) {
    auto* area = window->findChild<QScrollArea*>(QStringLiteral("ms_1_ver_setting"));
    auto* sidebar = window->findChild<QWidget*>(QStringLiteral("ms_1_sidebar"));
    if (area == nullptr || area->widget() == nullptr || sidebar == nullptr) return window->grab();
    const QPixmap side = sidebar->grab();
    const QPixmap content = area->widget()->grab();
    const qreal ratio = side.devicePixelRatio();
    const QSize left = side.size() / ratio;
    const QSize right = content.size() / content.devicePixelRatio();
    QPixmap out(QSize(left.width() + right.width(), std::max(left.height(), right.height())) * ratio);
    out.setDevicePixelRatio(ratio);
    out.fill(QColor(0x12, 0x14, 0x17));
    QPainter p(&out);
    // The side bar's own background continues down beside the long settings area.
    p.fillRect(QRect(0, 0, left.width(), out.height()), side.toImage().pixelColor(side.width() / 2, side.height() - 2));
    p.drawPixmap(0, 0, side);
    p.drawPixmap(left.width(), 0, content);
    return out;
  }

  void photograph_dpi_popup() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == QLatin1String("DPIWnd") && w->isVisible()) save(w->grab(), "dpi_popup.png");
    }
    // The whole screen with the popup in its corner, where the platform can show it.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      const QPixmap desktop = screen->grabWindow(0);
      if (!desktop.isNull()) save(desktop, "desktop.png");
    }
    photograph_dialog("DpiColorWnd", "color_dialog.png", "cancel_btn", "ms_1_btn_dpi_color_2");
    photograph_dialog("MsgWnd", "message_box.png", "btn_cancel", "ms_1_btn_reset");
    photograph_macro_editor(main_, folder_);
    // The function menu and its dialogs, then the profile list, which closes the window.
    photograph_button_assignment(main_, folder_, [this] { QTimer::singleShot(kStepMs, this, [this] { photograph_profiles(); }); });
  }

  // Adds profiles through the name dialog, photographing it once with a name typed and
  // once refusing a name that is taken (letter case aside), then the list of profiles.
  void photograph_profiles() {
    add_profile(QStringLiteral("Work"), false);
    add_profile(QStringLiteral("Gaming"), true);
    add_profile(QStringLiteral("Travel"), false);
    QTimer::singleShot(kStepMs, this, [this] {
      QWidget* window = main_.native();
      if (auto* area = window->findChild<QScrollArea*>(QStringLiteral("ms_1_ver_setting"))) {
        area->verticalScrollBar()->setValue(0);
      }
      if (QWidget* card = window->findChild<QWidget*>(QStringLiteral("ms_1_card_profile"))) {
        save(card->grab(), "profile_list.png");
      }
      save(window->grab(), "main_window_profiles.png");
      QTimer::singleShot(kStepMs, this, [this] { main_.close(0); });
    });
  }

  void add_profile(const QString& name, bool photograph) {
    WindowBase* name_dialog = nullptr;
    auto previous = WindowBase::set_modal_observer([&](WindowBase& window) {
      if (window.window_class_name() == QLatin1String("MS_1_ProfileName")) {
        Control edit = window.find(QStringLiteral("edit_name"));
        if (photograph) {
          edit.set_text(name);
          save(window.native()->grab(), "profile_name.png");
          edit.set_text(QStringLiteral("work"));  // "Work" is taken
          name_dialog = &window;
          window.find(QStringLiteral("btn_ok")).click();  // the refusal runs here
          name_dialog = nullptr;
        }
        edit.set_text(name);
        window.find(QStringLiteral("btn_ok")).click();
      } else if (window.window_class_name() == QLatin1String("MsgWnd") && name_dialog != nullptr) {
        save(stacked(*name_dialog, window), "profile_name_refused.png");
        window.find(QStringLiteral("btn_ok")).click();
      }
    });
    main_.find(QStringLiteral("ms_1_profile_add_btn")).click();
    WindowBase::set_modal_observer(std::move(previous));
  }

  // `top` drawn over `under` where the two windows are on the screen.
  QPixmap stacked(WindowBase& under, WindowBase& top) {
    const QRect a = under.frame_rect();
    const QRect b = top.frame_rect();
    const QRect both = a.united(b);
    const QPixmap lower = under.native()->grab();
    const QPixmap upper = top.native()->grab();
    const qreal ratio = lower.devicePixelRatio();
    QPixmap out(both.size() * ratio);
    out.setDevicePixelRatio(ratio);
    out.fill(QColor(0x0B, 0x0C, 0x0E));
    QPainter p(&out);
    p.drawPixmap(a.topLeft() - both.topLeft(), lower);
    p.fillRect(QRect(a.topLeft() - both.topLeft(), a.size()), QColor(0, 0, 0, 90));  // the dialog waits below
    p.drawPixmap(b.topLeft() - both.topLeft(), upper);
    return out;
  }

  // Clicks `opener` on the page, photographs the modal window it runs and cancels it.
  void photograph_dialog(const char* window_class, const char* file, const char* cancel, const char* opener) {
    auto previous = WindowBase::set_modal_observer([this, window_class, file, cancel](WindowBase& dialog) {
      if (dialog.window_class_name() != QLatin1String(window_class)) return;
      save(dialog.native()->grab(), file);
      dialog.find(QLatin1String(cancel)).click();
    });
    main_.find(QLatin1String(opener)).click();
    WindowBase::set_modal_observer(std::move(previous));
  }

  void save(const QPixmap& picture, const char* file) {
    const QString path = QDir(folder_).filePath(QLatin1String(file));
    if (!picture.save(path)) trace("screenshot %s not written\n", qPrintable(path));
  }

  WindowBase& main_;
  std::function<bool()> ready_;
  QString folder_;
};

}  // namespace

void start_screenshot_tour_when_asked(WindowBase& main_window, std::function<bool()> device_ready) {
  const char* folder = std::getenv(kScreenshotsVariable);
  if (folder == nullptr || *folder == '\0' || main_window.native() == nullptr) return;
  const char* state = std::getenv(kScreenshotStateVariable);
  new ScreenshotTour(main_window, std::move(device_ready), QString::fromLocal8Bit(folder),
                     QString::fromLocal8Bit(state != nullptr ? state : ""));  // owned by the window
}

}  // namespace norvane
